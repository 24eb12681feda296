// ctest-labels: kagirules
// One seeded daily series of 1,500 bars through the kagi walk with the real rule families:
// every mark, the last rule and signal, and the projected turns, against a reviewed fixture.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "analysis/kagi.h"
#include "analysis/kagi_describe.h"
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

}  // namespace

TEST(KagiRulesGolden, SeededSeriesGivesTheReviewedMarks) {
    KagiWalkSettings settings;
    settings.Market.Kind = 4;
    settings.Today = "2026/12/10";
    ExpectMatchesFixture("analysis/data/kagi_rules_golden.txt",
                         DescribeKagiChart(WalkKagi(SeededBars(), settings)));
}
