#pragma once
// Shape tests on kagi turn prices, shared by the rule families. Each is written once, in sell
// orientation (the current stroke falls, so T[i-1], T[i-3], ... are tops and T[i-2],
// T[i-4], ... bottoms); its buy twin is the same test read on the mirrored prices. Every
// test checks the lowest index it reads and answers "no shape" instead of reading before
// the first point.
#include <cstdint>
#include <optional>

#include "analysis/kagi_rule_state.h"

// L(c) + L(a) < |T[b] - T[c+1]|, with L(k) = |T[k] - T[k-1]|: called as (x, x-2, x-4), the
// stroke that ends at x-2 is longer than the strokes ending at x-4 and at x together.
bool IsLongStroke(const KagiPrices& T, int32_t a, int32_t b, int32_t c);

// Walking back from s over points of one kind for n steps: 0 when they never fell and never
// stood level twice in a row (FallRunBreak: never rose), else the point where the run breaks.
int32_t RiseRunBreak(const KagiPrices& T, int32_t s, int32_t n);
int32_t FallRunBreak(const KagiPrices& T, int32_t s, int32_t n);

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

// Two peaks d and c (troughs for the buy twin) over the kind of i-1, with t between them.
struct TwoPeaks {
    int32_t d = 0;
    int32_t c = 0;
    int32_t t = 0;
};
std::optional<TwoPeaks> FindTwoPeaks(const KagiPrices& T, int32_t i);
std::optional<TwoPeaks> FindTwoTroughs(const KagiPrices& T, int32_t i);
