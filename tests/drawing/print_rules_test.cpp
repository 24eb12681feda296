// ctest-labels: printchart
// What the printed charts put where, read back from an A4 sheet drawn into an image at
// 96 dpi: barriers, monochrome candles and columns, and the thousand unit after widening.
#include <gtest/gtest.h>

#include <QImage>

#include "drawing/kagi_fixture.h"
#include "drawing/print_page.h"
#include "drawing/printed_candle_chart.h"
#include "drawing/printed_kagi_chart.h"
#include "foundation/settings.h"

namespace {

// A4 upright at 96 dpi.
struct Sheet {
    QImage image{794, 1123, QImage::Format_RGB32};
    Surface page;
    Sheet() {
        image.fill(Qt::white);
        page.SetDevice(&image);
    }
    PageTwips Twips() const { return {page.WidthTwips(), page.HeightTwips()}; }
    QColor At(const PageScale& scale, double x, double y) {
        page.SetScale(scale.Left, scale.Top, scale.Right, scale.Bottom);
        const QPoint p = page.ToDevice(x, y).toPoint();
        page.Release();
        return image.pixelColor(p);
    }
    // Pixels of `color` in a band of rows given in twips from the top.
    int Count(QColor color, double fromTwips, double toTwips) {
        page.Release();
        int count = 0;
        const int first = static_cast<int>(fromTwips / 15);
        const int last = std::min(image.height(), static_cast<int>(toTwips / 15));
        for (int y = first; y < last; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == color) ++count;
        return count;
    }
};

const QColor kGreen(0, 255, 0);
const QColor kWhiteColour(255, 255, 255);
const QColor kBlackColour(0, 0, 0);

// Two bars between 1000 and 1100: a rising one and a falling one.
SeriesRecord TwoBars() {
    SeriesRecord record;
    record.ChartKind = kChartDaily;
    SeriesPoint rising;
    rising.Open = 1010;
    rising.Close = 1090;
    rising.High = 1100;
    rising.Low = 1000;
    rising.Volume = 5000;
    rising.DateText = "2009/01/05";
    SeriesPoint falling = rising;
    falling.Open = 1090;
    falling.Close = 1010;
    falling.DateText = "2009/01/06";
    record.Points = {rising, falling};
    record.Count = 2;
    return record;
}

// The price scale the chart of TwoBars uses at display count 2 on the sheet.
PageScale TwoBarsScale(PageTwips page) {
    const double margin = (1100 - 1000) * 0.02;
    return CandleChartLayout(page, false, 1100 + margin, 1000 - margin, 300, 5000).Price;
}

// Barriers cut to the range; one that encloses the whole range is printed over all of it.
TEST(PrintedRules, BarriersOnTheCandlestickChart) {
    struct Case {
        const char* what;
        KanmonRec barrier;
        bool upperPart;  // hatched near the top of the range
        bool lowerPart;  // hatched near the bottom
    };
    const Case cases[] = {
        {"encloses the range", {1500, 500, 0}, true, true},
        {"wholly above", {1500, 1200, 0}, false, false},
        {"from above down into the range", {1500, 1060, 0}, true, false},
        {"from inside down below", {1040, 500, 0}, false, true},
        {"unset", {kUnsetPrice, kUnsetPrice, 0}, false, false},
    };
    for (const Case& c : cases) {
        Sheet sheet;
        SeriesRecord record = TwoBars();
        record.KanmonSlots[0] = c.barrier;
        ASSERT_TRUE(PrintCandleChart(sheet.page, record, 2, PrintChartOptions{}));
        // The range fills the sheet from 3 cm under the top to 5 cm over the bottom.
        const double top = 1701;
        const double bottom = sheet.Twips().Height - 2835;
        const double quarter = (bottom - top) / 4;
        EXPECT_EQ(sheet.Count(kGreen, top + 30, top + quarter) > 50, c.upperPart) << c.what;
        EXPECT_EQ(sheet.Count(kGreen, bottom - quarter, bottom - 30) > 50, c.lowerPart) << c.what;
    }
}

// Without colour a rising body is an outline and a falling body solid, and barriers are
// outlines only.
TEST(PrintedRules, MonochromeCandles) {
    Sheet sheet;
    SeriesRecord record = TwoBars();
    record.KanmonSlots[0] = {1080, 1020, 0};
    PrintChartOptions mono;
    mono.Monochrome = true;
    ASSERT_TRUE(PrintCandleChart(sheet.page, record, 2, mono));
    const PageScale scale = TwoBarsScale(sheet.Twips());
    EXPECT_EQ(sheet.At(scale, 100, 1050), kWhiteColour);  // rising body, inside
    EXPECT_EQ(sheet.At(scale, 50, 1050), kBlackColour);   // rising body, its left edge
    EXPECT_EQ(sheet.At(scale, 200, 1050), kBlackColour);  // falling body
    EXPECT_EQ(sheet.Count(kGreen, 0, sheet.Twips().Height), 0);

    Sheet colour;
    SeriesRecord again = TwoBars();
    ASSERT_TRUE(PrintCandleChart(colour.page, again, 2, PrintChartOptions{}));
    EXPECT_EQ(colour.At(scale, 100, 1050), QColor(255, 0, 0));
    EXPECT_EQ(colour.At(scale, 200, 1050), QColor(0, 0, 255));
}

// A line cut to the chart is printed between its two cut ends; one that meets the range at a
// single bar has no right end and prints nothing (not a stroke off to the page's edge).
TEST(PrintedRules, LinesCutToOneBarPrintNothing) {
    const QColor grey(128, 128, 128);
    struct Case {
        const char* what;
        int32_t left;
        double leftPrice;
        int32_t right;
        double rightPrice;
        bool printed;
    };
    const Case cases[] = {
        // In the empty slots right of the two bars, where nothing prints over the line.
        {"across the range", 2, 1010, 3, 1090, true},
        {"inside at its first point only", 2, 1050, 3, 2000, false},
        {"inside at its last point only", 2, 2000, 3, 1050, false},
    };
    for (const Case& c : cases) {
        Sheet sheet;
        SeriesRecord record = TwoBars();
        ShasenRec& slot = record.ShasenSlots[1];
        slot.UpperLeftIndex = c.left;
        slot.UpperLeftPrice = c.leftPrice;
        slot.UpperRightIndex = c.right;
        slot.UpperRightPrice = c.rightPrice;
        ASSERT_TRUE(PrintCandleChart(sheet.page, record, 4, PrintChartOptions{}));
        EXPECT_EQ(sheet.Count(grey, 0, sheet.Twips().Height) > 0, c.printed) << c.what;
    }
}

// A wick that reaches a low of 0 stops at the cell's frame line under the range.
TEST(PrintedRules, CandleCellWickStopsAtTheFrame) {
    Sheet sheet;
    SeriesRecord record = TwoBars();
    record.Points[1].Low = 0;
    ASSERT_TRUE(PrintCandleCell(sheet.page, record, 2, "銘柄", 0, 1, PrintChartOptions{}));
    const CellLayout layout =
        ChartCellLayout(sheet.Twips(), CellGridPosition(1, 0), 1100, 1000, 300);
    const double frame = 1000 - 0.25 * layout.UnitY;
    EXPECT_EQ(sheet.At(layout.Scale, 200, frame + 0.1 * layout.UnitY), QColor(0, 0, 255));
    EXPECT_EQ(sheet.At(layout.Scale, 200, frame - 0.1 * layout.UnitY), kWhiteColour);
}

// Monochrome kagi columns: rising hollow, falling solid, and after a join under conversion
// colouring hatched with horizontal lines.
TEST(PrintedRules, MonochromeKagiColumns) {
    KagiFixture chart(4, 1000, 3);
    chart.record.Points[0].Open = 1000;
    chart.record.Points[0].Close = 1300;
    chart.record.Points[1].Open = 1300;
    chart.record.Points[1].Close = 1100;
    chart.record.Points[2].Open = 1100;
    chart.record.Points[2].Close = 1250;
    chart.record.Points[3].Open = 1250;
    chart.record.Points[3].Close = 1050;
    chart.Join(2, 15, 1150, 1150);
    chart.record.Points[0].Low = kKagiColourRed;
    PrintChartOptions mono;
    mono.Monochrome = true;
    mono.ConversionColouring = true;
    Sheet sheet;
    ASSERT_TRUE(PrintKagiCell(sheet.page, chart.record, 4, "", 0, 1, mono, chart.Tables()));
    const CellLayout layout =
        ChartCellLayout(sheet.Twips(), CellGridPosition(1, 0), 1300, 1000, 800);
    EXPECT_EQ(sheet.At(layout.Scale, 100, 1150), kWhiteColour);  // rising, running hollow
    EXPECT_EQ(sheet.At(layout.Scale, 50, 1150), kBlackColour);
    // After the join: hatched rows inside the column (beside the dotted split line at its
    // centre), some inked and some not.
    int inked = 0;
    int blank = 0;
    for (double y = 1160; y < 1240; y += 0.25)  // finer than a dot
        (sheet.At(layout.Scale, 480, y) == kBlackColour ? inked : blank) += 1;
    EXPECT_GT(inked, 0);
    EXPECT_GT(blank, 0);
}

// Prices that reach seven integer digits only once the range is widened for the rule texts
// are printed in thousands.
TEST(PrintedRules, ThousandUnitAfterTheWidening) {
    KagiFixture chart(6, 999000, 5);
    for (int32_t k = 0; k < 6; ++k) {
        chart.record.Points[k].Open = k % 2 == 0 ? 995000 : 999950;
        chart.record.Points[k].Close = k % 2 == 0 ? 999950 : 995000;
    }
    chart.Mark(1, "売", "ろさろく売");
    Sheet sheet;
    ASSERT_TRUE(PrintKagiChart(sheet.page, chart.record, 20, {}, chart.Tables()));
    EXPECT_EQ(chart.record.PriceDivisor, 1000);

    KagiFixture low(6, 500, 5);
    Sheet other;
    ASSERT_TRUE(PrintKagiChart(other.page, low.record, 20, {}, low.Tables()));
    EXPECT_EQ(low.record.PriceDivisor, 1);
}

// Black and white only when printing by redrawing with the box ticked; the half page only
// for the views that pair a candlestick chart with the kagi chart.
TEST(PrintedRules, OptionsFromTheSettings) {
    struct Case {
        int16_t redraw, mono, conversion, frame;
        int32_t viewKind;
        PrintChartOptions expected;
    };
    const Case cases[] = {
        {-1, 1, 0, -1, 5, {true, false, true, false}},
        {0, 1, 0, -1, 4, {false, false, true, false}},
        {-1, 0, -1, 0, 8, {false, true, false, true}},
        {-1, 1, -1, 0, 10, {true, true, false, true}},
        {0, 0, 0, 0, 11, {false, false, false, false}},
    };
    for (const Case& c : cases) {
        Settei() = SetteiState{};
        UserSettei& user = Settei().Record.UserSettei;
        user.OPT_精細 = c.redraw;
        user.CHK_白黒 = c.mono;
        user.OPT_転換 = c.conversion;
        user.OPT_枠 = c.frame;
        const PrintChartOptions options = PrintOptionsFromSettei(c.viewKind);
        EXPECT_EQ(options.Monochrome, c.expected.Monochrome) << c.viewKind;
        EXPECT_EQ(options.ConversionColouring, c.expected.ConversionColouring) << c.viewKind;
        EXPECT_EQ(options.FrameRuleText, c.expected.FrameRuleText) << c.viewKind;
        EXPECT_EQ(options.HalfPage, c.expected.HalfPage) << c.viewKind;
    }
}

}  // namespace
