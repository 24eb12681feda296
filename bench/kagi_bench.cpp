// The kagi build of market-like daily series, each beside the moving-average pass over the
// same bars. The series are the issues of the installation tools' synthetic market (the
// generator of the large market), loaded as the chart loads them: ordinary issues at every
// starting level, so that the reversal width and with it the bars per stroke differ from
// issue to issue, two of them with a split, a joined listing, and the index issues with
// decimal prices. BuildKagi runs with every rule family and the default settings, as the
// chart builds it; CalcMovingAverages with the daily chart's periods 5 and 25.
//
// Goal: KagiBesideMovingAverages/all at a ratio of at most 10 (the median over the series)
// and a ratio_worst of at most 15.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdio>
#include <deque>
#include <string>

#include "analysis/chart_loading.h"
#include "analysis/kagi.h"
#include "analysis/moving_averages.h"
#include "support/bench_market.h"
#include "support/side_by_side.h"

namespace {

constexpr int kOrdinaryIssues = 10;  // one at each starting level of the generator
constexpr int kDays = 5000;          // twenty years of trading days

struct KagiCase {
    std::string IssueId;
    SeriesRecord Bars;      // as the kagi chart's loader leaves them
    SeriesRecord Averaged;  // the same bars, which every average pass writes over
};

SideBySideCases::Case MeasuredCase(KagiCase& c) {
    TimedWork build{[&c] {
                        SeriesRecord& kagi = Series().KagiSeries;
                        kagi.Points = c.Bars.Points;
                        kagi.Count = c.Bars.Count;
                    },
                    [&c] {
                        if (!BuildKagi(c.IssueId)) std::fprintf(stderr, "BuildKagi failed\n");
                    }};
    TimedWork averages{{}, [&c] { benchmark::DoNotOptimize(CalcMovingAverages(c.Averaged)); }};
    return {c.IssueId, build, averages, [&c](benchmark::State& state) {
                state.counters["bars"] = c.Bars.Count;
                state.counters["strokes"] = Series().KagiSeries.Count;
                state.counters["marks"] = RuleMarks().RuleMarkCount;
            }};
}

bool LoadCases(const BenchMarket& market, std::deque<KagiCase>& cases) {
    for (const std::string& id : market.IssueIds()) {
        if (!LoadChartSeries(id, kChartKagi)) return false;
        KagiCase& c = cases.emplace_back(KagiCase{id, Series().DailySeries, {}});
        c.Bars.Points.resize(c.Bars.Count);
        c.Averaged = c.Bars;
        c.Averaged.MaPeriods = {5, 25, 0};
    }
    return !cases.empty();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    UseDefaultSettings();
    BenchMarket market(TestEngine::Sqlite, MarketSpec{kOrdinaryIssues, kDays});
    std::deque<KagiCase> cases;
    if (!market.Ready() || !LoadCases(market, cases)) {
        std::fprintf(stderr, "no market: %s\n", market.Error().c_str());
        return 1;
    }
    SideBySideCases measured("KagiBesideMovingAverages");
    for (KagiCase& c : cases) measured.Add(MeasuredCase(c));
    measured.Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
