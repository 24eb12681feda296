// The eight rule families at every point of long kagi charts, as the kagi walk calls them
// (sell families on falling strokes, buy families on rising ones). The charts rotate, about
// 60,000 points of them whatever their length: one chart read again and again teaches the
// branch predictor its shapes, which a short chart fits and a long one does not, and the cost
// per point would seem to grow with the length.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "analysis/kagi_families.h"

namespace {

std::vector<SeriesPoint> RandomChart(std::mt19937& random, int32_t count) {
    std::uniform_int_distribution<int> stroke(1, 12);
    std::vector<SeriesPoint> points(count);
    points[0].Open = 1000;
    for (int32_t k = 1; k < count; ++k) {
        const double step = 10.0 * stroke(random);
        points[k].Open = points[k - 1].Open + (k % 2 ? step : -step);
    }
    return points;
}

void BM_KagiRuleFamilies(benchmark::State& run) {
    const int32_t count = static_cast<int32_t>(run.range(0));
    std::mt19937 random(11);
    std::vector<std::vector<SeriesPoint>> charts(std::max(1, 60000 / count));
    for (std::vector<SeriesPoint>& chart : charts) chart = RandomChart(random, count);
    const KagiJudgeOptions options;
    size_t next = 0;
    for (auto _ : run) {
        const std::vector<SeriesPoint>& points = charts[next];
        next = (next + 1) % charts.size();
        KagiRuleState state;
        for (int32_t i = 3; i < count; ++i) {
            const KagiPrices T(points.data(), i + 1);
            state.EvalRuleText.clear();
            if (T[i - 1] > T[i - 2]) {
                CheckRuleRosaSell(T, i, state, options);
                CheckRuleRokuSell(T, i, state, options);
                CheckRuleRoweSell(T, i, state, options);
                CheckRuleRoaSell(T, i, state, options);
            } else {
                CheckRuleRosaBuy(T, i, state, options);
                CheckRuleRokuBuy(T, i, state, options);
                CheckRuleRoweBuy(T, i, state, options);
                CheckRuleRoaBuy(T, i, state, options);
            }
            benchmark::DoNotOptimize(state.EvalRuleText);
        }
    }
    run.SetItemsProcessed(run.iterations() * count);
}

}  // namespace

BENCHMARK(BM_KagiRuleFamilies)->Arg(500)->Arg(3000);

BENCHMARK_MAIN();
