#include "analysis/kagi_width.h"

#include <cmath>
#include <iterator>
#include <string>

#include "foundation/state.h"
#include "platform/number_format.h"

namespace {

// One price band of the stock width: Int((p - Offset) / Divisor) * Step + Base. A price
// belongs to the last band whose From is not above it; a price below 1 or from 100 million
// gets a width no series reaches, so such a chart never moves.
struct WidthBand {
    double From;
    double Offset;
    double Divisor;
    double Step;
    double Base;
};
constexpr double kNeverMoves = 2000000;
constexpr WidthBand kWidthBands[] = {
    {1, 0, 50, 1, 4},
    {1000, 1000, 100, 1, 24},
    {2000, 2000, 500, 5, 35},
    {3000, 3000, 1000, 10, 50},
    {30000, 30000, 5000, 50, 350},
    {50000, 50000, 10000, 100, 600},
    {100000, 100000, 100000, 1000, 2000},
    {1000000, 1000000, 1000000, 10000, 20000},
    {10000000, 10000000, 10000000, 100000, 200000},
    {100000000, 0, 1, 0, kNeverMoves},
};

double StockWidth(double p) {
    if (p < 1) return kNeverMoves;
    // Searched from the lowest band, where nearly all prices are.
    const WidthBand* band = std::begin(kWidthBands);
    while (band + 1 != std::end(kWidthBands) && !(p < band[1].From)) ++band;
    return std::floor((p - band->Offset) / band->Divisor) * band->Step + band->Base;
}

// A tick band: prices up to UpTo (inclusive) have the tick Tick.
struct TickBand {
    double UpTo;
    double Tick;
};
constexpr TickBand kStockTicks[] = {
    {1999, 1},    {2995, 5},      {29990, 10},       {49950, 50},
    {99900, 100}, {999000, 1000}, {20000000, 10000}, {30000000, 50000},
};
constexpr double kStockTickAbove = 100000;
constexpr TickBand kKind6Ticks[] = {
    {1000, 1}, {10000, 10}, {100000, 100}, {1000000, 1000}, {10000000, 10000},
};
constexpr double kKind6TickAbove = 50000;

template <size_t N>
double TickByBand(double p, const TickBand (&bands)[N], double above) {
    for (const TickBand& b : bands)
        if (p <= b.UpTo) return b.Tick;
    return above;
}

}  // namespace

double CalcKagiReversalWidth(double p, const KagiMarket& market) {
    switch (market.Kind) {
        case 2:
            return std::floor(p * 0.01);
        case 3:
        case 7:
            return std::floor(p * 0.1) * 0.1;
        case 5:
            return std::floor(p * market.WidthK1) * market.WidthK2;
        default:
            return StockWidth(p);
    }
}

double GetTickSize(double p, int16_t kind, double textTick) {
    switch (kind) {
        case 1:
            return 10;
        case 2:
            return 1;
        case 3:
        case 7:
            return 0.1;
        case 5:
            return textTick;
        case 6:
            return TickByBand(p, kKind6Ticks, kKind6TickAbove);
        default:
            return TickByBand(p, kStockTicks, kStockTickAbove);
    }
}

KagiWidthFactors TextDataWidthFactor(double tick) {
    const std::string text = FormatNumber(tick, "#0.#####");
    const size_t point = text.find('.');
    const size_t decimals = point == std::string::npos ? 0 : text.size() - point - 1;
    if (decimals == 1) return {0.1, 0.1};
    if (decimals >= 2) return {1, 0.01};
    const size_t digits = point == std::string::npos ? text.size() : point;
    if (digits <= 1) return {0.01, 1};
    return {0.001, 10};
}

double RoundKagiFraction(double value) {
    // The formatted round trip costs a few hundred nanoseconds and runs for every bar, so
    // the usual case is rounded directly: n / 100 is the same double that reading back the
    // text "n/100" gives. Only a value whose hundredths lie near a half, where the decimal
    // form decides the rounding, or a huge value takes the text route.
    const double scaled = std::fabs(value) * 100;
    if (scaled < 1e13) {
        const double whole = std::floor(scaled);
        const double fraction = scaled - whole;
        if (std::fabs(fraction - 0.5) > scaled * 1e-12 + 1e-9) {
            const double n = fraction > 0.5 ? whole + 1 : whole;
            return std::copysign(n / 100, value);
        }
    }
    return ValNumber(FormatNumber(value, "#0.##"));
}

void SetTextDataWidthFactor(double tick) {
    KagiWidth().TextDataWidthFactor = TextDataWidthFactor(tick);
}

KagiMarket CurrentKagiMarket() {
    const KagiWidthState& width = KagiWidth();
    return {width.KagiIssueKind, width.TextDataWidthFactor.K1, width.TextDataWidthFactor.K2,
            TextData().TextDataTick};
}

double CalcKagiReversalWidth(double price) {
    return CalcKagiReversalWidth(price, CurrentKagiMarket());
}

double GetTickSize(double price, int16_t kind) {
    return GetTickSize(price, kind, TextData().TextDataTick);
}
