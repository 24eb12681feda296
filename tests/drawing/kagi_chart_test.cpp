// ctest-labels: drawing
#include "drawing/kagi_chart.h"

#include <gtest/gtest.h>

#include "analysis/state.h"
#include "drawing/kagi_fixture.h"
#include "drawing/pane_images.h"
#include "support/scripted_sink.h"

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);

double X1(int32_t slot) {
    return 50.0 + 200.0 * slot;
}

// 60 strokes with marks of both sides and a join of each code.
KagiFixture MarkedChart() {
    KagiFixture chart(60, 800, 9);
    chart.Mark(9, "", "ろく売");  // falling stroke, no signal
    chart.Mark(12, "買", "ろさ買");
    chart.Mark(18, "", "ろゑ買");
    chart.Mark(20, "", "ろさ買");
    chart.Mark(25, "売", "ろさろく売");
    chart.Mark(34, "買", "ろあ買");
    chart.Mark(49, "売", "ろゑ売");
    const int16_t codes[] = {10, 11, 12, 15, 16};
    for (int i = 0; i < 5; ++i) {
        const SeriesPoint& stroke = chart.record.Points[38 + 2 * i];  // rising strokes
        const double span = stroke.Close - stroke.Open;
        chart.Join(38 + 2 * i, codes[i], stroke.Open + span / 3, stroke.Open + span * 2 / 3);
    }
    chart.SetSignalColours();
    return chart;
}

TEST(KagiChart, MarksJoinsAndBothColourings) {
    for (const bool conversion : {false, true}) {
        KagiFixture chart = MarkedChart();
        chart.record.FirstShownPoint = kShowLatestPoints;
        ChartWindowPanes window;
        const KagiDrawSettings settings{conversion, conversion};
        ASSERT_TRUE(DrawKagiChart(window.Panes(), chart.record, 60, settings, chart.Tables()));
        EXPECT_EQ(chart.record.FirstShownPoint, 0);
        EXPECT_EQ(chart.record.PriceDivisor, 1);
        const auto& strokes = chart.record.Points;
        auto colourAt = [&](int32_t k, double fraction) {
            const SeriesPoint& s = strokes[k];
            return window.price.At(X1(k) + 20, s.Open + (s.Close - s.Open) * fraction);
        };

        if (!conversion) {
            // Direction colouring: red when rising, blue when falling, whatever the signals.
            for (const int32_t k : {0, 1, 12, 13, 26, 27}) {
                const SeriesPoint& s = strokes[k];
                EXPECT_EQ(colourAt(k, 0.5), s.Close > s.Open ? kRed : kBlue) << k;
            }
        } else {
            // Before the first signal the columns are black; at a buy signal the stroke turns
            // red from its signal price on, and later strokes stay red.
            EXPECT_EQ(colourAt(0, 0.5), kBlack);
            EXPECT_EQ(colourAt(12, 0.15), kBlack);
            EXPECT_EQ(colourAt(12, 0.7), kRed);
            EXPECT_EQ(colourAt(13, 0.5), kRed);
            EXPECT_EQ(colourAt(18, 0.5), kRed);  // a mark without side changes nothing
            EXPECT_EQ(colourAt(25, 0.7), kBlue);
            EXPECT_EQ(colourAt(30, 0.5), kBlue);
            // After a join the columns are black until the next signal.
            EXPECT_EQ(colourAt(47, 0.5), kBlack);
            EXPECT_EQ(colourAt(48, 0.5), kBlack);
            EXPECT_EQ(colourAt(49, 0.15), kBlack);
            EXPECT_EQ(colourAt(49, 0.7), kBlue);
        }

        // The arrow points at the stroke's left edge at the signal price.
        for (const int32_t k : {9, 12, 25}) {
            const SeriesPoint& s = strokes[k];
            const RuleHit& mark = chart.marks[static_cast<size_t>(s.High)];
            EXPECT_EQ(window.price.At(X1(k) - 50, mark.SignalPrice),
                      s.Close > s.Open ? kRed : kBlue)
                << k;
        }
        // The frame over the text of a signal: its top edge above the falling stroke's start.
        {
            const SeriesPoint& s = strokes[25];
            Surface& price = window.price.surface;
            price.SetFontSize(12);
            const double h = price.TextHeight("ろ");
            const double y0 = s.Open + h * 0.5 + 5 * 0.833 * h;
            EXPECT_EQ(window.price.At(X1(25) + 20, y0 + 0.1 * h), conversion ? kBlue : kWhite);
        }

        // Joins: the black line from the old end to the new start, and the parts the code names.
        for (int i = 0; i < 5; ++i) {
            const int32_t k = 38 + 2 * i;
            const int16_t code = strokes[k].SplitFlag;
            const bool before = code == 12 || code == 15 || code == 16;
            const bool after = code == 11 || code == 15 || code == 16;
            const SeriesPoint& s = strokes[k];
            EXPECT_EQ(window.price.At(X1(k) + 50, s.Open + (s.Close - s.Open) * 0.5), kBlack)
                << code;
            EXPECT_EQ(colourAt(k, 0.15) != kWhite, before) << code;
            EXPECT_EQ(colourAt(k, 0.85) != kWhite, after) << code;
        }
        ASSERT_TRUE(window.Compose().save(
            ReviewPath(conversion ? "drawing_kagi_conversion.png" : "drawing_kagi_direction.png")));
    }
}

TEST(KagiChart, RuleTextRunsDownBesideTheColumn) {
    // A falling stroke: the text starts above where it starts and ends 2.5 lines lower.
    const double h = 6;
    const RuleTextLayout falling = LayOutRuleText("ろさ売", 500, 440, h);
    EXPECT_DOUBLE_EQ(falling.Top, 500 + 0.5 * h + 3 * 0.833 * h);
    ASSERT_EQ(falling.Lines.size(), 3u);
    EXPECT_TRUE(falling.Lines[0].Half);
    EXPECT_EQ(falling.Lines[1].Character, "さ");
    EXPECT_DOUBLE_EQ(falling.Lines[1].Top, falling.Top - h / 2);
    EXPECT_DOUBLE_EQ(falling.Lines[2].Top, falling.Top - 1.5 * h);
    EXPECT_DOUBLE_EQ(falling.Bottom, falling.Top - 2.5 * h);
    // A rising stroke: below where it starts; two family names give two half lines.
    const RuleTextLayout rising = LayOutRuleText("ろさろく買", 440, 500, h);
    EXPECT_DOUBLE_EQ(rising.Top, 440 - 0.5 * h);
    EXPECT_DOUBLE_EQ(rising.Bottom, rising.Top - 4 * h);
    EXPECT_TRUE(LayOutRuleText("", 440, 500, h).Lines.empty());
}

TEST(KagiChart, ThousandUnitBeforeAndAfterTheMargin) {
    struct Case {
        double low, high;
        double divisor;
    } cases[] = {
        {300, 420, 1},
        {800000, 999999.9, 1000},  // seven digits only after the 9 % margin
        {800000, 900000, 1},
        {1100000, 1250000, 1000},  // already in thousands: divided once
    };
    for (const Case& c : cases) {
        KagiFixture chart(2, c.low, 1);
        chart.record.Points[0].Open = c.low;
        chart.record.Points[0].Close = c.high;
        chart.record.Points[1].Open = c.high;
        chart.record.Points[1].Close = (c.low + c.high) / 2;
        ChartWindowPanes window;
        ASSERT_TRUE(DrawKagiChart(window.Panes(), chart.record, 40, {}, chart.Tables()));
        EXPECT_EQ(chart.record.PriceDivisor, c.divisor) << c.high;
        const double margin = (c.high - c.low) * 0.09;
        EXPECT_NEAR(window.price.surface.ScaleTop(), (c.high + margin) / c.divisor, 1e-6);
    }
}

TEST(KagiChart, ReadsTheTablesOfTheChartLastBuiltAndLongSeries) {
    KagiFixture chart = MarkedChart();
    ChartWindowPanes explicitTables;
    ASSERT_TRUE(
        DrawKagiChart(explicitTables.Panes(), chart.record, 60, {true, true}, chart.Tables()));
    RuleMarks().RuleMarkTable = chart.marks;
    RuleMarks().RuleMarkCount = static_cast<int32_t>(chart.marks.size());
    Series().KagiJoinTable = chart.joins;
    Series().KagiJoinCount = static_cast<int32_t>(chart.joins.size());
    ChartWindowPanes sharedTables;
    ASSERT_TRUE(
        DrawKagiChart(sharedTables.Panes(), chart.record, 60, {true, true}, CurrentKagiTables()));
    EXPECT_EQ(sharedTables.Compose(), explicitTables.Compose());

    // More strokes and a wider count than 16-bit arithmetic would hold.
    KagiFixture longChart(40000, 500, 8);
    ASSERT_TRUE(DrawKagiChart(sharedTables.Panes(), longChart.record, 200, {}, longChart.Tables()));
    EXPECT_EQ(longChart.record.FirstShownPoint, 39800);
}

TEST(KagiChart, EmptySeriesAndFailures) {
    ChartWindowPanes window;
    SeriesRecord empty;
    empty.PriceDivisor = 1000;
    ASSERT_TRUE(DrawKagiChart(window.Panes(), empty, 50, {}, CurrentKagiTables()));
    EXPECT_EQ(empty.PriceDivisor, 1000);
    EXPECT_EQ(empty.FirstShownPoint, kShowLatestPoints);
    window.price.surface.Release();
    EXPECT_EQ(window.price.image.pixelColor(2, 2), kWhite);

    ScriptedSink sink;
    KagiFixture badMark(20, 500, 1);
    badMark.record.Points[5].High = 3;  // no such mark
    sink.Expect(MsgKind::Warn, "インデックスが有効範囲にありません。");
    EXPECT_FALSE(DrawKagiChart(window.Panes(), badMark.record, 20, {}, badMark.Tables()));

    KagiFixture badJoin(20, 500, 1);
    badJoin.record.Points[7].JoinLink = 0;  // an empty join table
    sink.Expect(MsgKind::Warn, "インデックスが有効範囲にありません。");
    ImagePane cell(QSize(300, 200));
    EXPECT_FALSE(DrawKagiCell(cell.surface, badJoin.record, 20, {}, badJoin.Tables()));

    KagiFixture chart(20, 500, 1);
    sink.Expect(MsgKind::Warn, kInvalidValueError);  // no strokes to show: no width
    EXPECT_FALSE(DrawKagiChart(window.Panes(), chart.record, 0, {}, chart.Tables()));
    EXPECT_TRUE(sink.AllShown());
}

// A view scrolled to its end with the smallest count shows no stroke: there is no first
// stroke to take the range from, and nothing past the last one may be read.
TEST(KagiChart, WindowPastTheLastStrokeFailsWithoutReadingIt) {
    ScriptedSink sink;
    KagiFixture chart(20, 500, 1);
    chart.record.Points.shrink_to_fit();
    chart.record.FirstShownPoint = 20;  // 20 + 10 <= 20 + 10: the slack keeps it
    ChartWindowPanes window;
    sink.Expect(MsgKind::Warn, kInvalidValueError);
    EXPECT_FALSE(DrawKagiChart(window.Panes(), chart.record, 10, {}, chart.Tables()));
    EXPECT_EQ(chart.record.FirstShownPoint, 20);

    ImagePane cell(QSize(300, 200));
    chart.record.FirstShownPoint = kShowLatestPoints;
    sink.Expect(MsgKind::Warn, kInvalidValueError);
    EXPECT_FALSE(DrawKagiCell(cell.surface, chart.record, 0, {true, true}, chart.Tables()));
    EXPECT_EQ(chart.record.FirstShownPoint, 20);
    EXPECT_TRUE(sink.AllShown());
}

TEST(KagiCell, FourCells) {
    CellGrid page(4, 2, QSize(520, 300));
    // A long marked chart, a scrolled one, a flat one and one in thousands.
    KagiFixture marked = MarkedChart();
    KagiFixture scrolled(500, 400, 2);
    scrolled.record.FirstShownPoint = 455;
    KagiFixture flat(30, 100, 4);
    for (int32_t k = 0; k < 30; ++k) {  // end prices within 10 of the first start
        flat.record.Points[k].Open = 100 + (k % 2) * 2;
        flat.record.Points[k].Close = 100 + ((k + 1) % 2) * 2;
    }
    KagiFixture dear(50, 1300000, 6);
    KagiFixture* charts[] = {&marked, &scrolled, &flat, &dear};
    // Conversion colouring in the left cells, direction colouring in the right ones.
    const KagiDrawSettings settings[] = {{true, true}, {false, true}};
    const int32_t counts[] = {60, 50, 30, 50};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(DrawKagiCell(page.Cell(i).surface, charts[i]->record, counts[i],
                                 settings[i % 2], charts[i]->Tables()))
            << i;
    }
    EXPECT_EQ(scrolled.record.FirstShownPoint, 450);  // no slack in the cell
    EXPECT_EQ(dear.record.PriceDivisor, 1000);
    // The flat chart is not stretched: its top is the first start plus 10.
    EXPECT_DOUBLE_EQ(page.Cell(2).surface.ScaleTop(), 110);
    // Conversion colouring without texts: black before the first signal, red after a buy.
    ImagePane& cell = page.Cell(0);
    const auto& s = marked.record.Points;
    EXPECT_EQ(cell.At(X1(0) + 20, (s[0].Open + s[0].Close) / 2), kBlack);
    EXPECT_EQ(cell.At(X1(13) + 20, (s[13].Open + s[13].Close) / 2), kRed);
    EXPECT_EQ(cell.At(X1(30) + 20, (s[30].Open + s[30].Close) / 2), kBlue);
    ASSERT_TRUE(page.Compose().save(ReviewPath("drawing_kagi_cells.png")));
}

}  // namespace
