#pragma once
// The kagi line moves only by steps of at least the reversal width, which depends on the
// price level and the instrument kind; the rules and projections count in ticks, the price
// step of the market. Both are pure functions of a price and the market they are read for.
#include <cmath>
#include <cstdint>

#include "analysis/state.h"

// What the width and the tick of one issue depend on.
struct KagiMarket {
    int16_t Kind = 4;    // IssueKind of the issue being charted
    double WidthK1 = 0;  // text-data series (kind 5): width = Int(p * K1) * K2
    double WidthK2 = 0;
    double TextTick = 0;  // text-data series: the tick read from the file
};

double CalcKagiReversalWidth(double price, const KagiMarket& market);
double GetTickSize(double price, int16_t kind, double textTick);

// The two width factors of a text-data series, from its price step written with up to
// five decimals.
KagiWidthFactors TextDataWidthFactor(double tick);

// A difference or width is compared at two decimals: written with "#0.##" and read back.
// It runs for every bar, so whole numbers, the usual prices, stay inline.
double RoundKagiFraction(double value);
inline double RoundKagiDifference(double value) {
    // Below 1e15 the conversion to an integer truncates exactly, and it is a few
    // instructions where std::trunc is a long sequence without SSE4.1.
    if (std::fabs(value) < 1e15 && static_cast<double>(static_cast<int64_t>(value)) == value)
        return value;
    return RoundKagiFraction(value);
}

// The kagi view's step for a text-data series: sets the width factors from its tick.
void SetTextDataWidthFactor(double tick);
// The market of the chart being built: KagiIssueKind, the width factors, TextDataTick.
KagiMarket CurrentKagiMarket();

double CalcKagiReversalWidth(double price);
// Kind 5 reads TextDataTick.
double GetTickSize(double price, int16_t kind);
