#include "analysis/kagi_shapes.h"

#include <algorithm>
#include <cmath>

namespace {

double StrokeLength(const KagiPrices& T, int32_t k) {
    return std::fabs(T[k] - T[k - 1]);
}

}  // namespace

// A mirrored view is the buy reading of the prices: there the middle stroke is taken as a
// length rather than a signed fall.
bool IsCompositeShapeSell(const KagiPrices& T, int32_t j) {
    if (j <= 6) return false;
    const double d1 = T[j - 2] - T[j - 3];
    const double d2 = T[j - 4] - T[j - 5];
    const double fall = T[j - 4] - T[j - 3];
    const double d3 = T.IsMirrored() ? std::fabs(fall) : fall;
    return d3 < d1 && d3 < d2 && T[j - 1] > T[j - 4] && T[j - 3] > T[j - 6];
}

bool IsLongStroke(const KagiPrices& T, int32_t a, int32_t b, int32_t c) {
    if (std::min({a - 1, b, c - 1}) < 0) return false;
    return StrokeLength(T, c) + StrokeLength(T, a) < std::fabs(T[b] - T[c + 1]);
}

int32_t RiseRunBreak(const KagiPrices& T, int32_t s, int32_t n) {
    if (n < 1 || s < 2) return 0;
    double prev = T[s + 1];
    int32_t steps = 0;
    for (int32_t m = s; m >= 2; m -= 2) {
        if (T[m] < T[m - 2]) return m;
        if (T[m] == T[m - 2] && T[m] == prev) return m;
        prev = T[m];
        if (++steps >= n) return 0;
    }
    return 0;
}

int32_t FallRunBreak(const KagiPrices& T, int32_t s, int32_t n) {
    return RiseRunBreak(T.Mirrored(), s, n);
}

bool NoGapSell(const KagiPrices& T, int32_t s, int32_t n) {
    if (n < 1) return true;
    int32_t steps = 0;
    for (int32_t m = s; m >= 3; m -= 2) {
        if (T[m] > T[m - 3]) return false;
        if (++steps >= n) return true;
    }
    return true;
}

bool NoGapBuy(const KagiPrices& T, int32_t s, int32_t n) {
    return NoGapSell(T.Mirrored(), s, n);
}

int32_t FindGapSell(const KagiPrices& T, int32_t s, int32_t q) {
    const int32_t lowest = q <= 0 ? 3 : q + 3;
    for (int32_t m = s; m >= lowest; m -= 2) {
        if (T[m] > T[m - 3]) return m - 3;
    }
    return 0;
}

int32_t FindGapBuy(const KagiPrices& T, int32_t s, int32_t q) {
    return FindGapSell(T.Mirrored(), s, q);
}

bool IsHalfRetrace(const KagiPrices& T, int32_t s) {
    if (s < 2) return false;
    return std::fabs(T[s - 1] - T[s]) >= 0.5 * std::fabs(T[s - 1] - T[s - 2]);
}

bool IsCompositeShapeBuy(const KagiPrices& T, int32_t j) {
    return IsCompositeShapeSell(T.Mirrored(), j);
}

LongLineTest CheckLongLineSell(const KagiPrices& T, int32_t j) {
    LongLineTest test;
    // Short-circuit: the composite shape guards j > 6, below which the three-stroke length
    // test would read before the first point.
    test.composite = IsCompositeShapeSell(T, j) && IsLongStroke(T, j, j - 2, j - 6);
    test.single = IsLongStroke(T, j, j - 2, j - 4);
    return test;
}

std::optional<LongLine> FindLongLineSell(const KagiPrices& T, int32_t start, int32_t bound) {
    for (int32_t j = start; j >= bound + 5; j -= 2) {
        LongLineTest test = CheckLongLineSell(T, j);
        if (!test.composite && !test.single) continue;
        // A single long line counts only when the bottom after it stays above the bottom
        // before it.
        if (!(T[j - 1] > T[j - 4])) test.single = false;
        if (test.composite || test.single)
            return LongLine{j - 2, j - 4, test.composite, test.single};
    }
    return std::nullopt;
}

LongLineTest CheckLongLineBuy(const KagiPrices& T, int32_t j) {
    return CheckLongLineSell(T.Mirrored(), j);
}

std::optional<LongLine> FindLongLineBuy(const KagiPrices& T, int32_t start, int32_t bound) {
    return FindLongLineSell(T.Mirrored(), start, bound);
}

int32_t RiseRunState(const KagiPrices& T, int32_t s, int32_t n) {
    double oldest = 0;
    if (n >= 1) {
        int32_t steps = 0;
        for (int32_t m = s; m > 1; m -= 2) {
            oldest = T[m - 2];
            if (T[m] < T[m - 2]) return m;
            if (++steps >= n) break;
        }
    }
    return oldest == T[s] ? -1 : 0;
}

int32_t FallRunState(const KagiPrices& T, int32_t s, int32_t n) {
    return RiseRunState(T.Mirrored(), s, n);
}

bool IsMountain(const KagiPrices& T, int32_t s, int32_t n, int32_t& peak) {
    const int32_t c = FallRunState(T, s, n);
    peak = c;
    if (c == s || c == 0) return false;
    if (c < 0) {  // level all the way: the newest point is the peak
        peak = s;
        return true;
    }
    const int32_t stepsLeft = n - (s - c) / 2;
    return RiseRunState(T, c, stepsLeft) == 0;
}

bool IsValley(const KagiPrices& T, int32_t s, int32_t n, int32_t& trough) {
    return IsMountain(T.Mirrored(), s, n, trough);
}

std::optional<TwoPeaks> FindTwoPeaks(const KagiPrices& T, int32_t i) {
    TwoPeaks peaks;
    peaks.c = FallRunBreak(T, i - 1, i);
    if (peaks.c == 0) return std::nullopt;
    peaks.t = RiseRunBreak(T, peaks.c, i);
    if (peaks.t == 0) return std::nullopt;
    peaks.d = FallRunBreak(T, peaks.t, i);
    // No earlier peak: the first point of the kind of i-1 stands for it.
    if (peaks.d == 0 && i % 2 == 0) peaks.d = 1;
    if (T[peaks.d] > T[peaks.t] && T[peaks.c] > T[peaks.t]) return peaks;
    return std::nullopt;
}

std::optional<TwoPeaks> FindTwoTroughs(const KagiPrices& T, int32_t i) {
    return FindTwoPeaks(T.Mirrored(), i);
}
