// Every issue of a market loaded and analysed as the manual analysis does it, beside one
// bare scan of all the market's daily rows in the same process. Per issue: the daily
// chart's bars with the averages of 5 and 25 days and the newest bar's deviations, the monthly
// bars, the kagi chart's bars adjusted for splits and built with every rule family, and the weekly
// judgement line and barrier checks with the daily bars they load. The run's own writes (the
// attribute rows and the result file) are left out; between two issues the next one's bars are
// asked for ahead, as the run does on one thread.
//
// So that the breakout search runs on every issue, the benchmark's user gets a judgement
// line and barrier on every issue's weekly chart (replacing that user's own, nobody
// else's): the upper line flat at the highest weekly high of the first half of the
// history, the lower line at the lowest low, both to the last week; the barrier 3 % either
// side of the last weekly close.
//
// The market: the synthetic market of 200 issues with 5,000 days each, made in a temporary
// folder, or an installation given by its folder (first argument or KABUTO_BENCH_MARKET),
// such as the large market (kabuto-install create DIR; kabuto-install market DIR 4000 5000).
// Counters: ratio (the analysis over the bare scan), ms_per_issue, round_trips_per_issue
// (the database road's), issues, cut_issues (the issues whose weekly bars cut their
// judgement line).
// Goal: a ratio below 1.5, single-threaded, on the large market.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "analysis/breakout_signals.h"
#include "analysis/chart_loading.h"
#include "analysis/kagi.h"
#include "analysis/moving_averages.h"
#include "analysis/series_loading.h"
#include "foundation/database.h"
#include "foundation/settings.h"
#include "foundation/signin.h"
#include "foundation/sql_builders.h"
#include "platform/memory_reuse.h"
#include "support/bare_catalog.h"
#include "support/bench_market.h"
#include "support/round_trips.h"
#include "support/side_by_side.h"
#include "support/weekly_lines.h"

namespace {

constexpr int kDefaultIssues = 200;
constexpr int kDefaultDays = 5000;
const char* const kScanSql = "SELECT 銘柄ID,日付,始値,高値,安値,終値,出来高 FROM TBL日次";

// What the manual analysis does for one issue. Its loads read the issue's daily rows once,
// in one reading of the catalogs.
bool AnalyseIssue(const std::string& id) {
    const CatalogReading reading;
    const DailyRowsReadOnce rowsReadOnce;
    SeriesState& series = Series();
    if (!LoadChartSeriesOne(id, kChartDaily)) return false;
    SeriesRecord& daily = series.DailySeries;
    daily.MaPeriods = {5, 25, 0};
    if (!CalcMovingAverages(daily)) return false;
    CalcNewestMaDeviation(daily);  // the run records the newest bar's deviations only
    if (!LoadChartSeriesOne(id, kChartMonthly)) return false;
    if (!LoadChartSeries(id, kChartKagi, false)) return false;
    // The kagi build leaves its strokes in the daily record too, so the bars move over.
    series.KagiSeries.Count = series.DailySeries.Count;
    series.KagiSeries.Points = std::move(series.DailySeries.Points);
    if (series.KagiSeries.Count <= 0) return true;
    // Both checks on, as for an issue whose weekly chart has a judgement line and barrier.
    return BuildKagi(id) && CheckShasenKanmonSignal(id, true, true);
}

// As the manual analysis does between two issues: on PostgreSQL the next issue's bars of
// each catalog are asked for at once, on the three connections, before its loads wait for
// them (elsewhere nothing is sent).
void SendReadsAhead(const std::string& next) {
    for (const char* table : {kDailyTable, kMonthlyTable, kWeeklyTable})
        SendBarNumbersAhead(next, table);
}

void MarketAnalysisBesideBareScan(benchmark::State& state, BenchMarket* market) {
    BareCatalog bare(market->Prefix(), PriceCatalogName(kDailyCatalog));
    if (!bare.Ready()) return state.SkipWithError(bare.Error().c_str());
    const std::vector<std::string>& ids = market->IssueIds();
    int failures = 0;
    const TimedWork analysis{{}, [&] {
                                 Signals() = SignalState{};
                                 for (size_t k = 0; k < ids.size(); ++k) {
                                     failures += !AnalyseIssue(ids[k]);
                                     if (k + 1 < ids.size()) SendReadsAhead(ids[k + 1]);
                                 }
                                 DropReadAhead();
                             }};
    int64_t rows = 0;
    const TimedWork scan{{}, [&] { rows = bare.Scan(kScanSql); }};
    scan.Run();  // the catalog's pages read once before either side is timed
    SideBySideOptions options;
    options.Rounds = 5;
    options.WarmUp = false;
    RoundTripTally trips;
    const SideBySideResult result =
        ReportSideBySide(state, trips.Counting(analysis), scan, options);
    state.counters["ms_per_issue"] = result.WorkSeconds * 1e3 / static_cast<double>(ids.size());
    state.counters["round_trips_per_issue"] = trips.PerRun() / static_cast<double>(ids.size());
    state.counters["issues"] = static_cast<double>(ids.size());
    state.counters["daily_rows"] = static_cast<double>(rows);
    state.counters["cut_issues"] = Signals().SignalHitCount;  // where the search loaded days
    if (failures > 0) state.SkipWithError("an issue's analysis failed");
}

}  // namespace

int main(int argc, char** argv) {
    KeepFreedMemoryForReuse();  // as the program does at start-up
    QCoreApplication app(argc, argv);
    UseDefaultSettings();
    UserSettei& settings = Settei().Record.UserSettei;
    settings.CHK_斜線 = 1;
    settings.CHK_関門 = 1;
    const std::string folder = GivenMarketFolder(argc, argv);
    std::unique_ptr<BenchMarket> market =
        folder.empty() ? std::make_unique<BenchMarket>(TestEngine::Sqlite,
                                                       MarketSpec{kDefaultIssues, kDefaultDays})
                       : std::make_unique<BenchMarket>(folder);
    if (!market->Ready() || !DrawWeeklyLines(market->IssueIds())) {
        std::fprintf(stderr, "no market: %s\n", market->Error().c_str());
        return 1;
    }
    benchmark::RegisterBenchmark("MarketAnalysisBesideBareScan", MarketAnalysisBesideBareScan,
                                 market.get())
        ->Apply(SideBySideRun);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
