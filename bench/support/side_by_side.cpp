#include "support/side_by_side.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

constexpr int kFewestRounds = 5;

int RoundsWanted(int rounds) {
    if (const char* text = std::getenv("KABUTO_BENCH_ROUNDS")) rounds = std::atoi(text);
    return std::max(rounds, kFewestRounds);
}

// The time of one run of a side, added to its tally.
struct Tally {
    double Seconds = 0;
    int Runs = 0;

    void Add(const TimedWork& side) {
        using Clock = std::chrono::steady_clock;
        if (side.Prepare) side.Prepare();
        const Clock::time_point start = Clock::now();
        side.Run();
        Seconds += std::chrono::duration<double>(Clock::now() - start).count();
        ++Runs;
    }
    double PerRun() const { return Seconds / Runs; }
};

// Round number round: single runs of the two sides in turn, the first of each pair
// alternating from round to round and within it, until each side has run for minSeconds;
// the time of one run of each.
std::pair<double, double> TimeRound(const TimedWork& work, const TimedWork& baseline,
                                    double minSeconds, int round) {
    Tally w, b;
    for (int pair = round; w.Seconds < minSeconds || b.Seconds < minSeconds; ++pair) {
        if (pair % 2 == 0) {
            w.Add(work);
            b.Add(baseline);
        } else {
            b.Add(baseline);
            w.Add(work);
        }
    }
    return {w.PerRun(), b.PerRun()};
}

void WarmUp(const TimedWork& side) {
    if (side.Prepare) side.Prepare();
    side.Run();
}

}  // namespace

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    if (values.size() % 2 == 1) return values[middle];
    return (values[middle - 1] + values[middle]) / 2;
}

SideBySideResult MeasureSideBySide(const TimedWork& work, const TimedWork& baseline,
                                   SideBySideOptions options) {
    if (options.WarmUp) {
        WarmUp(work);
        WarmUp(baseline);
    }
    std::vector<double> workTimes, baseTimes, ratios;
    const int rounds = RoundsWanted(options.Rounds);
    for (int round = 0; round < rounds; ++round) {
        const auto [workTime, baseTime] = TimeRound(work, baseline, options.MinSideSeconds, round);
        workTimes.push_back(workTime);
        baseTimes.push_back(baseTime);
        ratios.push_back(workTime / baseTime);
    }
    SideBySideResult result;
    result.WorkSeconds = Median(workTimes);
    result.BaselineSeconds = Median(baseTimes);
    result.Ratio = Median(ratios);
    result.HighestRatio = *std::max_element(ratios.begin(), ratios.end());
    result.Rounds = rounds;
    return result;
}

SideBySideResult ReportSideBySide(benchmark::State& state, const TimedWork& work,
                                  const TimedWork& baseline, SideBySideOptions options) {
    SideBySideResult result;
    for (auto _ : state) {
        result = MeasureSideBySide(work, baseline, options);
        state.SetIterationTime(result.WorkSeconds);
    }
    state.counters["ratio"] = result.Ratio;
    state.counters["ratio_max"] = result.HighestRatio;
    state.counters["base_ms"] = result.BaselineSeconds * 1e3;
    return result;
}

void SideBySideRun(benchmark::internal::Benchmark* benchmark) {
    benchmark->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

SideBySideResult SideBySideCases::Measure(const Case& c) {
    const auto found = measured_.find(c.Name);
    if (found != measured_.end()) return found->second;
    return measured_[c.Name] = MeasureSideBySide(c.Work, c.Baseline, options_);
}

void SideBySideCases::RunCase(benchmark::State& state, const Case& c) {
    measured_[c.Name] = ReportSideBySide(state, c.Work, c.Baseline, options_);
    if (c.Counters) c.Counters(state);
}

void SideBySideCases::RunAll(benchmark::State& state) {
    std::vector<double> ratios, times;
    for (auto _ : state) {
        for (const Case& c : cases_) {
            const SideBySideResult result = Measure(c);
            ratios.push_back(result.Ratio);
            times.push_back(result.WorkSeconds);
        }
        state.SetIterationTime(Median(times));
    }
    if (ratios.empty()) return;
    const auto worst = std::max_element(ratios.begin(), ratios.end());
    state.counters["ratio"] = Median(ratios);
    state.counters["ratio_worst"] = *worst;
    state.counters["slowest_ms"] = *std::max_element(times.begin(), times.end()) * 1e3;
    state.counters["cases"] = static_cast<double>(ratios.size());
    state.SetLabel("worst: " + cases_[worst - ratios.begin()].Name);
}

void SideBySideCases::Register() {
    for (const Case& c : cases_)
        benchmark::RegisterBenchmark((family_ + "/" + c.Name).c_str(),
                                     [this, &c](benchmark::State& state) { RunCase(state, c); })
            ->Apply(SideBySideRun);
    benchmark::RegisterBenchmark((family_ + "/all").c_str(), [this](benchmark::State& state) {
        RunAll(state);
    })->Apply(SideBySideRun);
}
