// Loading one issue's 5,000 daily rows through LoadBars (the session check, the statement
// and the client-side recordset) beside a bare prepared statement of the engine's own
// library reading the same rows. SQLite always; PostgreSQL when scripts/pg has started a
// server (eval "$(scripts/pg start)"). KABUTO_BENCH_ISSUES sets the number of issues in
// the catalogs (default 200; the full market is 4000).
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "foundation/database.h"
#include "foundation/signin.h"
#include "foundation/sql_builders.h"
#include "support/market_fixture.h"

namespace {

constexpr int kDays = 5000;
const char* const kBareSql =
    "SELECT 日付,始値,高値,安値,終値,出来高 FROM TBL日次 WHERE 銘柄ID=$1 ORDER BY 日付 ASC";

using Row = std::array<double, 6>;

std::unique_ptr<MarketFixture>& Market() {
    static std::unique_ptr<MarketFixture> market;
    return market;
}

// One market at a time: the database road keeps one set of catalogs.
MarketFixture* MarketFor(TestEngine engine) {
    static TestEngine current = TestEngine::Sqlite;
    auto& market = Market();
    if (market && current == engine) return market->Ready() ? market.get() : nullptr;
    market.reset();
    const char* issues = std::getenv("KABUTO_BENCH_ISSUES");
    market = std::make_unique<MarketFixture>(engine,
                                             MarketSpec{issues ? std::atoi(issues) : 200, kDays});
    current = engine;
    return market->Ready() ? market.get() : nullptr;
}

void LoadThroughRoad(benchmark::State& state, TestEngine engine) {
    MarketFixture* market = MarketFor(engine);
    if (!market) {
        state.SkipWithError("no catalogs for this engine");
        return;
    }
    const std::string id = market->Summary().FirstIssueId;
    for (auto _ : state) {
        RecordsetPtr rs;
        if (!LoadBars(id, kDailyTable, -1, rs) || rs->RecordCount() != kDays) {
            state.SkipWithError("LoadBars failed");
            return;
        }
        benchmark::DoNotOptimize(rs->Row(kDays - 1));
    }
    state.SetItemsProcessed(state.iterations() * kDays);
}

// The ownership check alone: the part of every statement's cost that is not the read.
void SessionCheck(benchmark::State& state, TestEngine engine) {
    if (!MarketFor(engine)) {
        state.SkipWithError("no catalogs for this engine");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(CheckSessionOwner());
}

void BareSqlite(benchmark::State& state) {
    MarketFixture* market = MarketFor(TestEngine::Sqlite);
    sqlite3* db = nullptr;
    const std::string file = market->Path() + PriceCatalogName(kDailyCatalog) + ".sqlite3";
    if (!market || sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        state.SkipWithError("cannot open the daily catalog");
        return;
    }
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, kBareSql, -1, &statement, nullptr);
    const std::string id = market->Summary().FirstIssueId;
    for (auto _ : state) {
        std::vector<Row> rows;
        sqlite3_bind_text(statement, 1, id.c_str(), -1, SQLITE_STATIC);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            Row& row = rows.emplace_back();
            for (int i = 0; i < 6; ++i) row[i] = sqlite3_column_double(statement, i);
        }
        sqlite3_reset(statement);
        if (rows.size() != kDays) state.SkipWithError("bare read missed rows");
        benchmark::DoNotOptimize(rows.data());
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kDays);
}

void BarePostgres(benchmark::State& state) {
    MarketFixture* market = MarketFor(TestEngine::Postgres);
    if (!market) {
        state.SkipWithError("no PostgreSQL test server");
        return;
    }
    const std::string conninfo = std::string("host=") + std::getenv("KABUTO_PG_HOST") +
                                 " port=" + std::getenv("KABUTO_PG_PORT") +
                                 " user=" + std::getenv("KABUTO_PG_USER") +
                                 " password=" + std::getenv("KABUTO_PG_PASSWORD") +
                                 " dbname=" + PriceCatalogName(kDailyCatalog);
    PGconn* connection = PQconnectdb(conninfo.c_str());
    if (PQstatus(connection) != CONNECTION_OK) {
        state.SkipWithError(PQerrorMessage(connection));
        PQfinish(connection);
        return;
    }
    PQclear(PQprepare(connection, "bars", kBareSql, 1, nullptr));
    const std::string id = market->Summary().FirstIssueId;
    const char* values[] = {id.c_str()};
    for (auto _ : state) {
        PGresult* result = PQexecPrepared(connection, "bars", 1, values, nullptr, nullptr, 0);
        std::vector<Row> rows(PQntuples(result));
        for (int r = 0; r < static_cast<int>(rows.size()); ++r)
            for (int i = 0; i < 6; ++i) rows[r][i] = std::strtod(PQgetvalue(result, r, i), nullptr);
        PQclear(result);
        if (rows.size() != kDays) state.SkipWithError("bare read missed rows");
        benchmark::DoNotOptimize(rows.data());
    }
    PQfinish(connection);
    state.SetItemsProcessed(state.iterations() * kDays);
}

BENCHMARK_CAPTURE(LoadThroughRoad, Sqlite, TestEngine::Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BareSqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SessionCheck, Sqlite, TestEngine::Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LoadThroughRoad, Postgres, TestEngine::Postgres)->Unit(benchmark::kMicrosecond);
BENCHMARK(BarePostgres)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SessionCheck, Postgres, TestEngine::Postgres)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Market().reset();
    return 0;
}
