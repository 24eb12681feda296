#include "analysis/kagi_shapes.h"

// The buy twins: the sell tests, inline in the header, read on the mirrored prices.

bool NoGapBuy(const KagiPrices& T, int32_t s, int32_t n) {
    return NoGapSell(T.Mirrored(), s, n);
}

int32_t FindGapBuy(const KagiPrices& T, int32_t s, int32_t q) {
    return FindGapSell(T.Mirrored(), s, q);
}

bool IsCompositeShapeBuy(const KagiPrices& T, int32_t j) {
    return IsCompositeShapeSell(T.Mirrored(), j);
}

LongLineTest CheckLongLineBuy(const KagiPrices& T, int32_t j) {
    return CheckLongLineSell(T.Mirrored(), j);
}

std::optional<LongLine> FindLongLineBuy(const KagiPrices& T, int32_t start, int32_t bound) {
    return FindLongLineSell(T.Mirrored(), start, bound);
}

bool IsValley(const KagiPrices& T, int32_t s, int32_t n, int32_t& trough) {
    return IsMountain(T.Mirrored(), s, n, trough);
}

std::optional<TwoPeaks> FindTwoTroughs(const KagiPrices& T, int32_t i, int32_t after) {
    return FindTwoPeaks(T.Mirrored(), i, after);
}
