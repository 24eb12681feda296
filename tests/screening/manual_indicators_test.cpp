// ctest-labels: manualanalysis
#include "screening/manual_indicators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/moving_averages.h"
#include "analysis/series_points.h"
#include "foundation/issue_edit_queue.h"

namespace {

// Bars on the given dates: high, low and close as given, volume 1000.
struct DayBar {
    const char* date;
    double high, low, close;
    double volume = 1000;
};

SeriesRecord Days(const std::vector<DayBar>& days) {
    std::vector<Bar> bars;
    for (const DayBar& d : days)
        bars.push_back({d.date, d.close, d.high, d.low, d.close, d.volume});
    return MakeRecord(bars);
}

// count bars on consecutive days from 2024/01/01 with the given closes (high and low equal).
SeriesRecord Closes(const std::vector<double>& closes) {
    SeriesRecord record;
    for (size_t i = 0; i < closes.size(); ++i) {
        SeriesPoint point;
        point.DateText = DateLabel::Day(20240101 + static_cast<int32_t>(i));
        point.Open = point.High = point.Low = point.Close = closes[i];
        point.Volume = 1000;
        record.Points.push_back(point);
    }
    record.Count = static_cast<int32_t>(closes.size());
    return record;
}

TEST(StepDateBack, MonthsClampAtTheMonthsEndDaysCrossMonths) {
    const struct {
        int32_t date, count;
        char unit;
        int32_t back;
    } cases[] = {
        {20240831, 6, 'm', 20240229}, {20230831, 6, 'm', 20230228},
        {20240131, 1, 'm', 20231231}, {20240615, 120, 'm', 20140615},
        {20240615, 0, 'm', 20240615}, {20240301, 1, 'd', 20240229},
        {20240615, 0, 'd', 20240615}, {20250101, 366, 'd', 20240101},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StepDateBack(c.date, c.count, c.unit), c.back)
            << c.date << " " << c.count << c.unit;
    EXPECT_THROW(StepDateBack(20240230, 1, 'm'), std::invalid_argument);
    EXPECT_THROW(StepDateBack(20240615, 1, 'y'), std::invalid_argument);
}

TEST(FindPeriodHighLow, TheWindowEndIsLeftOutAndOnlyTradingDaysCount) {
    const SeriesRecord series = Days({
        {"2024/01/01", 120, 90, 100},
        {"2024/01/02", 130, 95, 100},
        {"2024/01/03", 500, 1, 100, 0},  // no volume: not a trading day
        {"2024/01/04", 125, 0, 100},     // a low of 0 is no low
        {"2024/01/05", 999, 2, 100},     // the last bar, never inside
    });
    const double none = std::nextafter(std::ldexp(1.0, 64), INFINITY);
    const struct {
        const char* name;
        int32_t from, to;
        bool found;
        double high, low;
    } cases[] = {
        {"one bar", 0, 1, true, 120, 90},
        {"the end bar left out", 0, 2, true, 130, 90},
        {"a day without volume skipped", 2, 3, true, 0, none},
        {"a zero low kept out", 3, 4, true, 125, none},
        {"a negative start from the first", -5, 2, true, 130, 90},
        {"an end past the series stops before the last bar", 0, 99, true, 130, 90},
        {"an empty window", 1, 1, true, 0, none},
        {"a start at the count", 5, 9, false, 0, none},
    };
    for (const auto& c : cases) {
        double high = -1, low = -1;
        EXPECT_EQ(FindPeriodHighLow(series, c.from, c.to, high, low), c.found) << c.name;
        EXPECT_EQ(high, c.high) << c.name;
        EXPECT_EQ(low, c.low) << c.name;
    }
}

TEST(CheckNearHighLow, TheHalfYearWindowAndTheTolerance) {
    // The last bar on 2024/08/31: six months back is 2024/02/29, so the window starts there
    // and not at 2024/03/01; the bar before it and the last bar itself stay out.
    auto series = [](double close, double windowStartHigh, double lastVolume = 1000) {
        return Days({
            {"2024/02/28", 900, 1, 100},
            {"2024/02/29", windowStartHigh, 100, 105},
            {"2024/03/01", 108, 101, 105},
            {"2024/06/03", 106, 102, 104},
            {"2024/08/31", 1000, 1, close, lastVolume},
        });
    };
    const struct {
        const char* name;
        SeriesRecord series;
        bool nearHigh, nearLow;
    } cases[] = {
        {"close exactly at the tolerance under the high", series(109, 110), true, false},
        {"just past it", series(108.99, 110), false, false},
        {"close exactly at the tolerance over the low", series(101, 110), false, true},
        {"a little above the high", series(110.5, 110), true, false},
        {"far above it", series(150, 110), false, false},
        {"a little below the low", series(99.5, 110), false, true},
        {"the window's first bar counts", series(108, 120), false, false},
        {"a range of 0",
         Days({{"2024/03/01", 100, 100, 100},
               {"2024/03/04", 100, 100, 100},
               {"2024/03/05", 1000, 1, 100}}),
         false, false},
        {"no trading day in the window",
         Days({{"2024/03/01", 110, 90, 100, 0}, {"2024/03/05", 120, 80, 100}}), false, false},
        {"a single bar", Days({{"2024/03/05", 120, 80, 100}}), false, false},
    };
    for (const auto& c : cases) {
        const NearHighLow near = CheckNearHighLow(c.series, 6, 'm', 0, 'd', 0.1);
        EXPECT_EQ(near.NearHigh, c.nearHigh) << c.name;
        EXPECT_EQ(near.NearLow, c.nearLow) << c.name;
    }
}

TEST(CheckNearHighLow, TheMonthlyWindowEndsBeforeTheBarFiveYearsBack) {
    // Monthly bars: ten years back to five years back, the bar five years back left out.
    const SeriesRecord series = Days({
        {"2014/06/01", 200, 100, 150},
        {"2017/01/01", 190, 110, 150},
        {"2019/06/01", 900, 1, 150},  // five years back: the window's end, left out
        {"2024/06/01", 5000, 1, 195},
    });
    const NearHighLow near = CheckNearHighLow(series, 120, 'm', 60, 'm', 0.1);
    EXPECT_TRUE(near.NearHigh);
    EXPECT_FALSE(near.NearLow);
}

TEST(VolumeSurge, FiveTimesTheMeanOfTheFiveDaysBefore) {
    auto volumes = [](std::vector<double> v) {
        std::vector<DayBar> days;
        for (size_t i = 0; i < v.size(); ++i) days.push_back({"2024/01/01", 10, 10, 10, v[i]});
        return Days(days);
    };
    EXPECT_DOUBLE_EQ(AverageVolume(volumes({1, 2, 3, 4, 5, 6}), 1, 5), 3);
    EXPECT_DOUBLE_EQ(AverageVolume(volumes({1, 2, 3, 4, 5, 6}), 0, 6), 3.5);
    EXPECT_EQ(AverageVolume(volumes({1, 2, 3, 4, 5}), 1, 5), -1);
    const struct {
        const char* name;
        std::vector<double> volumes;
        bool surge;
    } cases[] = {
        {"five bars are too few", {10, 10, 10, 10, 1000}, false},
        {"exactly five times", {100, 100, 100, 100, 100, 500}, true},
        {"just under", {100, 100, 100, 100, 100, 499.99}, false},
        {"a mean taken over zero days too", {0, 0, 0, 0, 500, 500}, true},
        {"no volume before", {0, 0, 0, 0, 0, 500}, false},
        {"no volume on the last day", {100, 100, 100, 100, 100, 0}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckVolumeSurge(volumes(c.volumes)), c.surge) << c.name;
}

TEST(CheckMaCross, ACrossOfTwoAveragesThatBothExist) {
    const double missing = -1;
    const struct {
        const char* name;
        double b1, b2, a1, a2;
        int16_t golden, dead;
    } cases[] = {
        {"golden", 90, 100, 101, 100, -1, 0},
        {"golden touching", 90, 100, 100, 100, -1, 0},
        {"dead", 110, 100, 99, 100, 0, -1},
        {"dead touching", 110, 100, 100, 100, 0, -1},
        {"no change of sides", 90, 100, 95, 100, 0, 0},
        {"equal before", 100, 100, 90, 100, 0, 0},
        {"long average missing before", 110, missing, 99, 100, 0, 0},
        {"short average missing before", missing, 100, 101, 100, 0, 0},
        {"long average missing now", 110, 100, 99, missing, 0, 0},
    };
    for (const auto& c : cases) {
        SeriesRecord series = Closes({100, 100});
        series.Points[0].Ma1 = c.b1;
        series.Points[0].Ma2 = c.b2;
        series.Points[1].Ma1 = c.a1;
        series.Points[1].Ma2 = c.a2;
        ATecRecord record{"X", 5, 5};
        CheckMaCross(series, record);
        EXPECT_EQ(record.MAxG, c.golden) << c.name;
        EXPECT_EQ(record.MAxD, c.dead) << c.name;
    }
    ATecRecord record{"X", 5, 5};
    CheckMaCross(Closes({100}), record);
    EXPECT_EQ(record.MAxG, 0);
    EXPECT_EQ(record.MAxD, 0);
}

TEST(CheckMaCross, TwentyFiveBarsShowNoCrossTwentySixCan) {
    // Falling closes: the 5-day average lies under the 25-day one, and at bar 24 the 25-day
    // average does not exist yet.
    std::vector<double> falling;
    for (int i = 0; i < 25; ++i) falling.push_back(200 - i);
    // 21 days at 100, four at 90, then 200: the 5-day average crosses the 25-day one.
    std::vector<double> rising(21, 100);
    rising.insert(rising.end(), {90, 90, 90, 90, 200});
    std::vector<double> dropping(21, 100);
    dropping.insert(dropping.end(), {110, 110, 110, 110, 10});
    const struct {
        const char* name;
        std::vector<double> closes;
        int16_t golden, dead;
    } cases[] = {{"25 falling bars", falling, 0, 0},
                 {"26 bars, golden", rising, -1, 0},
                 {"26 bars, dead", dropping, 0, -1}};
    for (const auto& c : cases) {
        SeriesRecord series = Closes(c.closes);
        series.MaPeriods = {5, 25, 0};
        ASSERT_TRUE(CalcMovingAverages(series));
        ATecRecord record;
        CheckMaCross(series, record);
        EXPECT_EQ(record.MAxG, c.golden) << c.name;
        EXPECT_EQ(record.MAxD, c.dead) << c.name;
    }
}

TEST(CalcRiseFallRates, SinceTheStartDateClampedAndRoundedHalfToEven) {
    const struct {
        const char* name;
        std::vector<DayBar> days;
        int32_t start;
        int32_t rise, fall;
    } cases[] = {
        {"the close at the lowest low",
         {{"2024/01/04", 120, 100, 110}, {"2024/01/05", 110, 100, 100}},
         20240101,
         0,
         17},
        {"eleven times the low",
         {{"2024/01/04", 100, 100, 100}, {"2024/01/05", 1100, 1100, 1100}},
         20240101,
         999,
         0},
        {"2.5 goes down to 2, 4.5 to 4",
         {{"2024/01/04", 107, 100, 100}, {"2024/01/05", 102.5, 102.5, 102.5}},
         20240101,
         2,
         4},
        {"bars before the start stay out",
         {{"2024/01/04", 500, 1, 100},
          {"2024/01/05", 200, 100, 150},
          {"2024/01/08", 150, 150, 150}},
         20240106,
         50,
         25},
        {"the start on a bar takes that bar",
         {{"2024/01/04", 500, 1, 100},
          {"2024/01/05", 200, 100, 150},
          {"2024/01/08", 150, 150, 150}},
         20240105,
         50,
         25},
        {"a start before every bar takes them all",
         {{"2024/01/04", 300, 75, 100}, {"2024/01/05", 150, 150, 150}},
         20230101,
         100,
         50},
        {"a day without volume stays out",
         {{"2024/01/04", 300, 75, 100, 0}, {"2024/01/05", 150, 150, 150}},
         20230101,
         0,
         0},
        {"no rate when the last day did not trade",
         {{"2024/01/04", 300, 75, 100}, {"2024/01/05", 150, 150, 150, 0}},
         20230101,
         0,
         0},
    };
    for (const auto& c : cases) {
        const RiseFallRates rates = CalcRiseFallRates(Days(c.days), c.start);
        EXPECT_EQ(rates.Rise, c.rise) << c.name;
        EXPECT_EQ(rates.Fall, c.fall) << c.name;
    }
    EXPECT_EQ(CalcRiseFallRates(SeriesRecord{}, 20240101).Rise, 0);
}

TEST(AnalysisRowEdits, NineteenEntriesThatRenderOneUpdate) {
    AnalysisResultRec result;
    result.LastRuleText = "ろさ買①";
    result.LastRuleDate = "2024/05/01";
    result.LastSignalRule = "ろあ売②";
    result.LastSignalDate = "2024/06/03";
    result.LastSignalSide = "売";
    result.LatestDate = "2024/06/14";
    result.LatestVolume = 123400;
    result.LatestClose = 1520;
    result.RiseRate = 12;
    result.FallRate = 999;
    result.ChangeText = "-15";
    result.ForwardObservation = {"ろさ買②", "順", "2024/06/15", 1580};
    result.ReverseObservation = {"ろあ売①", "逆", "2024/06/15", 1490.5};
    const std::vector<IssueEdit> edits = AnalysisRowEdits(result);
    const std::vector<std::tuple<int, int, std::string>> expected = {
        {15, 0, "ろさ買①"}, {14, 0, "2024/05/01"}, {18, 0, "ろあ売②"},    {16, 10, "2024/06/03"},
        {17, 9, "売"},      {7, 0, "2024/06/14"},  {10, 0, "123400"},     {9, 6, "1520"},
        {11, 11, "12"},     {12, 12, "999"},       {8, 7, "-15"},         {28, 0, "ろさ買②"},
        {29, 0, "順"},      {27, 0, "1580"},       {30, 0, "2024/06/15"}, {32, 0, "ろあ売①"},
        {33, 0, "逆"},      {31, 0, "1490.5"},     {34, 0, "2024/06/15"},
    };
    ASSERT_EQ(edits.size(), expected.size());
    for (size_t i = 0; i < edits.size(); ++i) {
        EXPECT_EQ(edits[i].Field, std::get<0>(expected[i])) << i;
        EXPECT_EQ(edits[i].GridColumn, std::get<1>(expected[i])) << i;
        EXPECT_EQ(edits[i].Value, std::get<2>(expected[i])) << i;
    }
    const IssueUpdate update = RenderIssueUpdate(edits, "1301011");
    EXPECT_EQ(update.Parameters.size(), 20u);
    EXPECT_EQ(update.Parameters[14], FieldValue{int64_t{20240615}});
    // An issue without bars: empty texts and zeros, still one valid statement.
    const IssueUpdate empty = RenderIssueUpdate(AnalysisRowEdits(AnalysisResultRec{}), "1301011");
    EXPECT_EQ(empty.Parameters[5], FieldValue{});
    EXPECT_EQ(empty.Parameters[7], FieldValue{int64_t{0}});
}

}  // namespace
