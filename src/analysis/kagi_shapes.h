#pragma once
// Shape tests on kagi turn prices, shared by the rule families. Each is written once, in sell
// orientation (the current stroke falls, so T[i-1], T[i-3], ... are tops and T[i-2],
// T[i-4], ... bottoms); its buy twin is the same test read on the mirrored prices. Every
// test checks the lowest index it reads and answers "no shape" instead of reading before
// the first point.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "analysis/kagi_rule_state.h"

// L(c) + L(a) < |T[b] - T[c+1]|, with L(k) = |T[k] - T[k-1]|: called as (x, x-2, x-4), the
// stroke that ends at x-2 is longer than the strokes ending at x-4 and at x together.
bool IsLongStroke(const KagiPrices& T, int32_t a, int32_t b, int32_t c);

// Walking back from s over points of one kind for n steps: 0 when they never fell and never
// stood level twice in a row (FallRunBreak: never rose), else the point where the run breaks.
// The walk goes no lower than floor + 1: a break at floor or before it also reads as 0.
int32_t RiseRunBreak(const KagiPrices& T, int32_t s, int32_t n, int32_t floor = 0);
int32_t FallRunBreak(const KagiPrices& T, int32_t s, int32_t n, int32_t floor = 0);

// None of the last n points from s lies above (buy: below) the point three places earlier.
bool NoGapSell(const KagiPrices& T, int32_t s, int32_t n);
bool NoGapBuy(const KagiPrices& T, int32_t s, int32_t n);

// The newest m (from s back, same kind, m >= q + 3, or 3 when q <= 0) with T[m] above (buy:
// below) T[m-3]; returns m - 3, the point before the gap, or 0 when there is none.
int32_t FindGapSell(const KagiPrices& T, int32_t s, int32_t q);
int32_t FindGapBuy(const KagiPrices& T, int32_t s, int32_t q);

// The stroke ending at s took back at least half of the stroke before it.
bool IsHalfRetrace(const KagiPrices& T, int32_t s);

// Two rises into tops j-2 and j-4 that are both longer than the fall between them, with
// T[j-1] above T[j-4] and T[j-3] above T[j-6]. The buy twin takes that middle stroke as a
// length (absolute), the one place where it is not the plain mirror.
bool IsCompositeShapeSell(const KagiPrices& T, int32_t j);
bool IsCompositeShapeBuy(const KagiPrices& T, int32_t j);

struct LongLineTest {
    bool composite = false;  // a composite shape whose three strokes make one long line
    bool single = false;     // the stroke ending at j-2 is a long line by itself
};
LongLineTest CheckLongLineSell(const KagiPrices& T, int32_t j);
LongLineTest CheckLongLineBuy(const KagiPrices& T, int32_t j);

struct LongLine {
    int32_t p = 0;  // j - 2, the end of the long line
    int32_t q = 0;  // j - 4
    bool composite = false;
    bool single = false;
};
std::optional<LongLine> FindLongLineSell(const KagiPrices& T, int32_t start, int32_t bound);
std::optional<LongLine> FindLongLineBuy(const KagiPrices& T, int32_t start, int32_t bound);

// Walking back from s for n steps over one kind: the point m where the rising run breaks
// (T[m] < T[m-2]; FallRunState: T[m] > T[m-2]), else -1 when it stayed level, 0 when it rose.
int32_t RiseRunState(const KagiPrices& T, int32_t s, int32_t n);
int32_t FallRunState(const KagiPrices& T, int32_t s, int32_t n);

// Going back from s, the points fall away from a peak (valley: rise from a trough) and rose
// (fell) before it, within n steps. The peak or trough is given out when the shape holds.
bool IsMountain(const KagiPrices& T, int32_t s, int32_t n, int32_t& peak);
bool IsValley(const KagiPrices& T, int32_t s, int32_t n, int32_t& trough);
// IsMountain with c = FallRunState(T, s, n) already found.
bool IsMountainFrom(const KagiPrices& T, int32_t s, int32_t n, int32_t c, int32_t& peak);

// Two peaks d and c (troughs for the buy twin) over the kind of i-1, with t between them.
// Only a shape whose t lies after the point `after` counts: the walks back stop there, so a
// caller that has used every trough up to some point does not walk the chart before it again.
struct TwoPeaks {
    int32_t d = 0;
    int32_t c = 0;
    int32_t t = 0;
};
std::optional<TwoPeaks> FindTwoPeaks(const KagiPrices& T, int32_t i, int32_t after = 0);
std::optional<TwoPeaks> FindTwoTroughs(const KagiPrices& T, int32_t i, int32_t after = 0);

// ---- The sell forms, inline: the families run them at every step of a stroke. ----------

// |T[k] - T[k-1]|, the length of the stroke that ends at k.
inline double KagiStrokeLength(const KagiPrices& T, int32_t k) {
    return std::fabs(T[k] - T[k - 1]);
}

// A mirrored view is the buy reading of the prices: there the middle stroke is taken as a
// length rather than a signed fall.
inline bool IsCompositeShapeSell(const KagiPrices& T, int32_t j) {
    if (j <= 6) return false;
    const double d1 = T[j - 2] - T[j - 3];
    const double d2 = T[j - 4] - T[j - 5];
    const double fall = T[j - 4] - T[j - 3];
    const double d3 = T.IsMirrored() ? std::fabs(fall) : fall;
    return d3 < d1 && d3 < d2 && T[j - 1] > T[j - 4] && T[j - 3] > T[j - 6];
}

inline bool IsLongStroke(const KagiPrices& T, int32_t a, int32_t b, int32_t c) {
    if (std::min({a - 1, b, c - 1}) < 0) return false;
    return KagiStrokeLength(T, c) + KagiStrokeLength(T, a) < std::fabs(T[b] - T[c + 1]);
}

// The walks back below run at every step of a stroke: each checks its highest index once
// and keeps its lowest at 0 or above by its loop bound.
inline int32_t RiseRunBreak(const KagiPrices& T, int32_t s, int32_t n, int32_t floor) {
    if (n < 1 || s < 2) return 0;
    double prev = T[s + 1];
    int32_t steps = 0;
    const int32_t lowest = std::max(2, floor + 1);
    for (int32_t m = s; m >= lowest; m -= 2) {
        const double now = T.At(m), before = T.At(m - 2);
        if (now < before) return m;
        if (now == before && now == prev) return m;
        prev = now;
        if (++steps >= n) return 0;
    }
    return 0;
}

inline int32_t FallRunBreak(const KagiPrices& T, int32_t s, int32_t n, int32_t floor) {
    return RiseRunBreak(T.Mirrored(), s, n, floor);
}

inline bool NoGapSell(const KagiPrices& T, int32_t s, int32_t n) {
    if (n < 1 || s < 3) return true;
    T.CheckIndex(s);
    int32_t steps = 0;
    for (int32_t m = s; m >= 3; m -= 2) {
        if (T.At(m) > T.At(m - 3)) return false;
        if (++steps >= n) return true;
    }
    return true;
}

inline int32_t FindGapSell(const KagiPrices& T, int32_t s, int32_t q) {
    const int32_t lowest = q <= 0 ? 3 : q + 3;
    if (s < lowest) return 0;
    T.CheckIndex(s);
    for (int32_t m = s; m >= lowest; m -= 2) {
        if (T.At(m) > T.At(m - 3)) return m - 3;
    }
    return 0;
}

inline bool IsHalfRetrace(const KagiPrices& T, int32_t s) {
    if (s < 2) return false;
    return std::fabs(T[s - 1] - T[s]) >= 0.5 * std::fabs(T[s - 1] - T[s - 2]);
}

inline LongLineTest CheckLongLineSell(const KagiPrices& T, int32_t j) {
    LongLineTest test;
    // Short-circuit: the composite shape guards j > 6, below which the three-stroke length
    // test would read before the first point.
    test.composite = IsCompositeShapeSell(T, j) && IsLongStroke(T, j, j - 2, j - 6);
    test.single = IsLongStroke(T, j, j - 2, j - 4);
    return test;
}

inline std::optional<LongLine> FindLongLineSell(const KagiPrices& T, int32_t start, int32_t bound) {
    for (int32_t j = start; j >= bound + 5; j -= 2) {
        // Both kinds need the bottom after the line above the bottom before it (the composite
        // shape tests it too), and neither fits before point 5: the cheap test first.
        if (j < 5 || !(T[j - 1] > T[j - 4])) continue;
        LongLineTest test = CheckLongLineSell(T, j);
        if (test.composite || test.single)
            return LongLine{j - 2, j - 4, test.composite, test.single};
    }
    return std::nullopt;
}

inline int32_t RiseRunState(const KagiPrices& T, int32_t s, int32_t n) {
    double oldest = 0;
    if (n >= 1 && s > 1) {
        T.CheckIndex(s);
        int32_t steps = 0;
        for (int32_t m = s; m > 1; m -= 2) {
            oldest = T.At(m - 2);
            if (T.At(m) < oldest) return m;
            if (++steps >= n) break;
        }
    }
    return oldest == T[s] ? -1 : 0;
}

inline int32_t FallRunState(const KagiPrices& T, int32_t s, int32_t n) {
    return RiseRunState(T.Mirrored(), s, n);
}

inline bool IsMountainFrom(const KagiPrices& T, int32_t s, int32_t n, int32_t c, int32_t& peak) {
    peak = c;
    if (c == s || c == 0) return false;
    if (c < 0) {  // level all the way: the newest point is the peak
        peak = s;
        return true;
    }
    const int32_t stepsLeft = n - (s - c) / 2;
    return RiseRunState(T, c, stepsLeft) == 0;
}

inline bool IsMountain(const KagiPrices& T, int32_t s, int32_t n, int32_t& peak) {
    return IsMountainFrom(T, s, n, FallRunState(T, s, n), peak);
}

inline std::optional<TwoPeaks> FindTwoPeaks(const KagiPrices& T, int32_t i, int32_t after) {
    TwoPeaks peaks;
    // t never lies after c, so neither walk needs to look at or before `after`.
    peaks.c = FallRunBreak(T, i - 1, i, after);
    if (peaks.c == 0) return std::nullopt;
    peaks.t = RiseRunBreak(T, peaks.c, i, after);
    if (peaks.t == 0) return std::nullopt;
    peaks.d = FallRunBreak(T, peaks.t, i);
    // No earlier peak: the first point of the kind of i-1 stands for it.
    if (peaks.d == 0 && i % 2 == 0) peaks.d = 1;
    if (T[peaks.d] > T[peaks.t] && T[peaks.c] > T[peaks.t]) return peaks;
    return std::nullopt;
}
