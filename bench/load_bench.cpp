// Loading issues' series as every chart does, LoadChartSeries (the issue's listing or its
// joined listings, split factors and marks, the session check before every statement),
// beside a bare read of the same rows through the engine's own library on a connection of
// its own. Kinds 4 (kagi) to 7 (monthly), for a sample of issues spread over the market;
// LoadBars, the statement road alone, beside the bare read of the daily rows; the session
// check alone. SQLite always; PostgreSQL when scripts/pg has started a server
// (eval "$(scripts/pg start)").
//
// The market: the synthetic market of 200 issues with 5,000 days each (KABUTO_BENCH_ISSUES
// sets another number of issues), made for each engine in turn, or an installation given
// by its folder (first argument or KABUTO_BENCH_MARKET) on the engine its settei2.ini names.
//
// Counters of LoadChartSeriesBesideBareRead: ratio, issues, round_trips_per_load (the
// database road's round trips of one chart load).
// Goal: LoadChartSeriesBesideBareRead at a ratio of at most 1.2 on both engines.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "analysis/chart_loading.h"
#include "foundation/database.h"
#include "foundation/signin.h"
#include "foundation/sql_builders.h"
#include "platform/memory_reuse.h"
#include "support/bare_catalog.h"
#include "support/bench_market.h"
#include "support/round_trips.h"
#include "support/side_by_side.h"

namespace {

constexpr int kDays = 5000;
constexpr size_t kSampleIssues = 8;

const char* const kDailySql =
    "SELECT 日付,始値,高値,安値,終値,出来高 FROM TBL日次 WHERE 銘柄ID=$1 ORDER BY 日付";
const char* const kDailyAfterSql =
    "SELECT 日付,始値,高値,安値,終値,出来高 FROM TBL日次 WHERE 銘柄ID=$1 AND 日付>$2 ORDER BY "
    "日付";
const char* const kSplitSql = "SELECT 日付,分割係数 FROM TBL分割係数 WHERE 銘柄ID=$1 ORDER BY 日付";

std::string PeriodSql(const char* table) {
    return std::string("SELECT 開始日,始値,高値,安値,終値,出来高,終了日 FROM ") + table +
           " WHERE 銘柄ID=$1 ORDER BY 開始日";
}

// The market of one engine and its bare connections; one at a time, as the database road
// keeps one set of catalogs.
struct LoadMarket {
    std::unique_ptr<BenchMarket> Market;
    std::unique_ptr<BareCatalog> Daily, Weekly, Monthly;
    std::vector<std::string> Sample;

    bool Open() {
        if (!Market->Ready()) return false;
        const std::string prefix = Market->Prefix();
        Daily = std::make_unique<BareCatalog>(prefix, PriceCatalogName(kDailyCatalog));
        Weekly = std::make_unique<BareCatalog>(prefix, PriceCatalogName(kWeeklyCatalog));
        Monthly = std::make_unique<BareCatalog>(prefix, PriceCatalogName(kMonthlyCatalog));
        const std::vector<std::string>& ids = Market->IssueIds();
        for (size_t k = 0; k < kSampleIssues && !ids.empty(); ++k)
            Sample.push_back(ids[k * (ids.size() - 1) / (kSampleIssues - 1)]);
        return Daily->Ready() && Weekly->Ready() && Monthly->Ready();
    }
    // Every listing of the issue's security code, as a joined load reads them.
    std::vector<std::string> Listings(const std::string& issueId) const {
        std::vector<std::string> listings;
        for (const std::string& id : Market->IssueIds())
            if (id.compare(0, 4, issueId, 0, 4) == 0) listings.push_back(id);
        return listings;
    }
};

std::string& GivenFolder() {
    static std::string folder;
    return folder;
}

std::unique_ptr<LoadMarket>& CurrentMarket() {
    static std::unique_ptr<LoadMarket> market;
    return market;
}

LoadMarket* MarketOf(TestEngine engine) {
    static TestEngine current = TestEngine::Sqlite;
    std::unique_ptr<LoadMarket>& market = CurrentMarket();
    if (market && (current == engine || !GivenFolder().empty()))
        return market->Market->Ready() ? market.get() : nullptr;
    market.reset();
    market = std::make_unique<LoadMarket>();
    current = engine;
    if (!GivenFolder().empty()) {
        market->Market = std::make_unique<BenchMarket>(GivenFolder());
    } else {
        const char* issues = std::getenv("KABUTO_BENCH_ISSUES");
        market->Market = std::make_unique<BenchMarket>(
            engine, MarketSpec{issues ? std::atoi(issues) : 200, kDays});
    }
    if (!market->Open()) {
        if (!market->Market->Skipped())
            std::fprintf(stderr, "no market: %s\n", market->Market->Error().c_str());
        return nullptr;
    }
    return market.get();
}

// The rows a load of kind reads for an issue: its listings' daily rows, or their stored
// periods and the daily rows after them, and its split factors.
void BareReadOfKind(LoadMarket& m, const std::string& issueId, int32_t kind) {
    for (const std::string& listing : m.Listings(issueId)) {
        if (kind == kChartKagi || kind == kChartDaily) {
            m.Daily->Read(kDailySql, {listing});
            continue;
        }
        BareCatalog& periods = kind == kChartWeekly ? *m.Weekly : *m.Monthly;
        periods.Read(PeriodSql(kind == kChartWeekly ? kWeeklyTable : kMonthlyTable), {listing});
        const std::vector<double>& values = periods.Values();
        const int64_t lastEnd = values.empty() ? 0 : static_cast<int64_t>(values.back());
        m.Daily->Read(kDailyAfterSql, {listing, std::to_string(lastEnd)});
    }
    m.Daily->Read(kSplitSql, {issueId});
}

void LoadChartSeriesBesideBareRead(benchmark::State& state, TestEngine engine) {
    LoadMarket* m = MarketOf(engine);
    if (!m) return state.SkipWithError("no market for this engine");
    const int32_t kind = static_cast<int32_t>(state.range(0));
    const TimedWork load{{}, [&] {
                             for (const std::string& id : m->Sample)
                                 if (!LoadChartSeries(id, kind)) state.SkipWithError("load failed");
                         }};
    const TimedWork bare{{}, [&] {
                             for (const std::string& id : m->Sample) BareReadOfKind(*m, id, kind);
                         }};
    RoundTripTally trips;
    ReportSideBySide(state, trips.Counting(load), bare);
    const double loads = static_cast<double>(m->Sample.size());
    state.counters["issues"] = loads;
    state.counters["round_trips_per_load"] = trips.PerRun() / loads;
}

void LoadBarsBesideBareRead(benchmark::State& state, TestEngine engine) {
    LoadMarket* m = MarketOf(engine);
    if (!m) return state.SkipWithError("no market for this engine");
    const TimedWork road{{}, [&] {
                             for (const std::string& id : m->Sample) {
                                 RecordsetPtr rows;
                                 if (!LoadBars(id, kDailyTable, -1, rows))
                                     state.SkipWithError("LoadBars failed");
                             }
                         }};
    const TimedWork bare{{}, [&] {
                             for (const std::string& id : m->Sample)
                                 m->Daily->Read(kDailySql, {id});
                         }};
    ReportSideBySide(state, road, bare);
}

// The ownership check alone: the part of every statement's cost that is not its own.
void SessionCheck(benchmark::State& state, TestEngine engine) {
    if (!MarketOf(engine)) return state.SkipWithError("no market for this engine");
    for (auto _ : state) benchmark::DoNotOptimize(CheckSessionOwner());
}

void RegisterEngine(const char* name, TestEngine engine) {
    const std::string suffix = std::string("/") + name;
    benchmark::RegisterBenchmark(("LoadChartSeriesBesideBareRead" + suffix).c_str(),
                                 LoadChartSeriesBesideBareRead, engine)
        ->DenseRange(kChartKagi, kChartMonthly)
        ->Apply(SideBySideRun);
    benchmark::RegisterBenchmark(("LoadBarsBesideBareRead" + suffix).c_str(),
                                 LoadBarsBesideBareRead, engine)
        ->Apply(SideBySideRun);
    benchmark::RegisterBenchmark(("SessionCheck" + suffix).c_str(), SessionCheck, engine)
        ->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
    KeepFreedMemoryForReuse();  // as the program does at start-up
    QCoreApplication app(argc, argv);
    UseDefaultSettings();
    GivenFolder() = GivenMarketFolder(argc, argv);
    if (!GivenFolder().empty()) {
        RegisterEngine("given", TestEngine::Sqlite);
    } else {
        RegisterEngine("sqlite", TestEngine::Sqlite);
        RegisterEngine("postgres", TestEngine::Postgres);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CurrentMarket().reset();
    return 0;
}
