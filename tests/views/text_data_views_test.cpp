// ctest-labels: pairviews
// The eight chart views of a series held outside the database: a text file's bars put into
// the text-data cache, and the rows the data table hands to the kagi chart. The captions,
// the charts built from the cache, no lines or barriers, the width factors of the file's
// price step, and failures of the cache and of the weekly grouping.
#include <gtest/gtest.h>

#include <QDate>
#include <QImage>
#include <algorithm>
#include <string>
#include <vector>

#include "analysis/chart_loading.h"
#include "analysis/lines_geometry.h"
#include "analysis/state.h"
#include "foundation/state.h"
#include "ui/frame_access.h"
#include "views/chart_view_fixture.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kInterrupted = "処理が中断されました。";
constexpr const char* kTitle = "サンプル.txt";

// Weekday bars from 2024/01/04 on: a slow wave, so the kagi chart turns often.
std::vector<SeriesPoint> TextBars(int count, double level) {
    std::vector<SeriesPoint> bars;
    QDate day(2024, 1, 4);
    for (int i = 0; bars.size() < static_cast<size_t>(count); ++i, day = day.addDays(1)) {
        if (day.dayOfWeek() > 5) continue;
        const double close = level * (1 + 0.2 * std::sin(i / 6.0) + 0.05 * std::sin(i / 1.7));
        SeriesPoint bar;
        bar.Open = close * 0.99;
        bar.Close = close;
        bar.High = close * 1.01;
        bar.Low = close * 0.98;
        bar.Volume = 1000 + i;
        bar.DateText = DateLabel::Day(day.year() * 10000 + day.month() * 100 + day.day());
        bars.push_back(bar);
    }
    return bars;
}

class TextDataViewsTest : public ChartViewFixture {
  protected:
    void PutSeries(std::vector<SeriesPoint> bars, int16_t mode, const std::string& title,
                   double tick = 1) {
        Series().TextDataCount = static_cast<int32_t>(bars.size());
        Series().TextDataSeries = std::move(bars);
        TextData().TextDataMode = mode;
        TextData().TextDataTitle = title;
        TextData().TextDataTick = tick;
    }
    void Show(int view) { ChartViews().ShowChartView(static_cast<int16_t>(view)); }
    // Lines and barriers that a view must not leave on a text series.
    void SeedLines() {
        for (int kind = 4; kind <= 7; ++kind) {
            RecordOfChart(kind).KanmonSlots[1] = KanmonRec{900, 800, 1};
            RecordOfChart(kind).ShasenSlots[1].UpperLeftIndex = 3;
        }
    }
    double HighestStroke() {
        const SeriesRecord& kagi = Series().KagiSeries;
        double highest = 0;
        for (int i = 0; i < kagi.Count; ++i)
            highest = std::max({highest, kagi.Points[i].Open, kagi.Points[i].Close});
        return highest;
    }
};

TEST_F(TextDataViewsTest, EveryViewChartsTheCachedSeriesWithoutLines) {
    PutSeries(TextBars(200, 1000), -1, kTitle);
    struct Case {
        int view;
        std::vector<int> kinds;
    };
    const Case cases[] = {{4, {4}},    {5, {5}},    {6, {6}},     {7, {7}},
                          {8, {4, 5}}, {9, {4, 6}}, {10, {4, 7}}, {11, {4, 5, 6, 7}}};
    for (const Case& c : cases) {
        SeedLines();
        Show(c.view);
        EXPECT_EQ(Views().ViewKind, c.view);
        EXPECT_EQ(Caption(), ViewBracket(c.view) + kTitle);
        for (const int kind : c.kinds) {
            const SeriesRecord& record = RecordOfChart(kind);
            EXPECT_EQ(record.ChartKind, kind) << c.view;
            EXPECT_GT(record.Count, 0) << c.view << " " << kind;
            EXPECT_LT(record.KanmonSlots[1].Upper, 0) << c.view << " " << kind;
            EXPECT_EQ(record.ShasenSlots[1].UpperLeftIndex, kUnsetIndex) << c.view;
            EXPECT_FALSE(OverlayOf(kind).SHP_関門10[1].Visible) << c.view;
        }
    }
    // The candlestick records hold the series as days, weeks and months.
    EXPECT_EQ(Series().DailySeries.Count, 200);
    EXPECT_EQ(Series().WeeklySeries.Count, 41);  // Thursday and Friday, then 39 weeks and 3 days
    EXPECT_EQ(Series().MonthlySeries.Count, 10);
    EXPECT_EQ(Series().WeeklySeries.Points[0].DateText.Text(), "2024/01/04～2024/01/05");
    EXPECT_TRUE(sink.Shown().empty());

    Show(4);
    QCoreApplication::processEvents();
    const std::string path = std::string(KABUTO_BINARY_DIR) + "/pairviews_text_kagi.png";
    EXPECT_TRUE(FindChartWindow(4)->grab().save(QString::fromStdString(path)));
}

TEST_F(TextDataViewsTest, TheFilesPriceStepSetsTheKagiWidthFactors) {
    struct Case {
        double tick;
        double scale;
        double step;
    };
    const Case cases[] = {{0.5, 0.1, 0.1}, {0.05, 1.0, 0.01}, {5, 0.01, 1.0}, {100, 0.001, 10.0}};
    for (const Case& c : cases) {
        PutSeries(TextBars(60, 1000), -1, kTitle, c.tick);
        Show(4);
        EXPECT_DOUBLE_EQ(KagiWidth().TextDataWidthFactor.K1, c.scale) << c.tick;
        EXPECT_DOUBLE_EQ(KagiWidth().TextDataWidthFactor.K2, c.step) << c.tick;
    }
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(TextDataViewsTest, ABrokenCacheInterruptsTheDailyViewAfterItsCaptionAndTheKagiViewBefore) {
    SelectRows(1, 1);
    Press(5);
    const std::string previous = Caption();
    PutSeries(TextBars(30, 1000), -1, kTitle);
    Series().TextDataCount = 40;  // more bars than the cache holds
    sink.Expect(MsgKind::Warn).Expect(MsgKind::Info, kInterrupted);
    ShowKagiView();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Caption(), previous);
    sink.Expect(MsgKind::Warn).Expect(MsgKind::Info, kInterrupted);
    ShowDailyView();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Caption(), std::string("[日足]   ") + kTitle);
}

TEST_F(TextDataViewsTest, RestoringAKindWithoutACandlestickRecordChangesNothing) {
    PutSeries(TextBars(120, 1000), -1, kTitle);
    Show(11);
    const SeriesState before = Series();
    for (const int kind : {4, 8, 0}) EXPECT_FALSE(RestoreSeriesFromCache(kind)) << kind;
    const SeriesState& after = Series();
    for (int kind = 4; kind <= 7; ++kind) {
        const SeriesRecord& was = kind == 4   ? before.KagiSeries
                                  : kind == 5 ? before.DailySeries
                                  : kind == 6 ? before.WeeklySeries
                                              : before.MonthlySeries;
        EXPECT_EQ(RecordOfChart(kind).Count, was.Count) << kind;
        EXPECT_EQ(RecordOfChart(kind).Points.size(), was.Points.size()) << kind;
    }
    EXPECT_EQ(after.PeriodWorkCount, before.PeriodWorkCount);
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(TextDataViewsTest, AFailedWeeklyGroupingIsReportedAndKeepsTheWeeklyChart) {
    std::vector<SeriesPoint> bars = TextBars(100, 1000);
    PutSeries(bars, -1, kTitle);
    Show(6);
    const int32_t weeks = Series().WeeklySeries.Count;
    ASSERT_EQ(weeks, 21);
    bars[50].DateText = DateLabel("2024/13/45");
    PutSeries(bars, -1, kTitle);
    sink.Expect(MsgKind::Warn);
    EXPECT_FALSE(RestoreSeriesFromCache(6));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Series().WeeklySeries.Count, weeks);
    const auto drawn = Views().ChartDrawings;
    sink.Expect(MsgKind::Warn).Expect(MsgKind::Info, kInterrupted);
    Show(9);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Series().WeeklySeries.Count, weeks);
    // The kagi chart was drawn; the weekly daily rows were never drawn as weeks.
    EXPECT_EQ(Views().ChartDrawings[0], drawn[0] + 1);
    EXPECT_EQ(Views().ChartDrawings[2], drawn[2]);
}

TEST_F(TextDataViewsTest, TheDataTablesRowsAreScaledAndSplitBeforeTheKagiBuild) {
    // An index quoted in tenths: the hand-off scales its raw rows, a text file does not.
    PutSeries(TextBars(120, 10000), 0, "0315100");
    ASSERT_TRUE(ShowKagiChartFromCache());
    EXPECT_LT(HighestStroke(), 2000);
    PutSeries(TextBars(120, 10000), -1, "0315100");
    ASSERT_TRUE(ShowKagiChartFromCache());
    EXPECT_GT(HighestStroke(), 5000);

    // The split issue's raw rows, unmarked: the hand-off marks the split, so the kagi chart
    // joins its two price levels.
    const std::string split = market.Summary().SplitIssueId;
    ASSERT_TRUE(LoadChartSeries(split, 4));
    std::vector<SeriesPoint> rows(Series().DailySeries.Points.begin(),
                                  Series().DailySeries.Points.begin() + Series().DailySeries.Count);
    for (SeriesPoint& row : rows) row.SplitFlag = kNoSplit;
    PutSeries(rows, 0, split);
    ASSERT_TRUE(ShowKagiChartFromCache());
    EXPECT_GE(Series().KagiJoinCount, 1);
    PutSeries(rows, -1, split);
    ASSERT_TRUE(ShowKagiChartFromCache());
    EXPECT_EQ(Series().KagiJoinCount, 0);
    EXPECT_TRUE(sink.Shown().empty());
}

}  // namespace
