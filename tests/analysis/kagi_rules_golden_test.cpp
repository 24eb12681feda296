// ctest-labels: kagirules
// One seeded daily series of 1,500 bars through the kagi walk with the real rule families:
// every mark, the last rule and signal, and the projected turns, against a reviewed fixture.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "analysis/kagi.h"
#include "support/fixture_files.h"
#include "support/random_draws.h"

namespace {

// Valid dates in order, 28 to a month: the walk only carries them.
std::string Day(int n) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", 2019 + n / 336, n / 28 % 12 + 1, n % 28 + 1);
    return text;
}

// A random walk of whole yen around 1,000 with spells of trend, so that the chart has long
// lines, gaps, runs of new highs and double tops.
std::vector<SeriesPoint> SeededBars() {
    std::mt19937 random(20261210);
    std::vector<SeriesPoint> bars(1500);
    double close = 1000;
    int trend = 0;
    for (size_t n = 0; n < bars.size(); ++n) {
        if (n % 40 == 0) trend = DrawInt(random, -2, 2);
        close += DrawInt(random, -15, 15) + trend;
        if (close < 300) close = 300;
        SeriesPoint& bar = bars[n];
        bar.Open = bar.Close = close;
        bar.High = close + 5;
        bar.Low = close - 5;
        bar.Volume = 10000;
        bar.DateText = Day(static_cast<int>(n));
    }
    return bars;
}

std::string Price(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

std::string Observation(const char* name, const std::optional<ObservationRec>& o) {
    if (!o) return std::string(name) + ": none\n";
    return std::string(name) + ": " + o->RuleText + " " + (o->Mark.empty() ? "-" : o->Mark) + " " +
           Price(o->Price) + " " + o->DateText + "\n";
}

// One line per mark: the stroke it belongs to, its date, side, rule text, stroke price and
// signal price; then the last rule and signal and the two projections.
std::string Describe(const KagiChart& chart) {
    std::string text = "strokes " + std::to_string(chart.Strokes.size()) + "\n";
    for (size_t k = 0; k < chart.Strokes.size(); ++k) {
        const int32_t mark = static_cast<int32_t>(chart.Strokes[k].High);
        if (mark < 0) continue;
        const RuleHit& hit = chart.Marks.RuleMarkTable[mark];
        text += "stroke " + std::to_string(k) + " " + hit.DateText + " " +
                (hit.Side.empty() ? "-" : hit.Side) + " " + hit.RuleText + " " +
                Price(hit.StrokePrice) + " " + Price(hit.SignalPrice) + "\n";
    }
    text += "marks " + std::to_string(chart.Marks.RuleMarkCount) + "\n";
    text += "last rule: " + chart.Last.RuleText + " " + chart.Last.RuleDate + "\n";
    text += "last signal: " + chart.Last.SignalRule + " " + chart.Last.SignalSide + " " +
            chart.Last.SignalDate + "\n";
    text += Observation("forward", chart.Forward);
    text += Observation("reverse", chart.Reverse);
    return text;
}

}  // namespace

TEST(KagiRulesGolden, SeededSeriesGivesTheReviewedMarks) {
    KagiWalkSettings settings;
    settings.Market.Kind = 4;
    settings.Today = "2026/12/10";
    ExpectMatchesFixture("analysis/data/kagi_rules_golden.txt",
                         Describe(WalkKagi(SeededBars(), settings)));
}
