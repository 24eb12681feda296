// ctest-labels: kagi
#include "analysis/kagi_width.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>

#include "foundation/state.h"
#include "platform/number_format.h"
#include "support/random_draws.h"

namespace {

KagiMarket Kind(int16_t kind) {
    KagiMarket market;
    market.Kind = kind;
    return market;
}

// A value between 10^low and 10^high with every bit of its mantissa drawn: one to ten times
// a power of ten that a double holds exactly.
double DrawMagnitude(std::mt19937& random, int low, int high) {
    const double digits = 1 + 9 * DrawUnit(random);
    const int exponent = DrawInt(random, low, high - 1);
    double power = 1;
    for (int k = 0; k < std::abs(exponent); ++k) power *= 10;
    return exponent < 0 ? digits / power : digits * power;
}

}  // namespace

TEST(KagiWidth, StockBandsAtEveryEdge) {
    const std::pair<double, double> cases[] = {
        {0.99, 2000000},
        {1, 4},
        {500, 14},
        {999, 23},
        {999.99, 23},
        {1000, 24},
        {1500, 29},
        {1999, 33},
        {1999.99, 33},
        {2000, 35},
        {2999, 40},
        {3000, 50},
        {5000, 70},
        {29999, 310},
        {30000, 350},
        {49999, 500},
        {50000, 600},
        {99999, 1000},
        {100000, 2000},
        {999999, 10000},
        {1000000, 20000},
        {9999999, 100000},
        {10000000, 200000},
        {99999999, 1000000},
        {100000000, 2000000},
        {5e9, 2000000},
    };
    for (int16_t kind : {1, 4, 6, 0}) {
        for (auto [price, width] : cases)
            EXPECT_DOUBLE_EQ(CalcKagiReversalWidth(price, Kind(kind)), width)
                << "kind " << kind << " price " << price;
    }
}

TEST(KagiWidth, IndexAndTextDataKinds) {
    EXPECT_DOUBLE_EQ(CalcKagiReversalWidth(999, Kind(2)), 9);
    EXPECT_DOUBLE_EQ(CalcKagiReversalWidth(1000, Kind(2)), 10);
    EXPECT_DOUBLE_EQ(CalcKagiReversalWidth(999, Kind(3)), 9.9);
    EXPECT_DOUBLE_EQ(CalcKagiReversalWidth(999, Kind(7)), 9.9);
    EXPECT_DOUBLE_EQ(CalcKagiReversalWidth(0.5, Kind(2)), 0);

    KagiMarket text = Kind(5);
    text.WidthK1 = 0.01;
    text.WidthK2 = 1;
    EXPECT_DOUBLE_EQ(CalcKagiReversalWidth(1234, text), 12);
    text.WidthK1 = 0.1;
    text.WidthK2 = 0.1;
    EXPECT_DOUBLE_EQ(CalcKagiReversalWidth(123.45, text), 1.2);
}

TEST(KagiWidth, TextDataWidthFactorsFromTheTick) {
    struct Case {
        double tick, k1, k2;
    } cases[] = {
        {0.5, 0.1, 0.1}, {0.05, 1, 0.01}, {0.00001, 1, 0.01}, {0.000001, 0.01, 1},
        {1, 0.01, 1},    {5, 0.01, 1},    {10, 0.001, 10},    {250, 0.001, 10},
    };
    for (const Case& c : cases) {
        const KagiWidthFactors f = TextDataWidthFactor(c.tick);
        EXPECT_DOUBLE_EQ(f.K1, c.k1) << c.tick;
        EXPECT_DOUBLE_EQ(f.K2, c.k2) << c.tick;
    }

    // The width and tick without a market argument read the kind, the factors and the text tick.
    KagiWidth().KagiIssueKind = 5;
    SetTextDataWidthFactor(1);
    TextData().TextDataTick = 1;
    EXPECT_DOUBLE_EQ(CalcKagiReversalWidth(1234), 12);
    EXPECT_DOUBLE_EQ(GetTickSize(1234, 5), 1);
}

TEST(KagiTick, EveryKindAtEveryBound) {
    struct Case {
        int16_t kind;
        double price, tick;
    } cases[] = {
        {4, 1, 1},
        {4, 1999, 1},
        {4, 1999.5, 5},
        {4, 2000, 5},
        {4, 2995, 5},
        {4, 2996, 10},
        {4, 29990, 10},
        {4, 29991, 50},
        {4, 49950, 50},
        {4, 49951, 100},
        {4, 99900, 100},
        {4, 99901, 1000},
        {4, 999000, 1000},
        {4, 999001, 10000},
        {4, 20000000, 10000},
        {4, 20000001, 50000},
        {4, 30000000, 50000},
        {4, 30000001, 100000},
        {0, 2000, 5},
        {6, 1000, 1},
        {6, 1000.5, 10},
        {6, 10000, 10},
        {6, 10001, 100},
        {6, 100000, 100},
        {6, 100001, 1000},
        {6, 1000000, 1000},
        {6, 1000001, 10000},
        {6, 10000000, 10000},
        {6, 10000001, 50000},
        {1, 50000, 10},
        {2, 50000, 1},
        {3, 50000, 0.1},
        {7, 5, 0.1},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(GetTickSize(c.price, c.kind, 0), c.tick)
            << "kind " << c.kind << " price " << c.price;
    EXPECT_DOUBLE_EQ(GetTickSize(100, 5, 0.25), 0.25);
}

TEST(KagiWidth, DifferencesAreComparedAtTwoDecimals) {
    const std::pair<double, double> cases[] = {
        {13.996, 14},  {-13.996, -14},  {13.994, 13.99},
        {1.005, 1.01}, {-1.005, -1.01}, {2.675, 2.68},
        {0.004, 0},    {-0.004, 0},     {1234567.125, 1234567.13},
    };
    for (auto [value, rounded] : cases) EXPECT_DOUBLE_EQ(RoundKagiDifference(value), rounded);

    // The direct rounding must agree with the formatted round trip it stands for.
    std::mt19937 random(7);
    for (int n = 0; n < 200000; ++n) {
        const double value = n % 2 ? DrawMagnitude(random, -6, 9) * (n % 4 == 1 ? 1 : -1)
                                   : DrawInt(random, -5000000, 5000000) / 1000.0;
        ASSERT_EQ(RoundKagiDifference(value), ValNumber(FormatNumber(value, "#0.##"))) << value;
    }
    // Whole numbers are taken as they are up to the edge of 1e15 and go the text way from it.
    for (double value : {0.0, 1.0, -1.0, 999999999999999.0, -999999999999999.0, 1e15, -1e15,
                         1e15 + 2, 9007199254740992.0, 123456789012345678.0})
        EXPECT_EQ(RoundKagiDifference(value), ValNumber(FormatNumber(value, "#0.##"))) << value;
    EXPECT_TRUE(std::signbit(RoundKagiDifference(-0.0)));

    // The walk passes over a move more than 0.006 short of the width without rounding it:
    // below 1e12 the rounding never moves a value that far.
    for (int n = 0; n < 200000; ++n) {
        const double value = DrawMagnitude(random, 0, 12) * (n % 2 ? 1 : -1);
        const double hundredths = static_cast<double>(static_cast<int64_t>(value * 100));
        const double nearHalf = hundredths / 100 + 0.005 * (n % 3 ? 1 : -1);
        for (double v : {value, nearHalf})
            ASSERT_LT(std::fabs(RoundKagiDifference(v) - v), 0.006) << v;
    }
}
