// The manual analysis run (RunAnalysisLoop with every indicator option on) over every
// issue of a market, writes included, beside one bare scan of all the market's daily rows
// with a prepared statement of the engine's own library, in the same process. The run is
// the program's: the progress window, the flags, each issue's row, "ATec.dat".
//
// So that the breakout search runs on every issue, the benchmark's user gets a weekly
// judgement line and barrier on every issue and every issue's weekly marks are set.
//
// The market: the synthetic market of 200 issues with 5,000 days each, made in a temporary
// folder, or an installation given by its folder (first argument or KABUTO_BENCH_MARKET),
// such as the large market (kabuto-install create DIR; kabuto-install market DIR 4000 5000).
// Runs twice: on one thread, and with a worker per core computing ahead of the writes.
// Counters: ratio (the run over the bare scan), ms_per_issue, round_trips_per_issue (the
// database road's, every thread's), issues, cores (what the machine has), threads (what
// the run uses).
// Goals on the large market: a ratio below 1.5 on one thread, at most 0.5 on 8 cores.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "foundation/database.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "platform/memory_reuse.h"
#include "screening/manual_analysis.h"
#include "support/bare_catalog.h"
#include "support/bench_market.h"
#include "support/round_trips.h"
#include "support/side_by_side.h"
#include "support/weekly_lines.h"

namespace {

constexpr int kDefaultIssues = 200;
constexpr int kDefaultDays = 5000;
const char* const kScanSql = "SELECT 銘柄ID,日付,始値,高値,安値,終値,出来高 FROM TBL日次";

std::unique_ptr<BenchMarket> market;

void SetEveryOption() {
    UseDefaultSettings();
    SetteiRecord& record = Settei().Record;
    UserSettei& user = record.UserSettei;
    user.CHK_斜線 = 1;
    user.CHK_関門 = 1;
    user.CHK_高値圏006M = user.CHK_高値圏120M = user.CHK_MAx = user.CHK_乖離率D =
        user.CHK_出増005D = 1;
    user.DPC_開始 = "2020/01/06";
    record.ManualSettei = MarketScope{};
    record.ManualSettei.OPT_全て = -1;
}

bool MarkWeeklyLines() {
    std::string statement = "UPDATE TBL銘柄属性 SET 斜線W = 1, 関門W = 1";
    RecordsetPtr none;
    return DrawWeeklyLines(market->IssueIds()) &&
           ExecuteSql(Database().DailyConnection, statement, none);
}

// state.range(0): the run's threads, 0 for one per core.
void ManualAnalysisBesideBareScan(benchmark::State& state) {
    const int threads = static_cast<int>(state.range(0));
    BareCatalog bare(market->Prefix(), PriceCatalogName(kDailyCatalog));
    if (!bare.Ready()) return state.SkipWithError(bare.Error().c_str());
    std::string sql;
    MakeAnalysisIssueSql(Settei().Record.ManualSettei, sql);
    int failures = 0;
    const TimedWork analysis{{}, [&] { failures += !RunAnalysisLoop(sql, threads); }};
    int64_t rows = 0;
    const TimedWork scan{{}, [&] { rows = bare.Scan(kScanSql); }};
    scan.Run();  // the catalog's pages read once before either side is timed
    SideBySideOptions options;
    options.Rounds = 5;
    options.WarmUp = false;
    RoundTripTally trips;
    const SideBySideResult result =
        ReportSideBySide(state, trips.Counting(analysis), scan, options);
    const double issues = static_cast<double>(market->IssueIds().size());
    state.counters["ms_per_issue"] = result.WorkSeconds * 1e3 / issues;
    state.counters["round_trips_per_issue"] = trips.PerRun() / issues;
    state.counters["issues"] = issues;
    state.counters["daily_rows"] = static_cast<double>(rows);
    state.counters["cores"] = std::thread::hardware_concurrency();
    state.counters["threads"] =
        threads > 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
    if (failures > 0) state.SkipWithError("the run failed");
}

}  // namespace

int main(int argc, char** argv) {
    KeepFreedMemoryForReuse();  // as the program does at start-up
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const std::string folder = GivenMarketFolder(argc, argv);
    SetEveryOption();
    market = folder.empty() ? std::make_unique<BenchMarket>(
                                  TestEngine::Sqlite, MarketSpec{kDefaultIssues, kDefaultDays})
                            : std::make_unique<BenchMarket>(folder);
    if (!market->Ready() || !MarkWeeklyLines()) {
        std::fprintf(stderr, "no market: %s\n", market->Error().c_str());
        return 1;
    }
    benchmark::RegisterBenchmark("ManualAnalysisBesideBareScan", ManualAnalysisBesideBareScan)
        ->Arg(1)
        ->Arg(0)
        ->Apply(SideBySideRun);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The market signs out while the application still exists.
    market.reset();
    return 0;
}
