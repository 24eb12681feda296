// ctest-labels: series
// Weekly and monthly bars built from daily points, period labels, same-period tests and
// the latest-bar summary.
#include <gtest/gtest.h>

#include "analysis/dates.h"
#include "analysis/series_loading.h"
#include "analysis/series_points.h"
#include "support/scripted_sink.h"

using Strings = std::vector<std::string>;

TEST(Dates, DateToNumAndFindBarByDate) {
    EXPECT_EQ(DateToNum("2024/01/05"), 20240105);
    EXPECT_EQ(DateToNum("0000/00/00"), 0);
    EXPECT_EQ(DateToNum("2024/01/01～2024/01/05"), 20240101);  // a label's start
    EXPECT_THROW(DateToNum("2024/0a/05"), std::invalid_argument);
    EXPECT_THROW(DateToNum(""), std::invalid_argument);

    const SeriesRecord record = MakeRecord({{"2024/01/04", 1, 1, 1, 1, 1},
                                            {"2024/01/05", 1, 1, 1, 1, 1},
                                            {"2024/01/09", 1, 1, 1, 1, 1}});
    const std::pair<int32_t, int32_t> cases[] = {
        {20240103, -1}, {20240104, 0}, {20240106, 1}, {20240109, 2}, {20991231, 2}};
    for (auto [date, index] : cases) EXPECT_EQ(FindBarByDate(record, date), index) << date;
    EXPECT_EQ(FindBarByDate(SeriesRecord{}, 20240104), -1);
}

TEST(Periods, SameWeekAndSameMonth) {
    struct Case {
        int32_t a, b;
        bool week, month;
    } cases[] = {
        {20240103, 20240106, true, true},    // Wednesday to Saturday
        {20240106, 20240108, false, true},   // Saturday to the next Monday
        {20240107, 20240113, true, true},    // a whole Sunday-to-Saturday week
        {20231229, 20240102, false, false},  // Friday to the Tuesday after New Year
        {20231231, 20240102, true, false},   // Sunday: the week runs across the year end
        {20230115, 20240115, false, false},  // the same month a year apart
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSameWeekDates(c.a, c.b), c.week) << c.a << " " << c.b;
        EXPECT_EQ(IsSameMonthDates(c.a, c.b), c.month) << c.a << " " << c.b;
    }
    EXPECT_TRUE(IsSameWeek(20240103, 20240106, 1));
    EXPECT_TRUE(IsSameMonth(20230115, 20240115, 2));
    EXPECT_EQ(SeriesLoading().SamePeriodFlag[1], -1);
    EXPECT_EQ(SeriesLoading().SamePeriodFlag[2], 0);
    EXPECT_TRUE(IsSameWeek(20240106, 20240108, 3));  // another slot stores nothing
    EXPECT_EQ(SeriesLoading().SamePeriodFlag[1], -1);

    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);
    EXPECT_FALSE(IsSameWeek(0, 20240108, 1));
}

TEST(Periods, LabelsAndTheirParts) {
    EXPECT_EQ(PeriodLabel(20240101, 20240105), "2024/01/01～2024/01/05");
    EXPECT_EQ(PeriodStartText("2024/01/01～2024/01/05"), "2024/01/01");
    EXPECT_EQ(PeriodEndText("2024/01/01～2024/01/05"), "2024/01/05");
    EXPECT_EQ(PeriodStartText("2024/01/05"), "2024/01/05");
    EXPECT_EQ(PeriodEndText("2024/01/05"), "2024/01/05");
    EXPECT_EQ(PeriodEndNum("2024/01/01～2024/01/05"), 20240105);
}

TEST(Periods, WeeksAcrossYearEndAndHoliday) {
    SeriesRecord w = MakeRecord({
        {"2023/12/27", 100, 110, 95, 105, 10},   // Wed
        {"2023/12/28", 105, 120, 100, 118, 20},  // Thu
        {"2023/12/29", 118, 119, 90, 92, 5},     // Fri
        {"2024/01/04", 92, 93, 91, 93, 7},       // Thu after the New Year holidays
        {"2024/01/05", 93, 99, 88, 97, 3},       // Fri
        {"2024/01/09", 97, 98, 96, 96, 4},       // Tue after a Monday holiday
    });
    const int32_t n = AggregatePeriodPoints(kChartWeekly, w.Points, w.Count);
    ASSERT_EQ(n, 3);
    w.Count = n;
    EXPECT_EQ(DatesOf(w), (Strings{"2023/12/27～2023/12/29", "2024/01/04～2024/01/05",
                                   "2024/01/09～2024/01/09"}));
    ExpectBar(w.Points[0], {"2023/12/27～2023/12/29", 100, 120, 90, 92, 35});
    ExpectBar(w.Points[1], {"2024/01/04～2024/01/05", 92, 99, 88, 97, 10});
    EXPECT_EQ(AggregatePeriodPoints(5, w.Points, 1), -1);
}

TEST(Periods, MonthAYearApartIsTwoBars) {
    SeriesRecord w = MakeRecord({{"2022/03/31", 10, 10, 10, 10, 1},
                                 {"2023/03/01", 20, 20, 20, 20, 1},
                                 {"2023/03/02", 30, 30, 30, 30, 1}});
    w.Count = AggregatePeriodPoints(kChartMonthly, w.Points, w.Count);
    EXPECT_EQ(DatesOf(w), (Strings{"2022/03/31～2022/03/31", "2023/03/01～2023/03/02"}));
    EXPECT_EQ(ClosesOf(w), (std::vector<double>{10, 30}));
}

TEST(Periods, ZeroVolumeDays) {
    // A week whose first day has no volume starts blank and opens on its first traded day;
    // a week without any volume stays all zero but keeps its dates.
    SeriesRecord w = MakeRecord({
        {"2024/01/08", 50, 60, 40, 55, 0},
        {"2024/01/09", 70, 75, 65, 72, 5},
        {"2024/01/10", 72, 90, 60, 80, 6},
        {"2024/01/11", 80, 85, 30, 31, 0},  // not merged: its low of 30 is ignored
        {"2024/01/15", 99, 99, 99, 99, 0},
        {"2024/01/16", 98, 98, 98, 98, 0},
    });
    w.Count = AggregatePeriodPoints(kChartWeekly, w.Points, w.Count);
    ASSERT_EQ(w.Count, 2);
    ExpectBar(w.Points[0], {"2024/01/08～2024/01/11", 70, 90, 60, 80, 11});
    ExpectBar(w.Points[1], {"2024/01/15～2024/01/16", 0, 0, 0, 0, 0});
}

TEST(Periods, FinishMergesFirstNewWeekIntoStoredWeek) {
    SeriesRecord record = MakeRecord({{"2024/01/01～2024/01/05", 10, 12, 9, 11, 100},
                                      {"2024/01/08～2024/01/10", 11, 15, 10, 14, 50}});
    record.Points.resize(4);  // stored 2 + new 2 - 1 merged, and the spare element
    record.Count = 3;
    const SeriesRecord work = MakeRecord({{"2024/01/11～2024/01/12", 14, 20, 8, 19, 30},
                                          {"2024/01/15～2024/01/16", 19, 19, 17, 18, 10}});
    const int32_t idx = FinishPeriodPoints(true, 2, record, work.Points, work.Count);
    EXPECT_EQ(idx, 3);
    EXPECT_EQ(DatesOf(record), (Strings{"2024/01/01～2024/01/05", "2024/01/08～2024/01/12",
                                        "2024/01/15～2024/01/16"}));
    ExpectBar(record.Points[1], {"2024/01/08～2024/01/12", 11, 20, 8, 19, 80});
}

TEST(Periods, LatestBarSummary) {
    const LatestBarSummaryRec none = MakeLatestBarSummary(SeriesRecord{});
    EXPECT_EQ(none.ChangeText, "－");
    EXPECT_EQ(none.DateText, "");
    EXPECT_EQ(none.Close, 0);

    const SeriesRecord two = MakeRecord(
        {{"2024/01/04", 1, 1, 1, 1200, 10}, {"2024/01/05", 1190, 1250, 1180, 1187.5, 20}});
    const LatestBarSummaryRec summary = MakeLatestBarSummary(two);
    SeriesPoint asPoint = MakePoint({summary.DateText.c_str(), summary.Open, summary.High,
                                     summary.Low, summary.Close, summary.Volume});
    ExpectBar(asPoint, {"2024/01/05", 1190, 1250, 1180, 1187.5, 20});
    EXPECT_EQ(summary.ChangeText, "-12.5");

    SeriesRecord halted = two;
    halted.Points[0].Volume = 0;
    EXPECT_EQ(MakeLatestBarSummary(halted).ChangeText, "－");
    EXPECT_EQ(MakeLatestBarSummary(MakeRecord({{"2024/01/05", 1, 1, 1, 5, 1}})).ChangeText, "－");
}

TEST(SeriesRecords, SwapAndCopyTextData) {
    SeriesRecord mine = MakeRecord({{"2024/01/05", 1, 1, 1, 5, 1}});
    mine.MaPeriods = {13, 26, 0};
    ASSERT_TRUE(SwapPeriodSeries(kChartWeekly, true, mine));
    EXPECT_EQ(Series().WeeklySeries.Count, 1);
    EXPECT_EQ(Series().WeeklySeries.MaPeriods[0], 0);  // other fields untouched

    SeriesRecord copy;
    ASSERT_TRUE(SwapPeriodSeries(kChartKagi, false, copy));  // kagi addresses the daily record
    EXPECT_EQ(copy.Count, 0);
    EXPECT_FALSE(SwapPeriodSeries(8, true, mine));

    Series().TextDataSeries = {MakePoint({"2024/02/01", 1, 2, 1, 2, 3}),
                               MakePoint({"2024/02/02", 2, 3, 2, 3, 4})};
    Series().TextDataCount = 2;
    std::string id = "x";
    SeriesRecord record;
    ASSERT_TRUE(CopyTextDataSeries(id, record));
    EXPECT_EQ(id, "");
    EXPECT_EQ(record.Count, 2);
    EXPECT_EQ(record.Points.size(), 3u);
    EXPECT_EQ(record.Points[1].DateText, "2024/02/02");
}
