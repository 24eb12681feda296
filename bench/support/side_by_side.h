#pragma once
// The one way a benchmark with a goal measures: its work beside a yardstick in the same
// process, single runs of the two in turn (the side that goes first alternates), so that
// whatever else loads the machine weighs on both alike. A round lasts until each side has
// run for a while and gives the ratio of their times per run; the reported ratio is the
// median of the rounds.
//
//   BENCHMARK(LoadBesideBareRead)->Apply(SideBySideRun);
//   void LoadBesideBareRead(benchmark::State& state) {
//       ReportSideBySide(state, {.Run = [] { Load(); }}, {.Run = [] { BareRead(); }});
//   }
//
// Counters: ratio (the median), ratio_max (the highest round), base_ms (the yardstick's
// median time); the time column is the work's median time per run. KABUTO_BENCH_ROUNDS sets
// the number of rounds (never fewer than five).
#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

struct TimedWork {
    std::function<void()> Prepare;  // untimed, before every run; may be empty
    std::function<void()> Run;      // timed
};

struct SideBySideOptions {
    int Rounds = 7;
    // A round lasts until each side has run this long, so that short work is timed over
    // many runs; work longer than this runs once a round.
    double MinSideSeconds = 0.1;
    // One untimed run of each side first: caches, pages and connections warmed.
    bool WarmUp = true;
};

struct SideBySideResult {
    double WorkSeconds = 0;      // median time of one run of the work
    double BaselineSeconds = 0;  // median time of one run of the yardstick
    double Ratio = 0;            // median of the rounds' ratios
    double HighestRatio = 0;     // the highest round's ratio
    int Rounds = 0;
};

// The rounds, KABUTO_BENCH_ROUNDS applied.
SideBySideResult MeasureSideBySide(const TimedWork& work, const TimedWork& baseline,
                                   SideBySideOptions options = {});

// MeasureSideBySide in the benchmark's one iteration, reported as the header says.
SideBySideResult ReportSideBySide(benchmark::State& state, const TimedWork& work,
                                  const TimedWork& baseline, SideBySideOptions options = {});

// The registration every side-by-side benchmark takes: one iteration, manual time, in
// milliseconds.
void SideBySideRun(benchmark::internal::Benchmark* benchmark);

// The median of some values (the mean of the middle two for an even count); 0 for none.
double Median(std::vector<double> values);

// Cases of one work, each measured side by side as its own benchmark "<family>/<case>",
// and a last benchmark "<family>/all" over them: its ratio is the median of the cases'
// ratios, ratio_worst the highest of them (its label names that case), slowest_ms the
// longest time of one case's work. A case that a filter left out is measured by the last
// benchmark itself.
class SideBySideCases {
  public:
    struct Case {
        std::string Name;
        TimedWork Work;
        TimedWork Baseline;
        // More counters of the case, set after its measurement; may be empty.
        std::function<void(benchmark::State&)> Counters;
    };

    explicit SideBySideCases(std::string family, SideBySideOptions options = {})
        : family_(std::move(family)), options_(options) {}
    void Add(Case c) { cases_.push_back(std::move(c)); }
    // Registers the cases and the summary; no case may be added after it.
    void Register();

  private:
    SideBySideResult Measure(const Case& c);
    void RunCase(benchmark::State& state, const Case& c);
    void RunAll(benchmark::State& state);

    std::string family_;
    SideBySideOptions options_;
    std::vector<Case> cases_;
    std::map<std::string, SideBySideResult> measured_;
};
