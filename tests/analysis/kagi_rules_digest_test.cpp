// ctest-labels: kagirules
// The rule families and the evaluation around them over many seeded random charts, under
// every combination of the judgement options on part of them: each evaluation (its index,
// the names appended and the whole rule state after it) goes into a digest per chart and
// option set, checked against a fixture. A family made faster or tidier must give exactly
// the same names and state everywhere.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/kagi.h"
#include "analysis/kagi_digest.h"
#include "analysis/kagi_rule_sweeps.h"
#include "analysis/kagi_test_points.h"
#include "support/random_draws.h"

namespace {

// Daily closes through the whole walk, with a split in the middle.
std::vector<SeriesPoint> DailyBars(std::mt19937& random, int count) {
    std::vector<SeriesPoint> bars(count);
    double close = 1000;
    int trend = 0;
    for (int n = 0; n < count; ++n) {
        if (n % 40 == 0) trend = DrawInt(random, -2, 2);
        close = std::max(300.0, close + DrawInt(random, -15, 15) + trend);
        SeriesPoint& bar = bars[n];
        bar.Open = bar.Close = close;
        bar.Volume = 10000;
        char date[16];
        std::snprintf(date, sizeof date, "%04d/%02d/%02d", 2000 + n / 336, n / 28 % 12 + 1,
                      n % 28 + 1);
        bar.DateText = date;
    }
    bars[count / 2].SplitFlag = kSplitHere;
    bars[count / 2].SplitRatio = 0.5;
    return bars;
}

void AddWalkRecords(Digest& digest, const std::vector<SeriesPoint>& bars,
                    const KagiJudgeOptions& options) {
    KagiWalkSettings settings;
    settings.Options = options;
    settings.Today = "2026/12/10";
    AddChartRecords(digest, WalkKagi(bars, settings));
}

// Every chart with its option sets, in the order of the fixture's lines.
void EveryEvaluation(const EachDigestCase& each) {
    const auto named = [](const std::string& name, int bits) {
        return name + " " + std::to_string(bits);
    };
    std::mt19937 random(20261211);
    for (int c = 0; c < 60; ++c) {
        const int count = DrawInt(random, 20, 319);
        const int kind = c % 4;
        const std::vector<double> prices = kind == 3   ? AnyPrices(random, count)
                                           : kind == 2 ? SpellTurns(random, count)
                                                       : KagiTurns(random, count);
        const std::string name = (kind == 3   ? "any"
                                  : kind == 2 ? "spells"
                                              : "turns") +
                                 std::to_string(c);
        const auto sweep = [&](int bits) {
            each(named(name, bits),
                 [&](Digest& digest) { SweepFamilies(digest, prices, JudgeOptionsOf(bits)); });
        };
        // All option sets on every fifth chart and on the shapeless ones, the defaults and a few
        // others on the rest.
        if (c % 5 == 0 || kind == 3) {
            for (int bits = 0; bits < 128; ++bits) sweep(bits);
        } else {
            for (int bits : {kDefaultBits, 0, 127, 1 | 2, 8 | 32}) sweep(bits);
        }
    }
    for (int c = 0; c < 16; ++c) {
        const int strokes = DrawInt(random, 30, 279);
        const unsigned seed = random();
        for (int bits = 0; bits < 128; bits += c % 4 == 0 ? 1 : 37) {
            each(named("grown" + std::to_string(c), bits), [&](Digest& digest) {
                std::mt19937 grow(seed);
                GrowChart(digest, grow, strokes, JudgeOptionsOf(bits));
            });
        }
    }
    for (int c = 0; c < 3; ++c) {
        const std::vector<SeriesPoint> bars = DailyBars(random, 1200);
        for (int bits = 0; bits < 128; ++bits) {
            KagiJudgeOptions options = JudgeOptionsOf(bits);
            options.TwoTicks = (bits + c) % 2;
            each(named("walk" + std::to_string(c), bits),
                 [&](Digest& digest) { AddWalkRecords(digest, bars, options); });
        }
    }
}

}  // namespace

TEST(KagiRulesDigest, EveryEvaluationMatchesTheFixture) {
    ExpectDigestsMatchFixture("analysis/data/kagi_rules_digest.txt", EveryEvaluation);
}
