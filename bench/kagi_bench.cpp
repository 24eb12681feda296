// The kagi build over one issue's daily bars, beside a plain moving-average pass over the
// same bars as the yardstick of one cheap pass.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "analysis/kagi.h"
#include "foundation/settings.h"

namespace {

// A random walk of daily closes around 1,000 with a 1:2 split in the middle.
std::vector<SeriesPoint> SyntheticBars(int count) {
    std::mt19937 random(20240101);
    std::normal_distribution<double> step(0, 0.018);
    std::vector<SeriesPoint> bars(count);
    double price = 1000;
    for (int n = 0; n < count; ++n) {
        price = std::max(50.0, std::round(price * std::exp(step(random))));
        SeriesPoint& b = bars[n];
        b.Open = b.High = b.Low = b.Close = price;
        b.Volume = 10000;
        char date[16];
        std::snprintf(date, sizeof date, "%04d/%02d/%02d", 1990 + n / 250, 1 + n % 250 / 21,
                      1 + n % 21);
        b.DateText = date;
    }
    bars[count / 2].SplitFlag = kSplitHere;
    bars[count / 2].SplitRatio = 0.5;
    return bars;
}

void SetPerBarCounter(benchmark::State& state, int bars) {
    state.counters["per_bar"] = benchmark::Counter(
        bars, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_BuildKagi(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::vector<SeriesPoint> bars = SyntheticBars(count);
    ResetAnalysisState();  // the eight real families
    ApplySetteiDefaults(Settei().Record, std::chrono::year{2026} / 12 / 10);  // default options
    for (auto _ : state) {
        state.PauseTiming();
        Series().KagiSeries.Points = bars;
        Series().KagiSeries.Count = count;
        state.ResumeTiming();
        benchmark::DoNotOptimize(BuildKagi("1301011"));
    }
    state.counters["strokes"] = Series().KagiSeries.Count;
    state.counters["marks"] = RuleMarks().RuleMarkCount;
    SetPerBarCounter(state, count);
}

void BM_MovingAverage(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::vector<SeriesPoint> bars = SyntheticBars(count);
    constexpr int kPeriod = 25;
    std::vector<double> average(count);
    for (auto _ : state) {
        double sum = 0;
        for (int n = 0; n < count; ++n) {
            sum += bars[n].Close;
            if (n >= kPeriod) sum -= bars[n - kPeriod].Close;
            average[n] = n + 1 >= kPeriod ? sum / kPeriod : -1;
        }
        benchmark::DoNotOptimize(average.data());
        benchmark::ClobberMemory();
    }
    SetPerBarCounter(state, count);
}

}  // namespace

BENCHMARK(BM_BuildKagi)->Arg(5000)->Arg(30000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MovingAverage)->Arg(5000)->Arg(30000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
