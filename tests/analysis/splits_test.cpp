// ctest-labels: series
// Split adjustment and marks, kind scaling and joined listings.
#include "analysis/splits.h"

#include <gtest/gtest.h>

#include "analysis/chart_loading.h"
#include "analysis/series_loading.h"
#include "analysis/series_points.h"
#include "foundation/state.h"

namespace {

SeriesRecord FiveDays() {
    return MakeRecord({{"2024/03/04", 100, 100, 100, 100, 1},
                       {"2024/03/05", 100, 100, 100, 100, 1},
                       {"2024/03/06", 100, 100, 100, 100, 1},
                       {"2024/03/08", 100, 100, 100, 100, 1},
                       {"2024/03/11", 100, 100, 100, 100, 1}});
}

std::vector<int> FlagsOf(const SeriesRecord& record) {
    std::vector<int> flags;
    for (int32_t i = 0; i < record.Count; ++i) flags.push_back(record.Points[i].SplitFlag);
    return flags;
}

}  // namespace

TEST(Splits, AdjustAndMark) {
    struct Case {
        const char* name;
        std::vector<SplitRow> splits;
        double product;
        std::vector<double> closes;
        std::vector<int> flags;
        std::vector<double> ratios;  // SplitRatio of the marked points, in order
    } cases[] = {
        {"none", {}, 0, {100, 100, 100, 100, 100}, {-1, -1, -1, -1, -1}, {}},
        {"on a trading day",
         {{20240305, 0.5}},
         0.5,
         {50, 50, 100, 100, 100},
         {-1, -1, 1, -1, -1},
         {0.5}},
        {"on a holiday",
         {{20240307, 0.5}},
         0.5,
         {50, 50, 50, 100, 100},
         {-1, -1, -1, 1, -1},
         {0.5}},
        {"two splits",
         {{20240304, 0.5}, {20240306, 0.1}},
         0.05,
         {5, 10, 10, 100, 100},
         {-1, 1, -1, 1, -1},
         {0.5, 0.1}},
        {"two splits before one point",
         {{20240309, 0.5}, {20240310, 0.25}},
         0.125,
         {12.5, 12.5, 12.5, 12.5, 100},
         {-1, -1, -1, -1, 1},
         {0.5}},
        {"before the first point",
         {{20240101, 0.5}},
         0.5,
         {100, 100, 100, 100, 100},
         {1, -1, -1, -1, -1},
         {0.5}},
        {"on the last point",
         {{20240311, 0.5}},
         0.5,
         {50, 50, 50, 50, 50},
         {-1, -1, -1, -1, -1},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeriesRecord record = FiveDays();
        EXPECT_DOUBLE_EQ(AdjustPointsForSplits(record.Points, record.Count, c.splits), c.product);
        EXPECT_EQ(ClosesOf(record), c.closes);
        EXPECT_DOUBLE_EQ(record.Points[0].Volume, 1);
        MarkSplitPoints(record.Points, record.Count, c.splits);
        EXPECT_EQ(FlagsOf(record), c.flags);
        std::vector<double> ratios;
        for (int32_t i = 0; i < record.Count; ++i)
            if (record.Points[i].SplitFlag == kSplitHere)
                ratios.push_back(record.Points[i].SplitRatio);
        EXPECT_EQ(ratios, c.ratios);
    }
}

TEST(Splits, WeeklyPointsAreMarkedByTheirEndDay) {
    SeriesRecord weeks = MakeRecord({{"2024/03/04～2024/03/08", 1, 1, 1, 1, 1},
                                     {"2024/03/11～2024/03/15", 1, 1, 1, 1, 1},
                                     {"2024/03/18～2024/03/22", 1, 1, 1, 1, 1}});
    MarkSplitPoints(weeks.Points, weeks.Count, {{20240312, 0.5}});
    EXPECT_EQ(FlagsOf(weeks), (std::vector<int>{-1, 1, -1}));
    MultiplyBarPrices(0, weeks);
    EXPECT_EQ(ClosesOf(weeks), (std::vector<double>{1, 1, 1}));
    MultiplyBarPrices(2, weeks);
    EXPECT_EQ(ClosesOf(weeks), (std::vector<double>{2, 2, 2}));
}

TEST(Splits, KindScaling) {
    struct Case {
        const char* id;
        double stored, shown;
    } cases[] = {
        {"0301100", 12345, 123.5},  // kind 7: hundredths, one decimal, halves up
        {"0301100", 12344, 123.4}, {"0315100", 12345, 1234.5},  // kind 3: a tenth
        {"7203011", 12345, 12345},                              // every other kind unchanged
        {"0101100", 12345, 12345},
    };
    for (const Case& c : cases) {
        SeriesRecord record =
            MakeRecord({{"2024/03/04", c.stored, c.stored, c.stored, c.stored, 777}});
        ASSERT_TRUE(ScaleBarsForIssueKind(1, c.id, record));
        ExpectBar(record.Points[0], {"2024/03/04", c.shown, c.shown, c.shown, c.shown, 777});
    }
}

TEST(Joins, OlderMarketAndLeadingPoints) {
    EXPECT_EQ(ChooseOlderMarket(0, 0, 0), "040");
    EXPECT_EQ(ChooseOlderMarket(20200101, 20200101, 0), "040");
    EXPECT_EQ(ChooseOlderMarket(20190101, 20200101, 0), "013");
    EXPECT_EQ(ChooseOlderMarket(20190101, 20200101, 20200101), "021");
    EXPECT_EQ(ChooseOlderMarket(0, 0, 20200101), "021");

    const SeriesRecord weeks = MakeRecord({{"2024/03/04～2024/03/08", 1, 1, 1, 1, 1},
                                           {"2024/03/11～2024/03/13", 1, 1, 1, 1, 1},
                                           {"2024/03/18～2024/03/22", 1, 1, 1, 1, 1}});
    EXPECT_EQ(CountPointsBefore(weeks, 20240311), 1);
    EXPECT_EQ(CountPointsBefore(weeks, 20240312), 2);
    EXPECT_EQ(CountPointsBefore(weeks, 20240101), 0);
}

TEST(Joins, DailyListingsFollowEachOther) {
    const SeriesRecord older =
        MakeRecord({{"2024/03/04", 1, 1, 1, 10, 1}, {"2024/03/05", 1, 1, 1, 11, 1}});
    const SeriesRecord newer =
        MakeRecord({{"2024/03/06", 1, 1, 1, 12, 1}, {"2024/03/07", 1, 1, 1, 13, 1}});
    SeriesRecord result;
    bool same = true;
    ASSERT_TRUE(JoinSeriesPoints(kChartDaily, newer, older, 20240306, result, same));
    EXPECT_EQ(ClosesOf(result), (std::vector<double>{10, 11, 12, 13}));
    EXPECT_EQ(FlagsOf(result), (std::vector<int>{-1, -1, 0, -1}));
    EXPECT_EQ(result.Points.size(), 4u);

    ASSERT_TRUE(JoinSeriesPoints(kChartKagi, SeriesRecord{}, older, 0, result, same));
    EXPECT_EQ(ClosesOf(result), (std::vector<double>{10, 11}));
    ASSERT_TRUE(JoinSeriesPoints(kChartKagi, newer, SeriesRecord{}, 0, result, same));
    EXPECT_EQ(ClosesOf(result), (std::vector<double>{12, 13}));
    EXPECT_EQ(FlagsOf(result), (std::vector<int>{-1, -1}));
    EXPECT_FALSE(JoinSeriesPoints(8, newer, older, 0, result, same));
}

TEST(Joins, WeeklyListingsShareAWeek) {
    const SeriesRecord older = MakeRecord({{"2024/02/26～2024/03/01", 10, 12, 9, 11, 100},
                                           {"2024/03/04～2024/03/05", 11, 13, 10, 12, 40}});
    const SeriesRecord newer = MakeRecord({{"2024/03/06～2024/03/08", 12, 20, 8, 18, 60},
                                           {"2024/03/11～2024/03/15", 18, 19, 17, 19, 50}});
    SeriesRecord result;
    bool same = false;
    ASSERT_TRUE(JoinSeriesPoints(kChartWeekly, newer, older, 20240306, result, same));
    EXPECT_TRUE(same);
    ASSERT_EQ(result.Count, 3);
    ExpectBar(result.Points[1], {"2024/03/04～2024/03/08", 11, 20, 8, 18, 100});
    EXPECT_EQ(result.Points[1].SplitFlag, kJoinedListingStart);
    EXPECT_EQ(result.Points[2].DateText, "2024/03/11～2024/03/15");

    // The next week: no merge, the first newer week carries the join mark.
    ASSERT_TRUE(JoinSeriesPoints(kChartWeekly, newer, older, 20240311, result, same));
    EXPECT_FALSE(same);
    EXPECT_EQ(result.Count, 4);
    EXPECT_EQ(FlagsOf(result), (std::vector<int>{-1, -1, 0, -1}));
}

TEST(Joins, ThreeListingsInTurn) {
    // 013 rows before the 012 listing began, then 012 rows before the 011 listing began.
    const SeriesRecord listing013 = MakeRecord({{"2020/01/06", 1, 1, 1, 1, 1},
                                                {"2020/01/07", 1, 1, 1, 2, 1},
                                                {"2021/05/10", 1, 1, 1, 9, 1}});
    const SeriesRecord listing012 = MakeRecord({{"2021/05/10", 1, 1, 1, 3, 1},
                                                {"2022/08/01", 1, 1, 1, 4, 1},
                                                {"2023/01/05", 1, 1, 1, 99, 1}});
    const SeriesRecord listing011 = MakeRecord({{"2023/01/05", 1, 1, 1, 5, 1}});
    SeriesRecord older = listing012;
    older.Count = CountPointsBefore(older, 20230105);
    SeriesRecord newer;
    bool same = false;
    ASSERT_TRUE(JoinSeriesPoints(kChartDaily, listing011, older, 20230105, newer, same));
    older = listing013;
    older.Count = CountPointsBefore(older, 20210510);
    SeriesRecord result;
    ASSERT_TRUE(JoinSeriesPoints(kChartDaily, newer, older, 20210510, result, same));
    EXPECT_EQ(ClosesOf(result), (std::vector<double>{1, 2, 3, 4, 5}));
    EXPECT_EQ(FlagsOf(result), (std::vector<int>{-1, -1, 0, -1, 0}));
}
