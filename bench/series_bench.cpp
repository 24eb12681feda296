// The series build of one issue with 5,000 daily bars and two splits, LoadChartSeries for
// kinds 4 to 7, beside the bare read of the same daily rows through ExecuteSql. The issue
// has no stored weekly or monthly rows, so every period is aggregated from the daily rows.
// SQLite catalogs in a temporary folder.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>

#include "analysis/chart_loading.h"
#include "analysis/series_loading.h"
#include "foundation/database.h"
#include "foundation/sql_builders.h"
#include "support/market_fixture.h"

namespace {

constexpr const char* kIssueId = "9001011";
constexpr int kDays = 5000;

bool Insert(std::string sql, const std::vector<FieldValue>& values) {
    RecordsetPtr rows;
    return ExecuteSql(Database().DailyConnection, sql, rows, values);
}

// Weekdays from 2005/01/03 with a gentle walk of prices.
bool FillIssue() {
    using namespace std::chrono;
    if (!BeginTrans(Database().DailyConnection)) return false;
    sys_days day = sys_days{year(2005) / January / 3};
    double price = 1000;
    for (int i = 0; i < kDays; day += days(1)) {
        if (weekday(day) == Saturday || weekday(day) == Sunday) continue;
        const year_month_day ymd{day};
        const int64_t date =
            int(ymd.year()) * 10000 + unsigned(ymd.month()) * 100 + unsigned(ymd.day());
        price += i * 7919 % 21 - 10;
        if (!Insert("INSERT INTO TBL日次 (銘柄ID,日付,始値,高値,安値,終値,出来高) VALUES "
                    "(?,?,?,?,?,?,?)",
                    {std::string(kIssueId), date, price, price + 15, price - 15, price + 3,
                     double(1000 + i % 700)}))
            return false;
        ++i;
    }
    for (auto [date, factor] :
         {std::pair{int64_t{20080630}, 0.5}, std::pair{int64_t{20150331}, 0.1}})
        if (!Insert("INSERT INTO TBL分割係数 (銘柄ID,日付,分割係数) VALUES (?,?,?)",
                    {std::string(kIssueId), date, factor}))
            return false;
    return CommitTrans(Database().DailyConnection);
}

void BareDailyRead(benchmark::State& state) {
    for (auto _ : state) {
        std::string sql = MakeBarsSql(kIssueId, kDailyTable, -1);
        RecordsetPtr rows;
        if (!ExecuteSql(Database().DailyConnection, sql, rows) || rows->RecordCount() != kDays) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(rows->Row(kDays - 1));
        CloseRecordset(rows);
    }
}
BENCHMARK(BareDailyRead)->Unit(benchmark::kMillisecond);

void LoadChartSeriesOfKind(benchmark::State& state) {
    const int32_t kind = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        if (!LoadChartSeries(kIssueId, kind, false)) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(SharedRecordOfKind(kind)->Count);
    }
    state.counters["points"] = SharedRecordOfKind(kind)->Count;
}
BENCHMARK(LoadChartSeriesOfKind)
    ->DenseRange(kChartKagi, kChartMonthly)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    MarketFixture market(TestEngine::Sqlite, MarketSpec{1, 5});
    if (!market.Ready() || !FillIssue()) {
        std::fprintf(stderr, "no catalogs: %s\n", market.Error().c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
