// ctest-labels: drawing
#include "drawing/candle_chart.h"

#include <gtest/gtest.h>

#include <set>

#include "drawing/pane_images.h"
#include "drawing/series_fixture.h"
#include "support/scripted_sink.h"

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);
const QColor kSilver(192, 192, 192);
const QColor kTeal(0, 128, 128);
const QColor kWhite(255, 255, 255);

double Xl(int32_t slot) {
    return SlotLeft(slot);
}

// The first shown bar with a body of several price units and a trade, rising or falling.
int32_t FindBar(const SeriesRecord& record, bool rising) {
    for (int32_t i = record.FirstShownPoint; i < record.Count; ++i) {
        const SeriesPoint& bar = record.Points[i];
        const double body = bar.Close - bar.Open;
        if (bar.Volume > 0 && (rising ? body : -body) > bar.Open * 0.015) return i;
    }
    return -1;
}

// Dots of a colour in one device column (x) or row (y) of a pane.
int CountInColumn(ImagePane& pane, int column, const QColor& color) {
    pane.surface.Release();
    int count = 0;
    for (int y = 0; y < pane.image.height(); ++y)
        count += pane.image.pixelColor(column, y) == color;
    return count;
}
std::set<int> ColumnsWithColorInRow(ImagePane& pane, int row, const QColor& color) {
    pane.surface.Release();
    std::set<int> columns;
    for (int x = 0; x < pane.image.width(); ++x)
        if (pane.image.pixelColor(x, row) == color) columns.insert(x);
    return columns;
}

TEST(CandleChart, DailyChartWithSplitZeroVolumeAndAverages) {
    SeriesRecord record = DailyBars(300, 850, 7);
    record.Points[260].SplitFlag = kSplitHere;
    record.Points[260].SplitRatio = 1.5;
    record.Points[250].Volume = 1;  // a tiny volume still shows a bar
    AddAverages(record, 5, 25);
    record.FirstShownPoint = kShowLatestPoints;
    record.PriceDivisor = 1000;  // left over from a dearer issue

    ChartWindowPanes window;
    ASSERT_TRUE(DrawCandleChart(window.Panes(), record, 150));
    EXPECT_EQ(record.FirstShownPoint, 150);
    EXPECT_EQ(record.PriceDivisor, 1);

    const int32_t rising = FindBar(record, true);
    const int32_t falling = FindBar(record, false);
    ASSERT_GE(rising, 0);
    ASSERT_GE(falling, 0);
    for (auto [index, color] : {std::pair{rising, kRed}, std::pair{falling, kBlue}}) {
        const SeriesPoint& bar = record.Points[index];
        const int32_t slot = index - 150;
        EXPECT_EQ(window.price.At(Xl(slot) + 20, (bar.Open + bar.Close) / 2), color) << index;
        EXPECT_EQ(window.volume.At(Xl(slot) + 50, bar.Volume / 2), kGreen) << index;
    }
    // The tiny volume is raised to 3 % of the volume top.
    const double volumeTop = window.volume.surface.ScaleTop();
    EXPECT_EQ(window.volume.At(Xl(100) + 50, volumeTop * 0.02), kGreen);
    // A day without trade leaves its slot empty in the price and volume panes.
    const int32_t quiet = 36 + 37 * 6;  // the 7th day without trade
    ASSERT_EQ(record.Points[quiet].Volume, 0);
    EXPECT_EQ(window.volume.At(Xl(quiet - 150) + 50, volumeTop * 0.01), kWhite);
    // The split's dotted line stands on the left edge of the split day.
    const int splitColumn = window.price.surface.ToDevice(Xl(110), 0).toPoint().x();
    EXPECT_GT(CountInColumn(window.price, splitColumn, kSilver), window.price.image.height() / 4);
    // Date ticks: one at the first shown point and one at each month change.
    std::set<std::string> months;
    for (int32_t i = 150; i < 300; ++i) months.insert(record.Points[i].DateText.substr(0, 7));
    EXPECT_EQ(ColumnsWithColorInRow(window.dates, 0, kTeal).size(), months.size());

    ASSERT_TRUE(window.Compose().save(ReviewPath("drawing_daily.png")));
}

TEST(CandleChart, ThousandUnitIssueAndBack) {
    SeriesRecord dear = DailyBars(120, 1150000, 11);
    dear.FirstShownPoint = kShowLatestPoints;
    ChartWindowPanes window;
    ASSERT_TRUE(DrawCandleChart(window.Panes(), dear, 100));
    EXPECT_EQ(dear.PriceDivisor, 1000);
    EXPECT_EQ(dear.FirstShownPoint, 20);
    // The scale runs in thousands.
    EXPECT_LT(window.price.surface.ScaleTop(), 10000);
    const int32_t rising = FindBar(dear, true);
    ASSERT_GE(rising, 0);
    const SeriesPoint& bar = dear.Points[rising];
    EXPECT_EQ(window.price.At(Xl(rising - 20) + 20, (bar.Open + bar.Close) / 2000), kRed);
    ASSERT_TRUE(window.Compose().save(ReviewPath("drawing_daily_thousand.png")));

    SeriesRecord cheap = DailyBars(120, 300, 12);
    cheap.PriceDivisor = dear.PriceDivisor;
    ASSERT_TRUE(DrawCandleChart(window.Panes(), cheap, 100));
    EXPECT_EQ(cheap.PriceDivisor, 1);
}

TEST(CandleChart, WeeklyAndMonthlyCharts) {
    SeriesRecord daily = DailyBars(2600, 420, 5);
    daily.Points[2450].SplitFlag = kSplitHere;
    daily.Points[2450].SplitRatio = 2;
    for (const int32_t kind : {kChartWeekly, kChartMonthly}) {
        SeriesRecord record = PeriodBars(daily, kind);
        AddAverages(record, kind == kChartWeekly ? 13 : 6, kind == kChartWeekly ? 26 : 12);
        ChartWindowPanes window;
        const int32_t count = kind == kChartWeekly ? 200 : 110;
        ASSERT_TRUE(DrawCandleChart(window.Panes(), record, count));
        const int32_t first = record.FirstShownPoint;
        EXPECT_EQ(first, record.Count - count);

        // The split mark of a period stands at the centre of its slot.
        int32_t split = -1;
        for (int32_t i = first; i < record.Count; ++i)
            if (record.Points[i].SplitFlag > 0) split = i;
        ASSERT_GE(split, 0);
        const int column = window.price.surface.ToDevice(Xl(split - first) + 50, 0).toPoint().x();
        EXPECT_GT(CountInColumn(window.price, column, kSilver), window.price.image.height() / 4);

        // Monthly charts mark only the years.
        std::set<std::string> changes;
        for (int32_t i = first; i < record.Count; ++i)
            changes.insert(record.Points[i].DateText.substr(0, kind == kChartWeekly ? 7 : 4));
        EXPECT_EQ(ColumnsWithColorInRow(window.dates, 0, kTeal).size(), changes.size());
        ASSERT_TRUE(window.Compose().save(
            ReviewPath(kind == kChartWeekly ? "drawing_weekly.png" : "drawing_monthly.png")));
    }
}

TEST(CandleChart, ScrolledViewKeepsTenEmptySlotsAndLongSeriesDraw) {
    SeriesRecord record = DailyBars(500, 600, 3);
    ChartWindowPanes window;
    struct Case {
        int32_t first, count, stored;
    } cases[] = {{495, 150, 350}, {355, 150, 355}, {kShowLatestPoints, 400, 100}};
    for (const Case& c : cases) {
        record.FirstShownPoint = c.first;
        ASSERT_TRUE(DrawCandleChart(window.Panes(), record, c.count)) << c.count;
        EXPECT_EQ(record.FirstShownPoint, c.stored);
        // Slots past the last point stay empty.
        if (c.first == 355) {
            EXPECT_EQ(window.volume.At(Xl(147) + 50, window.volume.surface.ScaleTop() / 2), kWhite);
        }
    }

    SeriesRecord longSeries = DailyBars(40000, 600, 4);
    ASSERT_TRUE(DrawCandleChart(window.Panes(), longSeries, 300));
    EXPECT_EQ(longSeries.FirstShownPoint, 39700);
}

TEST(CandleChart, EmptySeriesClearsThePanes) {
    SeriesRecord record;
    record.FirstShownPoint = kShowLatestPoints;
    record.PriceDivisor = 1000;
    ChartWindowPanes window;
    ASSERT_TRUE(DrawCandleChart(window.Panes(), record, 100));
    for (ImagePane* pane : {&window.price, &window.labels, &window.volume, &window.dates}) {
        pane->surface.Release();
        EXPECT_EQ(pane->image.pixelColor(3, 3), kWhite);
    }
    EXPECT_EQ(record.FirstShownPoint, kShowLatestPoints);
    EXPECT_EQ(record.PriceDivisor, 1000);
}

TEST(CandleChart, FailureIsShownAndReturnsFalse) {
    ChartWindowPanes window;
    ChartPanes panes = window.Panes();
    panes.Volume = nullptr;
    SeriesRecord record = DailyBars(50, 100, 1);
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, kMissingObjectError);
    EXPECT_FALSE(DrawCandleChart(panes, record, 100));

    SeriesRecord broken = DailyBars(50, 100, 1);
    broken.Count = 60;  // more points claimed than present
    sink.Expect(MsgKind::Warn, "インデックスが有効範囲にありません。");
    EXPECT_FALSE(DrawCandleChart(window.Panes(), broken, 100));
    EXPECT_TRUE(sink.AllShown());
}

TEST(CandleCell, NineDailyCells) {
    CellGrid page(9, 3, QSize(400, 240));
    for (int i = 0; i < 9; ++i) {
        SeriesRecord record = DailyBars(200 + 30 * i, i == 4 ? 1500000 : 150 + 400 * i, 20 + i);
        if (i % 2 == 0) {
            record.Points[record.Count - 40].SplitFlag = kSplitHere;
            record.Points[record.Count - 40].SplitRatio = 2;
        }
        record.FirstShownPoint = kShowLatestPoints;
        ImagePane& cell = page.Cell(i);
        ASSERT_TRUE(DrawCandleCell(cell.surface, record, 100)) << i;
        // No slack: the last points fill the cell.
        EXPECT_EQ(record.FirstShownPoint, record.Count - 100);
        EXPECT_EQ(record.PriceDivisor, i == 4 ? 1000 : 1);

        // The highest high touches the top edge, in its candle's colour.
        int32_t highest = record.FirstShownPoint;
        for (int32_t j = highest; j < record.Count; ++j)
            if (record.Points[j].High > record.Points[highest].High) highest = j;
        const SeriesPoint& top = record.Points[highest];
        const QColor expected = top.Open > top.Close ? kBlue : kRed;
        cell.surface.Release();
        const int x =
            cell.surface.ToDevice(Xl(highest - record.FirstShownPoint) + 50, 0).toPoint().x();
        EXPECT_EQ(cell.image.pixelColor(x, 0), expected) << i;
        // The range bottom stands 2 % above the bottom edge: the last rows stay empty.
        EXPECT_EQ(ColumnsWithColorInRow(cell, cell.image.height() - 1, kWhite).size(),
                  static_cast<size_t>(cell.image.width()))
            << i;
    }
    ASSERT_TRUE(page.Compose().save(ReviewPath("drawing_daily_cells.png")));
}

}  // namespace
