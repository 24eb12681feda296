// ctest-labels: kagi
// The whole walk over many seeded random daily series: every field of every stroke, mark,
// join, projection, the last rule and the rule state goes into one digest per series,
// checked against a fixture made from the walk before it was tuned for speed. A faster walk
// must build exactly the same chart everywhere: across splits (on the first bar, before the
// first stroke, one after another), days without volume or close, fractional prices whose
// hundredths sit on a half, every instrument kind, both signal ticks, with the real rule
// families and with none.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "analysis/kagi.h"
#include "analysis/kagi_digest.h"
#include "analysis/kagi_test_points.h"
#include "support/fixture_files.h"

namespace {

void NoRule(const KagiPrices&, int32_t, KagiRuleState&, const KagiJudgeOptions&) {}
const KagiFamilyTable kNoRules = {NoRule, NoRule, NoRule, NoRule, NoRule, NoRule, NoRule, NoRule};

// The price level and the price step of a series of this kind.
struct KindScale {
    double Level;
    double Step;
};

KindScale ScaleOf(int kind, std::mt19937& random) {
    switch (kind) {
        case 2:
            return {15000.0 + random() % 20000, 1};
        case 3:
        case 7:
            return {100.0 + random() % 2000, 0.1};
        case 5: {
            const double steps[] = {1, 0.1, 0.01, 0.05, 5, 10};
            const double step = steps[random() % 6];
            return {step * (200 + random() % 4000), step};
        }
        default: {
            // Low-priced shares, the usual band, and the wide bands up to the millions.
            const double levels[] = {8, 60, 400, 1500, 2600, 9000, 45000, 180000, 2500000};
            return {levels[random() % 9] * (0.8 + (random() % 40) / 100.0), 1};
        }
    }
}

// A daily series: a random walk with spells of trend, closes on the price step or with
// stray decimals, some of them on a half hundredth; days without volume or without a close;
// splits anywhere, the first bar and the bars before the first stroke included.
std::vector<SeriesPoint> RandomBars(std::mt19937& random, int count, int kind, double& step) {
    const KindScale scale = ScaleOf(kind, random);
    step = scale.Step;
    std::uniform_real_distribution<double> unit(0, 1);
    std::normal_distribution<double> move(0, 0.012 + (random() % 30) / 1000.0);
    std::vector<SeriesPoint> bars(count);
    double price = scale.Level;
    double trend = 0;
    for (int n = 0; n < count; ++n) {
        if (n % 30 == 0) trend = (unit(random) - 0.5) * 0.01;
        price = std::max(step, price * std::exp(move(random) + trend));
        double close = std::round(price / step) * step;
        const double r = unit(random);
        if (r < 0.04)
            close = std::round(price * 1000) / 1000;  // three decimals
        else if (r < 0.07)
            close = std::floor(price) + 0.005;  // a half hundredth
        else if (r < 0.09)
            close = std::floor(price * 100) / 100 + 0.0049999;
        SeriesPoint& b = bars[n];
        b.Open = close + step;
        b.Close = close;
        b.High = close + 2 * step;
        b.Low = close - 2 * step;  // a colour no stroke should take over
        b.Volume = unit(random) < 0.05 ? 0 : 100 + random() % 100000;
        if (unit(random) < 0.01) b.Close = 0;
        if (unit(random) < 0.005) b.Close = 0.3;
        b.Ma1 = n;
        b.Ma2 = -n;
        char date[16];
        std::snprintf(date, sizeof date, "%04d/%02d/%02d", 1995 + n / 240, n / 20 % 12 + 1,
                      n % 20 + 1);
        b.DateText = date;
        if (unit(random) < 0.3) b.EndDateText = "x";
    }
    const int splits = static_cast<int>(random() % 4);
    const double ratios[] = {0.5, 2, 0.1, 1.0 / 3, 0.25, 10};
    for (int s = 0; s < splits; ++s) {
        const int range = random() % 4 == 0 ? std::min(6, count) : count;  // often the first bars
        const int where = static_cast<int>(random() % range);
        bars[where].SplitFlag = kSplitHere;
        bars[where].SplitRatio = ratios[random() % 6];
    }
    if (random() % 8 == 0) {
        bars[0].SplitFlag = kSplitHere;
        bars[0].SplitRatio = 0.5;
    }
    // A stretch without volume before a split, so a segment may make no stroke.
    if (random() % 5 == 0 && count > 60) {
        const int at = 20 + static_cast<int>(random() % (count - 40));
        for (int n = at - 10; n < at; ++n) bars[n].Volume = 0;
        bars[at].SplitFlag = kSplitHere;
        bars[at].SplitRatio = 0.5;
    }
    return bars;
}

std::string PointText(const SeriesPoint& s) {
    return Number(s.Open) + " " + Number(s.Close) + " " + Number(s.High) + " " + Number(s.Low) +
           " " + Number(s.Volume) + " " + s.DateText + " " + s.EndDateText + " " +
           std::to_string(s.SplitFlag) + " " + std::to_string(s.JoinLink) + " " +
           Number(s.SplitRatio) + " " + Number(s.Ma1) + " " + Number(s.Ma1Deviation) + " " +
           Number(s.Ma2) + " " + Number(s.Ma2Deviation);
}

std::string ObservationText(const std::optional<ObservationRec>& o) {
    if (!o) return "none";
    return o->RuleText + " " + o->Mark + " " + o->DateText + " " + Number(o->Price);
}

// Every field the walk hands back, the marks past the count included.
std::string ChartDigest(const KagiChart& chart) {
    Digest digest;
    for (const SeriesPoint& s : chart.Strokes) digest.Add(PointText(s));
    digest.Add("marks " + std::to_string(chart.Marks.RuleMarkCount));
    for (const RuleHit& hit : chart.Marks.RuleMarkTable)
        digest.Add(hit.Side + " " + Number(hit.SignalPrice) + " " + Number(hit.StrokePrice) + " " +
                   hit.DateText + " " + hit.RuleText);
    for (const KagiJoinRec& join : chart.Joins)
        digest.Add(Number(join.OldEndPrice) + " " + Number(join.NewStartPrice));
    digest.Add(ObservationText(chart.Forward));
    digest.Add(ObservationText(chart.Reverse));
    const KagiLastRule& last = chart.Last;
    digest.Add(last.RuleText + "|" + last.RuleDate + "|" + last.SignalRule + "|" + last.SignalDate +
               "|" + last.SignalSide);
    digest.Add(StateText(chart.RuleState));
    return digest.Text();
}

// One line per series and setting.
std::string AllDigests() {
    std::string text;
    std::mt19937 random(20261210);
    for (int c = 0; c < 280; ++c) {
        const int kind = 1 + c % 7;
        const int count = c % 10 == 0 ? 2 + static_cast<int>(random() % 30)
                                      : 100 + static_cast<int>(random() % 1400);
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
        const int bits = static_cast<int>(random() % 128);
        settings.Options = JudgeOptionsOf(bits);
        for (int setting = 0; setting < 4; ++setting) {
            settings.Options.TwoTicks = setting % 2 == 0;
            settings.Families = setting < 2 ? DefaultKagiFamilies() : kNoRules;
            std::string digest;
            try {
                digest = ChartDigest(WalkKagi(bars, settings));
            } catch (const std::exception& e) {
                digest = std::string("throws ") + e.what();
            }
            text += "series" + std::to_string(c) + " kind" + std::to_string(kind) + " bits" +
                    std::to_string(bits) + " setting" + std::to_string(setting) + " " + digest +
                    "\n";
        }
    }
    return text;
}

}  // namespace

TEST(KagiWalkDigest, EveryChartMatchesTheFixture) {
    ExpectMatchesFixture("analysis/data/kagi_walk_digest.txt", AllDigests());
}
