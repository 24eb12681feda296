// ctest-labels: kagi
// The whole walk over many seeded random daily series: every field of every stroke, mark,
// join, projection, the last rule and the rule state goes into one digest per series,
// checked against a fixture. A walk made faster or tidier must build exactly the same chart
// everywhere: across splits (on the first bar, before the
// first stroke, one after another), days without volume or close, fractional prices whose
// hundredths sit on a half, every instrument kind, both signal ticks, with the real rule
// families and with none.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/kagi.h"
#include "analysis/kagi_digest.h"
#include "analysis/kagi_test_points.h"
#include "support/random_draws.h"

namespace {

void NoRule(const KagiPrices&, int32_t, KagiRuleState&, const KagiJudgeOptions&) {}
const KagiFamilyTable kNoRules = {NoRule, NoRule, NoRule, NoRule, NoRule, NoRule, NoRule, NoRule};

// A price step, and the same step in thousandths of a yen, the unit the walk runs in.
struct PriceStep {
    double Step;
    int64_t Mills;
};
constexpr PriceStep kYen{1, 1000};
constexpr PriceStep kTenth{0.1, 100};
constexpr PriceStep kTextSteps[] = {{1, 1000},  {0.1, 100}, {0.01, 10},
                                    {0.05, 50}, {5, 5000},  {10, 10000}};

// The price level (in thousandths of a yen) and the price step of a series of this kind.
struct KindScale {
    int64_t LevelMills;
    PriceStep Step;
};

KindScale ScaleOf(int kind, std::mt19937& random) {
    switch (kind) {
        case 2:
            return {1000 * int64_t{DrawInt(random, 15000, 34999)}, kYen};
        case 3:
        case 7:
            return {1000 * int64_t{DrawInt(random, 100, 2099)}, kTenth};
        case 5: {
            const PriceStep step = kTextSteps[DrawInt(random, 0, 5)];
            return {step.Mills * DrawInt(random, 200, 4199), step};
        }
        default: {
            // Low-priced shares, the usual band, and the wide bands up to the millions, each
            // between 80 % and 119 % of its level.
            const int64_t levels[] = {8, 60, 400, 1500, 2600, 9000, 45000, 180000, 2500000};
            return {levels[DrawInt(random, 0, 8)] * 10 * DrawInt(random, 80, 119), kYen};
        }
    }
}

// The close of a day from its price in thousandths: on the price step, as a whole number of
// steps times the step, so that it carries the binary error such a close has; now and then
// with stray decimals, some of them on a half hundredth or just below one.
double CloseOf(std::mt19937& random, int64_t mills, const PriceStep& step) {
    const int r = DrawInt(random, 0, 999);
    if (r < 40) return static_cast<double>(mills) / 1000;          // three decimals
    if (r < 70) return static_cast<double>(mills / 1000) + 0.005;  // a half hundredth
    if (r < 90) return static_cast<double>(mills / 10) / 100 + 0.0049999;
    const int64_t steps = (mills + step.Mills / 2) / step.Mills;
    return static_cast<double>(steps) * step.Step;
}

// Splits anywhere, often among the first bars; now and then on the first bar, and after a
// stretch without volume, so that a segment may make no stroke.
void AddSplits(std::mt19937& random, std::vector<SeriesPoint>& bars) {
    const int count = static_cast<int>(bars.size());
    const int splits = DrawInt(random, 0, 3);
    const double ratios[] = {0.5, 2, 0.1, 1.0 / 3, 0.25, 10};
    for (int s = 0; s < splits; ++s) {
        const int range = DrawInt(random, 0, 3) == 0 ? std::min(6, count) : count;
        const int where = DrawInt(random, 0, range - 1);
        bars[where].SplitFlag = kSplitHere;
        bars[where].SplitRatio = ratios[DrawInt(random, 0, 5)];
    }
    if (DrawInt(random, 0, 7) == 0) {
        bars[0].SplitFlag = kSplitHere;
        bars[0].SplitRatio = 0.5;
    }
    if (DrawInt(random, 0, 4) == 0 && count > 60) {
        const int at = DrawInt(random, 20, count - 21);
        for (int n = at - 10; n < at; ++n) bars[n].Volume = 0;
        bars[at].SplitFlag = kSplitHere;
        bars[at].SplitRatio = 0.5;
    }
}

// A daily series: a random walk in whole thousandths of a yen with spells of trend and now
// and then a gap, closes on the price step or with stray decimals, days without volume or
// without a close, and splits.
std::vector<SeriesPoint> RandomBars(std::mt19937& random, int count, int kind, double& step) {
    const KindScale scale = ScaleOf(kind, random);
    step = scale.Step.Step;
    const int swing = 120 + 10 * DrawInt(random, 0, 29);  // hundredths of a percent a day
    std::vector<SeriesPoint> bars(count);
    int64_t mills = scale.LevelMills;
    int trend = 0;
    for (int n = 0; n < count; ++n) {
        if (n % 30 == 0) trend = DrawInt(random, -50, 50);
        int move = DrawMove(random, swing) + trend;
        if (Chance(random, 20)) move *= 4;  // a gap
        mills = std::max(scale.Step.Mills, MovedBy(mills, move));
        const double close = CloseOf(random, mills, scale.Step);
        SeriesPoint& b = bars[n];
        b.Open = close + step;
        b.Close = close;
        b.High = close + 2 * step;
        b.Low = close - 2 * step;  // a colour no stroke should take over
        b.Volume = Chance(random, 50) ? 0 : DrawInt(random, 100, 100099);
        if (Chance(random, 10)) b.Close = 0;
        if (Chance(random, 5)) b.Close = 0.3;
        b.Ma1 = n;
        b.Ma2 = -n;
        char date[16];
        std::snprintf(date, sizeof date, "%04d/%02d/%02d", 1995 + n / 240, n / 20 % 12 + 1,
                      n % 20 + 1);
        b.DateText = date;
        if (Chance(random, 300)) b.EndDateText = "x";
    }
    AddSplits(random, bars);
    return bars;
}

// Every series with each of its four settings, in the order of the fixture's lines.
void EveryWalk(const EachDigestCase& each) {
    std::mt19937 random(20261210);
    for (int c = 0; c < 280; ++c) {
        const int kind = 1 + c % 7;
        const int count = c % 10 == 0 ? DrawInt(random, 2, 31) : DrawInt(random, 100, 1499);
        double step = 1;
        const std::vector<SeriesPoint> bars = RandomBars(random, count, kind, step);
        KagiWalkSettings settings;
        settings.Market.Kind = static_cast<int16_t>(kind);
        if (kind == 5) {
            const KagiWidthFactors factors = TextDataWidthFactor(step);
            settings.Market.WidthK1 = factors.K1;
            settings.Market.WidthK2 = factors.K2;
            settings.Market.TextTick = step;
        }
        settings.Today = "2026/12/10";
        const int bits = DrawInt(random, 0, 127);
        settings.Options = JudgeOptionsOf(bits);
        for (int setting = 0; setting < 4; ++setting) {
            settings.Options.TwoTicks = setting % 2 == 0;
            settings.Families = setting < 2 ? DefaultKagiFamilies() : kNoRules;
            each("series" + std::to_string(c) + " kind" + std::to_string(kind) + " bits" +
                     std::to_string(bits) + " setting" + std::to_string(setting),
                 [&](Digest& digest) { AddWalkRecords(digest, bars, settings); });
        }
    }
}

}  // namespace

TEST(KagiWalkDigest, EveryChartMatchesTheFixture) {
    ExpectDigestsMatchFixture("analysis/data/kagi_walk_digest.txt", EveryWalk);
}
