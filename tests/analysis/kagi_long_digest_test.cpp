// ctest-labels: kagirules
// Long series with many strokes, where a family that looked back too far or kept a result
// too long would show: market-shaped daily series of 5,000 to 30,000 days at price levels
// that make from a few hundred to several thousand strokes, walked with the real rule
// families under several option sets; and long kagi charts swept point by point and grown
// bar by bar. Each case goes into a digest checked against a fixture.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "analysis/kagi.h"
#include "analysis/kagi_digest.h"
#include "analysis/kagi_rule_sweeps.h"
#include "analysis/kagi_test_points.h"
#include "support/random_draws.h"

namespace {

// Price levels in yen, from shares whose reversal width is a tenth of the price to those
// where it is about one percent.
constexpr int64_t kLevels[] = {45, 180, 480, 950, 2400, 9500, 24000, 52000};

// Daily closes of a share in whole yen: a multiplicative walk in thousandths of a yen with a
// daily swing of spreadBp hundredths of a percent, spells of drift, days without volume now
// and then and a two-for-one split in the middle.
std::vector<SeriesPoint> MarketBars(std::mt19937& random, int count, int64_t level, int spreadBp) {
    std::vector<SeriesPoint> bars(count);
    int64_t mills = 1000 * level;
    int drift = 0;
    for (int n = 0; n < count; ++n) {
        if (n % 60 == 0) drift = DrawInt(random, -20, 20);
        mills = std::max<int64_t>(1000, MovedBy(mills, DrawMove(random, spreadBp) + drift));
        SeriesPoint& bar = bars[n];
        bar.Open = bar.Close = static_cast<double>((mills + 500) / 1000);
        bar.Volume = Chance(random, 3) ? 0 : DrawInt(random, 1000, 200999);
        char date[16];
        std::snprintf(date, sizeof date, "%04d/%02d/%02d", 1990 + n / 240, n / 20 % 12 + 1,
                      n % 20 + 1);
        bar.DateText = date;
    }
    bars[count / 2].SplitFlag = kSplitHere;
    bars[count / 2].SplitRatio = 0.5;
    return bars;
}

// Every case, in the order of the fixture's lines.
void EveryLongCase(const EachDigestCase& each) {
    std::mt19937 random(20261212);
    for (int c = 0; c < 8; ++c) {
        const int count = c < 4 ? DrawInt(random, 5000, 9999) : DrawInt(random, 20000, 30000);
        const std::vector<SeriesPoint> bars =
            MarketBars(random, count, kLevels[c], DrawInt(random, 120, 200));
        const std::string name = "market" + std::to_string(c) + " bars" + std::to_string(count);
        for (int bits : {kDefaultBits, 0, 127, 1 | 2 | 16, 8 | 32, 4 | 64}) {
            KagiWalkSettings settings;
            settings.Options = JudgeOptionsOf(bits);
            settings.Options.TwoTicks = (bits + c) % 2 == 0;
            settings.Today = "2026/12/10";
            each(name + " bits" + std::to_string(bits),
                 [&](Digest& digest) { AddWalkRecords(digest, bars, settings); });
        }
    }
    for (int c = 0; c < 2; ++c) {
        const std::vector<double> prices =
            c == 0 ? KagiTurns(random, 3000) : SpellTurns(random, 3000);
        for (int bits : {kDefaultBits, 0, 127}) {
            each("sweep" + std::to_string(c) + " bits" + std::to_string(bits),
                 [&](Digest& digest) { SweepFamilies(digest, prices, JudgeOptionsOf(bits)); });
        }
    }
    const unsigned seed = random();
    for (int bits : {kDefaultBits, 0, 127}) {
        each("grown bits" + std::to_string(bits), [&](Digest& digest) {
            std::mt19937 grow(seed);
            GrowChart(digest, grow, 3000, JudgeOptionsOf(bits));
        });
    }
}

}  // namespace

TEST(KagiLongDigest, EveryLongCaseMatchesTheFixture) {
    ExpectDigestsMatchFixture("analysis/data/kagi_long_digest.txt", EveryLongCase);
}
