// ctest-labels: printchart
// Chart pages printed through the real printer path to PDF and rendered into PNG pages in
// the build folder (print_*.pdf, print_*-N.png) for review.
#include <gtest/gtest.h>

#include "drawing/print_fixture.h"
#include "drawing/printed_candle_chart.h"
#include "drawing/printed_kagi_chart.h"

namespace {

// A page that holds a chart has ink over more than a small share of its area.
void ExpectPrintedPages(const RenderedPages& rendered, int pages) {
    EXPECT_EQ(rendered.PageCount, pages);
    ASSERT_EQ(static_cast<int>(rendered.Pages.size()), pages);
    for (const QImage& page : rendered.Pages) {
        ASSERT_FALSE(page.isNull());
        EXPECT_GT(InkShare(page), 0.02);
    }
}

TEST(PrintedCharts, DailyChartPageThenKagiChartPage) {
    PrintedDocument document;
    SeriesRecord daily = MarkedDailyBars();
    document.Header("7203100 テスト自動車 [日足]");
    ASSERT_TRUE(PrintCandleChart(document.Page(), daily, 150, PrintChartOptions{}));
    EXPECT_EQ(daily.FirstShownPoint, kShowLatestPoints);  // never written back
    EXPECT_EQ(daily.PriceDivisor, 1);

    document.NewPage();
    KagiFixture kagi = MarkedKagi();
    document.Header("7203100 テスト自動車 [鈎足]");
    PrintChartOptions conversion;
    conversion.ConversionColouring = true;
    ASSERT_TRUE(PrintKagiChart(document.Page(), kagi.record, 50, conversion, kagi.Tables()));

    const RenderedPages rendered = document.Finish("print_daily_kagi");
    ExpectPrintedPages(rendered, 2);
    EXPECT_GT(ColouredPixels(rendered.Pages[0]), 1000);
    EXPECT_GT(ColouredPixels(rendered.Pages[1]), 1000);
}

TEST(PrintedCharts, CandleChartOverKagiChartOnOnePage) {
    PrintedDocument document;
    SeriesRecord weekly = PeriodBars(MarkedDailyBars(), kChartWeekly);
    AddAverages(weekly, 13, 26);
    weekly.KanmonSlots = MarkedDailyBars().KanmonSlots;
    KagiFixture kagi = MarkedKagi(4);
    PrintChartOptions half;
    half.HalfPage = true;
    document.Header("7203100 テスト自動車 [週足・鈎足]");
    ASSERT_TRUE(PrintCandleChart(document.Page(), weekly, 60, half));
    ASSERT_TRUE(PrintKagiChart(document.Page(), kagi.record, 40, half, kagi.Tables()));
    const RenderedPages rendered = document.Finish("print_weekly_over_kagi");
    ExpectPrintedPages(rendered, 1);
    // Both halves carry a chart.
    const QImage& page = rendered.Pages[0];
    const int middle = page.height() / 2;
    EXPECT_GT(InkShare(page.copy(0, 0, page.width(), middle)), 0.02);
    EXPECT_GT(InkShare(page.copy(0, middle, page.width(), page.height() - middle)), 0.02);
}

TEST(PrintedCharts, FourChartPage) {
    PrintedDocument document;
    document.Header("7203100 テスト自動車 [4画面]");
    KagiFixture kagi = MarkedKagi();
    for (int32_t cell = 0; cell < 4; ++cell)
        ASSERT_TRUE(PrintKagiChartCell(document.Page(), kagi.record, 30 + 10 * cell, cell, 4,
                                       PrintChartOptions{}, kagi.Tables()));
    const RenderedPages rendered = document.Finish("print_four_charts");
    ExpectPrintedPages(rendered, 1);
    // Every quarter of the page holds its cell.
    const QImage& page = rendered.Pages[0];
    const int w = page.width() / 2;
    const int h = page.height() / 2;
    for (int cell = 0; cell < 4; ++cell)
        EXPECT_GT(InkShare(page.copy(cell % 2 * w, cell / 2 * h, w, h)), 0.01) << cell;
}

TEST(PrintedCharts, TwelveDailyCellsOnA3Landscape) {
    PrintedDocument document(PaperSize::A3, true);
    document.Header("日足 12銘柄");
    for (int32_t cell = 0; cell < 12; ++cell) {
        SeriesRecord daily = DailyBars(200, 300 + 250 * cell, 11 + cell);
        const std::string title =
            std::to_string(1301 + cell) + "100 とても長い銘柄名の株式会社" + std::to_string(cell);
        ASSERT_TRUE(
            PrintCandleCell(document.Page(), daily, 100, title, cell, 12, PrintChartOptions{}));
    }
    const RenderedPages rendered = document.Finish("print_daily_cells");
    ExpectPrintedPages(rendered, 1);
    const QImage& page = rendered.Pages[0];
    const int w = page.width() / 4;
    const int h = page.height() / 3;
    for (int cell = 0; cell < 12; ++cell)
        EXPECT_GT(InkShare(page.copy(cell % 4 * w, cell / 4 * h, w, h)), 0.01) << cell;
}

TEST(PrintedCharts, NineKagiCells) {
    PrintedDocument document;
    document.Header("鈎足 9銘柄");
    PrintChartOptions conversion;
    conversion.ConversionColouring = true;
    for (int32_t cell = 0; cell < 9; ++cell) {
        KagiFixture kagi = MarkedKagi(20 + cell);
        ASSERT_TRUE(PrintKagiCell(document.Page(), kagi.record, 40, "銘柄" + std::to_string(cell),
                                  cell, 9, conversion, kagi.Tables()));
    }
    const RenderedPages rendered = document.Finish("print_kagi_cells");
    ExpectPrintedPages(rendered, 1);
    EXPECT_GT(ColouredPixels(rendered.Pages[0]), 1000);
}

TEST(PrintedCharts, BlackAndWhitePageHasNoColour) {
    PrintedDocument document;
    PrintChartOptions mono;
    mono.Monochrome = true;
    mono.ConversionColouring = true;
    mono.HalfPage = true;
    SeriesRecord daily = MarkedDailyBars();
    KagiFixture kagi = MarkedKagi();
    document.Header("7203100 テスト自動車 [日足・鈎足]");
    ASSERT_TRUE(PrintCandleChart(document.Page(), daily, 120, mono));
    ASSERT_TRUE(PrintKagiChart(document.Page(), kagi.record, 50, mono, kagi.Tables()));
    const RenderedPages rendered = document.Finish("print_black_and_white");
    ExpectPrintedPages(rendered, 1);
    EXPECT_EQ(ColouredPixels(rendered.Pages[0]), 0);
}

// Errors end a printed procedure with false and no message box (the strict sink would
// fail the test on one); an empty series prints nothing and succeeds.
TEST(PrintedCharts, FailuresAreSilentAndEmptySeriesSucceed) {
    PrintedDocument document;
    document.Header("失敗");
    SeriesRecord empty;
    empty.ChartKind = kChartDaily;
    empty.PriceDivisor = 7;
    EXPECT_TRUE(PrintCandleChart(document.Page(), empty, 100, PrintChartOptions{}));
    EXPECT_TRUE(PrintCandleCell(document.Page(), empty, 100, "空", 0, 4, PrintChartOptions{}));
    KagiFixture none(0, 800, 1);
    none.record.PriceDivisor = 7;
    EXPECT_TRUE(PrintKagiChart(document.Page(), none.record, 50, {}, none.Tables()));
    EXPECT_EQ(none.record.PriceDivisor, 7);

    KagiFixture broken = MarkedKagi();
    broken.record.Points[55].High = 99;  // a mark index past the table
    EXPECT_FALSE(PrintKagiChart(document.Page(), broken.record, 50, {}, broken.Tables()));
    EXPECT_FALSE(PrintKagiChartCell(document.Page(), broken.record, 50, 0, 4, {}, broken.Tables()));
    EXPECT_FALSE(PrintKagiCell(document.Page(), broken.record, 50, "x", 0, 0, {}, broken.Tables()));
    SeriesRecord daily = MarkedDailyBars();
    EXPECT_FALSE(PrintCandleCell(document.Page(), daily, 100, "x", 0, 0, PrintChartOptions{}));
    daily.Count = 500;  // more points than the record holds
    EXPECT_FALSE(PrintCandleChart(document.Page(), daily, 100, PrintChartOptions{}));
    EXPECT_EQ(document.Finish("print_failures").PageCount, 1);
}

}  // namespace
