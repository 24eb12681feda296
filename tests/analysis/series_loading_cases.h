#pragma once
// Loading an issue's series from the price tables: daily bars with splits, scaling and the
// latest-bar summary, weekly and monthly series from stored and new rows, and listings
// joined across market changes. Small catalogs with rows written per case, run on SQLite
// (series_loading_test) and on the throwaway PostgreSQL server (series_loading_pg_test).
#include <gtest/gtest.h>

#include <memory>

#include "analysis/chart_loading.h"
#include "analysis/series_loading.h"
#include "analysis/series_points.h"
#include "analysis/splits.h"
#include "foundation/database.h"
#include "foundation/sql_builders.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"

namespace series_loading_cases {

using Strings = std::vector<std::string>;

class SeriesLoads : public testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(GetParam(), MarketSpec{1, 5});
        KABUTO_REQUIRE_MARKET(*market_);
    }

    void Run(const CatalogConnection& connection, std::string sql,
             const std::vector<FieldValue>& parameters) {
        RecordsetPtr rows;
        ASSERT_TRUE(ExecuteSql(connection, sql, rows, parameters)) << sql;
    }

    // Daily rows; dates "yyyy/mm/dd".
    void Daily(const std::string& id, const std::vector<Bar>& bars) {
        for (const Bar& bar : bars)
            Run(Database().DailyConnection,
                "INSERT INTO TBL日次 (銘柄ID,日付,始値,高値,安値,終値,出来高) VALUES "
                "(?,?,?,?,?,?,?)",
                {id, int64_t{DateDigits(bar.date)}, bar.open, bar.high, bar.low, bar.close,
                 bar.volume});
    }
    // Stored period rows; dates are labels "first～last".
    void Stored(const CatalogConnection& connection, const char* table, const std::string& id,
                const std::vector<Bar>& bars) {
        for (const Bar& bar : bars)
            Run(connection,
                std::string("INSERT INTO ") + table +
                    " (銘柄ID,開始日,終了日,始値,高値,安値,終値,出来高) VALUES (?,?,?,?,?,?,?,?)",
                {id, int64_t{PeriodStartNum(bar.date)}, int64_t{PeriodEndNum(bar.date)}, bar.open,
                 bar.high, bar.low, bar.close, bar.volume});
    }
    void Weekly(const std::string& id, const std::vector<Bar>& bars) {
        Stored(Database().WeeklyConnection, "TBL週次", id, bars);
    }
    void Monthly(const std::string& id, const std::vector<Bar>& bars) {
        Stored(Database().MonthlyConnection, "TBL月次", id, bars);
    }
    // A row whose close is missing: its load must fail.
    void DailyWithNullClose(const std::string& id) {
        Run(Database().DailyConnection,
            "INSERT INTO TBL日次 (銘柄ID,日付,始値,高値,安値,終値,出来高) VALUES (?,?,?,?,?,?,?)",
            {id, int64_t{20240304}, 1.0, 1.0, 1.0, FieldValue{}, 1.0});
    }
    void Split(const std::string& id, int32_t date, double factor) {
        Run(Database().DailyConnection,
            "INSERT INTO TBL分割係数 (銘柄ID,日付,分割係数) VALUES (?,?,?)",
            {id, int64_t{date}, factor});
    }
    static int32_t DateDigits(const char* date) { return PeriodStartNum(date); }

    std::unique_ptr<MarketFixture> market_;
};

std::vector<int> FlagsOf(const SeriesRecord& record) {
    std::vector<int> flags;
    for (int32_t i = 0; i < record.Count; ++i) flags.push_back(record.Points[i].SplitFlag);
    return flags;
}

const std::vector<Bar> kMarchDays = {
    {"2024/03/04", 100, 110, 90, 100, 10},   // Mon
    {"2024/03/05", 100, 120, 95, 110, 10},   // Tue
    {"2024/03/06", 110, 115, 100, 104, 10},  // Wed
    {"2024/03/07", 104, 108, 101, 106, 10},  // Thu
    {"2024/03/11", 106, 107, 99, 100, 10},   // Mon
};

// Every statement passes the check before it; counting there counts the statements.
struct StatementCounter {
    int Count = 0;
    StatementCheck Previous = Database().BeforeStatement;
    StatementCounter() {
        Database().BeforeStatement = [this] {
            ++Count;
            return !Previous || Previous();
        };
    }
    ~StatementCounter() { Database().BeforeStatement = Previous; }
    StatementCounter(const StatementCounter&) = delete;
    StatementCounter& operator=(const StatementCounter&) = delete;
};

}  // namespace series_loading_cases

using namespace series_loading_cases;

TEST_P(SeriesLoads, DailyBarsWithSplitsAndMarks) {
    Daily("9001011", kMarchDays);
    Split("9001011", 20240305, 0.5);   // a trading day
    Split("9001011", 20240309, 0.25);  // a Saturday
    ASSERT_TRUE(LoadChartSeries("9001011", kChartDaily, false));
    const SeriesRecord& daily = Series().DailySeries;
    EXPECT_EQ(ClosesOf(daily), (std::vector<double>{12.5, 13.75, 26, 26.5, 100}));
    EXPECT_EQ(FlagsOf(daily), (std::vector<int>{-1, -1, 1, -1, 1}));
    EXPECT_DOUBLE_EQ(daily.Points[2].SplitRatio, 0.5);
    EXPECT_DOUBLE_EQ(daily.Points[4].SplitRatio, 0.25);
    EXPECT_EQ(daily.Points.size(), 6u);  // one spare element after the points

    // The kagi rows keep the stored prices but carry the same marks.
    ASSERT_TRUE(LoadChartSeries("9001011", kChartKagi, false));
    EXPECT_EQ(ClosesOf(daily), (std::vector<double>{100, 110, 104, 106, 100}));
    EXPECT_EQ(FlagsOf(daily), (std::vector<int>{-1, -1, 1, -1, 1}));
}

TEST_P(SeriesLoads, LatestBarSummaryBeforeKindScaling) {
    Run(Database().DailyConnection, "DELETE FROM TBL日次 WHERE 銘柄ID = ?",
        {std::string("0301100")});
    Daily("0301100", {{"2024/03/04", 12000, 12400, 11900, 12345, 5},
                      {"2024/03/05", 12345, 12500, 12300, 12444, 6}});
    ASSERT_TRUE(LoadChartSeries("0301100", kChartDaily, false));
    EXPECT_EQ(ClosesOf(Series().DailySeries), (std::vector<double>{123.5, 124.4}));
    const LatestBarSummaryRec& summary = SeriesLoading().LatestBarSummary;
    EXPECT_EQ(summary.DateText, "2024/03/05");
    EXPECT_DOUBLE_EQ(summary.Close, 12444);
    EXPECT_EQ(summary.ChangeText, "99");

    ASSERT_TRUE(LoadChartSeries("9999011", kChartDaily, false));
    EXPECT_EQ(Series().DailySeries.Count, 0);
    EXPECT_EQ(SeriesLoading().LatestBarSummary.ChangeText, "－");
    EXPECT_EQ(SeriesLoading().LatestBarSummary.DateText, "");
}

TEST_P(SeriesLoads, WeeksFromDailyRowsAlone) {
    Daily("9001011", kMarchDays);
    ASSERT_TRUE(LoadChartSeries("9001011", kChartWeekly, false));
    const SeriesRecord& weekly = Series().WeeklySeries;
    ASSERT_EQ(weekly.Count, 2);
    ExpectBar(weekly.Points[0], {"2024/03/04～2024/03/07", 100, 120, 90, 106, 40});
    ExpectBar(weekly.Points[1], {"2024/03/11～2024/03/11", 106, 107, 99, 100, 10});
}

TEST_P(SeriesLoads, StoredWeeksFollowedByNewRows) {
    struct Case {
        const char* name;
        const char* lastStored;
        std::vector<Bar> newRows;
        Strings labels;
    } cases[] = {
        {"a new day continues the stored week",
         "2024/03/04～2024/03/06",
         {{"2024/03/07", 104, 130, 80, 106, 10}, {"2024/03/11", 106, 107, 99, 100, 10}},
         {"2024/02/26～2024/03/01", "2024/03/04～2024/03/07", "2024/03/11～2024/03/11"}},
        {"a Monday after a stored Saturday starts a week",
         "2024/03/04～2024/03/09",
         {{"2024/03/11", 106, 107, 99, 100, 10}},
         {"2024/02/26～2024/03/01", "2024/03/04～2024/03/09", "2024/03/11～2024/03/11"}},
        {"no new rows",
         "2024/03/04～2024/03/11",
         {},
         {"2024/02/26～2024/03/01", "2024/03/04～2024/03/11"}},
    };
    int issue = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string id = "90" + std::to_string(10 + issue++) + "011";
        Weekly(id, {{"2024/02/26～2024/03/01", 90, 100, 85, 95, 50},
                    {c.lastStored, 95, 120, 90, 104, 30}});
        std::vector<Bar> days = {{"2024/02/28", 1, 1, 1, 1, 1}};  // already in a stored week
        days.insert(days.end(), c.newRows.begin(), c.newRows.end());
        Daily(id, days);
        ASSERT_TRUE(LoadChartSeries(id, kChartWeekly, false));
        EXPECT_EQ(DatesOf(Series().WeeklySeries), c.labels);
    }
    // The merged week keeps the stored open and takes the new high, low, close and volume.
    Weekly("9020011", {{"2024/03/04～2024/03/06", 95, 120, 90, 104, 30}});
    Daily("9020011", {{"2024/03/07", 104, 130, 80, 106, 10}});
    ASSERT_TRUE(LoadChartSeries("9020011", kChartWeekly, false));
    ASSERT_EQ(Series().WeeklySeries.Count, 1);
    ExpectBar(Series().WeeklySeries.Points[0], {"2024/03/04～2024/03/07", 95, 130, 80, 106, 40});
}

TEST_P(SeriesLoads, StoredPeriodsTakeEverySplit) {
    // Stored rows lie before every split; the new daily rows only before the later ones.
    Weekly("9001011", {{"2024/02/26～2024/03/01", 100, 100, 100, 100, 50}});
    Daily("9001011", kMarchDays);
    Split("9001011", 20240229, 0.5);
    Split("9001011", 20240305, 0.5);
    ASSERT_TRUE(LoadChartSeries("9001011", kChartWeekly, false));
    const SeriesRecord& weekly = Series().WeeklySeries;
    EXPECT_EQ(ClosesOf(weekly), (std::vector<double>{25, 106, 100}));
    EXPECT_EQ(FlagsOf(weekly), (std::vector<int>{1, 1, -1}));  // marked by the period's end
}

TEST_P(SeriesLoads, MonthsAYearApartAreTwoBars) {
    Stored(Database().MonthlyConnection, "TBL月次", "9001011",
           {{"2023/02/01～2023/02/28", 10, 10, 10, 10, 1},
            {"2023/03/01～2023/03/31", 20, 20, 20, 20, 1}});
    Daily("9001011", {{"2024/03/01", 30, 30, 30, 30, 1}, {"2024/03/04", 31, 31, 31, 31, 1}});
    ASSERT_TRUE(LoadChartSeries("9001011", kChartMonthly, false));
    EXPECT_EQ(
        DatesOf(Series().MonthlySeries),
        (Strings{"2023/02/01～2023/02/28", "2023/03/01～2023/03/31", "2024/03/01～2024/03/04"}));
}

TEST_P(SeriesLoads, FewerPeriodsThanCountedAreCut) {
    Weekly("9001011", {{"2024/02/26～2024/03/01", 100, 100, 100, 100, 50}});
    RecordsetPtr rows;
    ASSERT_TRUE(LoadBars("9001011", kWeeklyTable, -1, rows));
    SeriesRecord record;
    record.Count = 3;  // two rows vanished between the count and the read
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "ﾃﾞｰﾀ更新時に不具合が発生しました。");
    ASSERT_TRUE(ReadPeriodSeries(record, rows.get(), 0));
    EXPECT_EQ(record.Count, 1);
    EXPECT_TRUE(sink.AllShown());
}

TEST_P(SeriesLoads, NullPriceFailsTheLoad) {
    DailyWithNullClose("9001011");
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);
    EXPECT_FALSE(LoadChartSeries("9001011", kChartDaily, false));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_FALSE(LoadChartSeries("9001011", 8, false));
}

TEST_P(SeriesLoads, ListingJoinedFromThreeMarkets) {
    Daily("9100013", {{"2020/01/06", 1, 1, 1, 1, 1},
                      {"2020/01/07", 2, 2, 2, 2, 1},
                      {"2021/05/10", 9, 9, 9, 9, 1}});
    Daily("9100021", {{"2019/01/07", 8, 8, 8, 8, 1}});
    Daily("9100012", {{"2021/05/10", 3, 3, 3, 3, 1},
                      {"2022/08/01", 4, 4, 4, 4, 1},
                      {"2023/01/05", 99, 99, 99, 99, 1}});
    Daily("9100011", {{"2023/01/05", 5, 5, 5, 5, 1}, {"2023/01/06", 6, 6, 6, 6, 2}});

    std::string market;
    ASSERT_TRUE(PickOlderMarket("9100", market));
    EXPECT_EQ(market, "013");
    ASSERT_TRUE(PickOlderMarket("9200", market));
    EXPECT_EQ(market, "040");

    ASSERT_TRUE(LoadChartSeries("9100011", kChartDaily, true));
    const SeriesRecord& daily = Series().DailySeries;
    EXPECT_EQ(ClosesOf(daily), (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(FlagsOf(daily), (std::vector<int>{-1, -1, 0, -1, 0, -1}));
    EXPECT_EQ(daily.Points.size(), 6u);
    EXPECT_EQ(SeriesLoading().LatestBarSummary.DateText, "2023/01/06");  // the issue's own
    EXPECT_EQ(SeriesLoading().ReadBeforeJoinDate, 0);

    // Weekly: the 013 rows before 2021/05/10 then the 012 rows, no stored weeks anywhere.
    ASSERT_TRUE(LoadChartSeries("9100011", kChartWeekly, true));
    EXPECT_EQ(DatesOf(Series().WeeklySeries),
              (Strings{"2020/01/06～2020/01/07", "2021/05/10～2021/05/10", "2022/08/01～2022/08/01",
                       "2023/01/05～2023/01/06"}));
    EXPECT_EQ(SeriesLoading().ReadBeforeJoinDate, 0);

    // The own-listing group loads the issue alone; an unknown market loads nothing.
    ASSERT_TRUE(LoadChartSeries("9100013", kChartDaily, true));
    EXPECT_EQ(Series().DailySeries.Count, 3);
    EXPECT_FALSE(LoadChartSeriesJoined("9100999", kChartDaily));
}

TEST_P(SeriesLoads, EachJoinedListingTakesItsOwnSplits) {
    Daily("9400013", {{"2020/01/06", 10, 10, 10, 10, 1}, {"2020/01/07", 10, 10, 10, 10, 1}});
    Daily("9400012", {{"2021/05/10", 20, 20, 20, 20, 1}, {"2021/05/11", 20, 20, 20, 20, 1}});
    Daily("9400011", {{"2023/01/05", 30, 30, 30, 30, 1}, {"2023/01/06", 30, 30, 30, 30, 1}});
    Split("9400013", 20200106, 0.5);
    Split("9400012", 20210510, 0.1);
    Split("9400011", 20230105, 0.5);
    Split("9400040", 20190101, 0.25);  // a listing the join does not take
    ASSERT_TRUE(LoadChartSeries("9400011", kChartDaily, true));
    const SeriesRecord& daily = Series().DailySeries;
    EXPECT_EQ(ClosesOf(daily), (std::vector<double>{5, 10, 2, 20, 15, 30}));
    // Only the issue's own split is marked; each listing's first bar starts its part.
    EXPECT_EQ(FlagsOf(daily), (std::vector<int>{-1, -1, 0, -1, 0, 1}));
}

TEST_P(SeriesLoads, WeeklyJoinMergesTheSharedWeek) {
    Daily("9300040", {{"2024/03/04", 10, 12, 9, 11, 100}, {"2024/03/05", 11, 13, 10, 12, 40}});
    Daily("9300012", {{"2024/03/06", 12, 20, 8, 18, 60}, {"2024/03/11", 18, 19, 17, 19, 50}});
    ASSERT_TRUE(LoadChartSeries("9300012", kChartWeekly, true));
    const SeriesRecord& weekly = Series().WeeklySeries;
    ASSERT_EQ(weekly.Count, 2);
    ExpectBar(weekly.Points[0], {"2024/03/04～2024/03/06", 10, 20, 8, 18, 200});
    EXPECT_EQ(weekly.Points[1].DateText, "2024/03/11～2024/03/11");

    // An older listing with stored weeks whose daily rows are kept too: its part of the
    // joined series is what its own weekly chart shows, each week once and in order.
    Weekly("9310040",
           {{"2024/03/04～2024/03/05", 1, 1, 1, 5, 2}, {"2024/03/11～2024/03/12", 1, 1, 1, 12, 2}});
    Daily("9310040", {{"2024/03/04", 1, 1, 1, 4, 1},
                      {"2024/03/05", 1, 1, 1, 5, 1},
                      {"2024/03/11", 1, 1, 1, 11, 1},
                      {"2024/03/12", 1, 1, 1, 12, 1},
                      {"2024/03/18", 1, 1, 1, 18, 1},
                      {"2024/03/19", 1, 1, 1, 19, 1}});
    Daily("9310012", {{"2024/03/25", 1, 1, 1, 25, 1}, {"2024/03/26", 1, 1, 1, 26, 1}});
    ASSERT_TRUE(LoadChartSeries("9310012", kChartWeekly, true));
    EXPECT_EQ(DatesOf(weekly), (Strings{"2024/03/04～2024/03/05", "2024/03/11～2024/03/12",
                                        "2024/03/18～2024/03/19", "2024/03/25～2024/03/26"}));
    EXPECT_EQ(ClosesOf(weekly), (std::vector<double>{5, 12, 19, 26}));
    EXPECT_EQ(FlagsOf(weekly), (std::vector<int>{-1, -1, -1, 0}));
}

TEST_P(SeriesLoads, MonthlyJoinOfThreeListingsWithStoredMonths) {
    // Each listing's stored months, its daily rows after them, and its part of the join up to
    // the day the next listing began.
    Monthly("9600013",
            {{"2020/01/06～2020/01/31", 1, 1, 1, 1, 1}, {"2020/02/03～2020/02/28", 2, 2, 2, 2, 1}});
    Daily("9600013", {{"2020/02/28", 2, 2, 2, 2, 1}, {"2020/03/02", 3, 3, 3, 3, 1}});
    Monthly("9600012", {{"2021/05/10～2021/05/31", 4, 4, 4, 4, 1}});
    Daily("9600012", {{"2021/05/31", 4, 4, 4, 4, 1}, {"2021/06/01", 5, 5, 5, 5, 1}});
    Monthly("9600011", {{"2023/01/05～2023/01/31", 6, 6, 6, 6, 1}});
    Daily("9600011", {{"2023/02/01", 7, 7, 7, 7, 1}});
    ASSERT_TRUE(LoadChartSeries("9600011", kChartMonthly, true));
    const SeriesRecord& monthly = Series().MonthlySeries;
    EXPECT_EQ(ClosesOf(monthly), (std::vector<double>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(DatesOf(monthly),
              (Strings{"2020/01/06～2020/01/31", "2020/02/03～2020/02/28", "2020/03/02～2020/03/02",
                       "2021/05/10～2021/05/31", "2021/06/01～2021/06/01", "2023/01/05～2023/01/31",
                       "2023/02/01～2023/02/01"}));

    // A listing without stored months after it: the next load of another issue reads its own.
    Daily("9700011", {{"2024/03/04", 8, 8, 8, 8, 1}});
    ASSERT_TRUE(LoadChartSeries("9700011", kChartMonthly, false));
    EXPECT_EQ(ClosesOf(monthly), (std::vector<double>{8}));
}

TEST_P(SeriesLoads, JoinDateIsDisarmedWhenAJoinedLoadFails) {
    // A joined daily load leaves nothing armed, so the next weekly load of another issue
    // reads that issue's new rows, not its rows before a stale join date.
    Daily("9400012", {{"2024/03/11", 1, 1, 1, 1, 1}});
    Daily("9500011", {{"2024/03/04", 5, 5, 5, 5, 1}, {"2024/03/12", 6, 6, 6, 6, 1}});
    ASSERT_TRUE(LoadChartSeries("9400012", kChartDaily, true));
    EXPECT_EQ(SeriesLoading().ReadBeforeJoinDate, 0);
    ASSERT_TRUE(LoadChartSeries("9500011", kChartWeekly, false));
    EXPECT_EQ(Series().WeeklySeries.Count, 2);

    // The older listing fails to load after the join date was armed.
    DailyWithNullClose("9400040");
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);
    EXPECT_FALSE(LoadChartSeries("9400012", kChartKagi, true));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(SeriesLoading().ReadBeforeJoinDate, 0);
}

TEST_P(SeriesLoads, AChartLoadReadsItsSplitRowsOnce) {
    Daily("9001011", kMarchDays);
    Split("9001011", 20240305, 0.5);
    StatementCounter counter;
    int& statements = counter.Count;
    // The daily rows, then the split rows for both the prices and the marks.
    ASSERT_TRUE(LoadChartSeries("9001011", kChartDaily, false));
    EXPECT_EQ(statements, 2);
    EXPECT_EQ(ClosesOf(Series().DailySeries), (std::vector<double>{50, 55, 104, 106, 100}));
    EXPECT_EQ(FlagsOf(Series().DailySeries), (std::vector<int>{-1, -1, 1, -1, -1}));
    // The stored weeks, the daily rows after them and the split rows.
    statements = 0;
    ASSERT_TRUE(LoadChartSeries("9001011", kChartWeekly, false));
    EXPECT_EQ(statements, 3);
    // A later load reads the table again: a split entered between two loads counts.
    Split("9001011", 20240307, 0.5);
    statements = 0;
    ASSERT_TRUE(LoadChartSeries("9001011", kChartKagi, false));
    EXPECT_EQ(statements, 2);
    EXPECT_EQ(FlagsOf(Series().DailySeries), (std::vector<int>{-1, -1, 1, -1, 1}));
}

TEST_P(SeriesLoads, AnIssuesAnalysisReadsItsDailyRowsOnce) {
    Daily("9001011", kMarchDays);
    Split("9001011", 20240305, 0.5);
    StatementCounter counter;
    int& statements = counter.Count;
    {
        const DailyRowsReadOnce readOnce;
        // The daily chart reads the daily and the split rows; the kagi chart and a second
        // daily chart take the same rows again, each with its own adjustment.
        ASSERT_TRUE(LoadChartSeries("9001011", kChartDaily, false));
        EXPECT_EQ(ClosesOf(Series().DailySeries), (std::vector<double>{50, 55, 104, 106, 100}));
        ASSERT_TRUE(LoadChartSeries("9001011", kChartKagi, false));
        EXPECT_EQ(ClosesOf(Series().DailySeries), (std::vector<double>{100, 110, 104, 106, 100}));
        Daily("9001011", {{"2024/03/12", 100, 101, 99, 101, 10}});
        Split("9001011", 20240307, 0.5);
        statements = 0;
        ASSERT_TRUE(LoadChartSeries("9001011", kChartDaily, false));
        EXPECT_EQ(statements, 0);
        EXPECT_EQ(ClosesOf(Series().DailySeries), (std::vector<double>{50, 55, 104, 106, 100}));
        // The stored weeks are read at each load, the daily rows after them once.
        ASSERT_TRUE(LoadChartSeries("9001011", kChartWeekly, false));
        ASSERT_TRUE(LoadChartSeries("9001011", kChartWeekly, false));
        EXPECT_EQ(statements, 3);
    }
    // Once the analysis is over, a load reads the rows and splits written meanwhile.
    ASSERT_TRUE(LoadChartSeries("9001011", kChartDaily, false));
    EXPECT_EQ(ClosesOf(Series().DailySeries), (std::vector<double>{25, 27.5, 52, 53, 100, 101}));
}
