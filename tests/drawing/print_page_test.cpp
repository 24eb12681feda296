// ctest-labels: printchart
// The arithmetic of printed pages: paper sizes, cell grids, where the scales put a chart on
// the sheet (read back in twips), the mark font sizes and the room for rule texts.
#include "drawing/print_page.h"

#include <gtest/gtest.h>

#include "drawing/printed_chart_parts.h"

namespace {

const PageTwips kA4{11906, 16838};

// Where a scale value lands on the sheet, in twips from the left or the top edge.
double TwipsX(const PageScale& scale, PageTwips page, double x) {
    return (x - scale.Left) / (scale.Right - scale.Left) * page.Width;
}
double TwipsY(const PageScale& scale, PageTwips page, double y) {
    return (y - scale.Top) / (scale.Bottom - scale.Top) * page.Height;
}

TEST(PrintPage, PaperSizes) {
    struct Case {
        PaperSize size;
        bool landscape;
        double width;
        double height;
    };
    const Case cases[] = {
        {PaperSize::A4, false, 11906, 16838},
        {PaperSize::A4, true, 16838, 11906},
        {PaperSize::A3, false, 16838, 23811},
        {PaperSize::A3, true, 23811, 16838},
    };
    for (const Case& c : cases) {
        const PageTwips page = PaperTwips(c.size, c.landscape);
        EXPECT_EQ(page.Width, c.width);
        EXPECT_EQ(page.Height, c.height);
    }
}

TEST(PrintPage, CellGrids) {
    struct Case {
        int32_t cells, index, columns, rows, column, row, right, below;
    };
    const Case cases[] = {
        {1, 0, 1, 1, 0, 0, 0, 0}, {4, 0, 2, 2, 0, 0, 1, 1},  {4, 1, 2, 2, 1, 0, 0, 1},
        {4, 2, 2, 2, 0, 1, 1, 0}, {4, 3, 2, 2, 1, 1, 0, 0},  {9, 4, 3, 3, 1, 1, 1, 1},
        {9, 8, 3, 3, 2, 2, 0, 0}, {12, 5, 4, 3, 1, 1, 2, 1}, {12, 11, 4, 3, 3, 2, 0, 0},
    };
    for (const Case& c : cases) {
        const CellPosition cell = CellGridPosition(c.cells, c.index);
        EXPECT_EQ(cell.Columns, c.columns) << c.cells << "/" << c.index;
        EXPECT_EQ(cell.Rows, c.rows) << c.cells << "/" << c.index;
        EXPECT_EQ(cell.Column, c.column) << c.cells << "/" << c.index;
        EXPECT_EQ(cell.Row, c.row) << c.cells << "/" << c.index;
        EXPECT_EQ(cell.ColumnsRight, c.right) << c.cells << "/" << c.index;
        EXPECT_EQ(cell.RowsBelow, c.below) << c.cells << "/" << c.index;
    }
    EXPECT_THROW(CellGridPosition(0, 0), std::domain_error);
}

TEST(PrintPage, MarkFontSizesOnPaper) {
    struct Case {
        PageTwips page;
        int32_t count, full, half;
    };
    const Case cases[] = {
        {kA4, 50, 12, 6},
        {kA4, 100, 8, 4},
        {kA4, 60, 10, 5},
        {kA4, 75, 8, 4},
        {kA4, 20, 12, 6},
        {{16838, 11906}, 70, 12, 6},
        {{23811, 16838}, 100, 12, 6},
    };
    for (const Case& c : cases) {
        const MarkFontSizes sizes = PrintedMarkFontSizes(c.page, c.count);
        EXPECT_EQ(sizes.Full, c.full) << c.page.Width << " " << c.count;
        EXPECT_EQ(sizes.Half, c.half) << c.page.Width << " " << c.count;
    }
}

// The candlestick chart on a whole sheet stands 2 cm from the left, 4 cm from the right,
// 3 cm from the top and 5 cm from the bottom, its volume band 2 cm high about 2.4 cm over
// the bottom edge; on the upper half its scale reaches over the lower half as far again.
TEST(PrintPage, CandleChartOnTheSheetAndItsUpperHalf) {
    for (const PageTwips page : {kA4, PageTwips{16838, 11906}, PageTwips{16838, 23811}}) {
        const CandlePageLayout layout = CandleChartLayout(page, false, 1050, 850, 15100, 40000);
        EXPECT_NEAR(TwipsX(layout.Price, page, 0), 1134, 1e-6);
        EXPECT_NEAR(page.Width - TwipsX(layout.Price, page, 15100), 2268, 1e-6);
        EXPECT_NEAR(TwipsY(layout.Price, page, 1050), 1701, 1e-6);
        EXPECT_NEAR(page.Height - TwipsY(layout.Price, page, 850), 2835, 1e-6);
        const double base = page.Height - TwipsY(layout.Volume, page, 0);
        EXPECT_NEAR(base, 2.4 * 567, 0.1 * 567);
        EXPECT_NEAR(TwipsY(layout.Volume, page, 0) - TwipsY(layout.Volume, page, 40000), 1134,
                    0.1 * 567);
        EXPECT_LT(TwipsY(layout.Volume, page, layout.TickEnd), page.Height);

        const CandlePageLayout half = CandleChartLayout(page, true, 1050, 850, 15100, 40000);
        const double y1 = 850 - 1.5 * half.Uy;
        EXPECT_NEAR(TwipsY(half.Price, page, y1), page.Height / 2, 1e-6);
        EXPECT_LT(TwipsY(half.Price, page, 850), page.Height / 2);
        EXPECT_LT(TwipsY(half.Volume, page, half.TickEnd), page.Height / 2);
    }
}

// Cells of one row take the sheet's width less 5 cm: 2 cm before the first, 1/C cm between
// and 2 + 1/C cm after the last; cells of a column touch one another.
TEST(PrintPage, ChartCellsShareTheSheet) {
    for (const int32_t cells : {4, 9, 12}) {
        const double width = 10100;
        double previousRight = 0;
        for (int32_t index = 0; index < CellGridPosition(cells, 0).Columns; ++index) {
            const CellPosition cell = CellGridPosition(cells, index);
            const CellLayout layout = ChartCellLayout(kA4, cell, 1200, 1000, width);
            const double left = TwipsX(layout.Scale, kA4, 0);
            const double right = TwipsX(layout.Scale, kA4, width);
            if (index == 0) {
                EXPECT_NEAR(left, 1134, 1e-6) << cells;
            } else {
                EXPECT_NEAR(left - previousRight, 567.0 / cell.Columns, 1e-6) << cells;
            }
            if (cell.ColumnsRight == 0) {
                EXPECT_NEAR(kA4.Width - right, 1134 + 567.0 / cell.Columns, 1e-6) << cells;
            }
            previousRight = right;
        }
        const CellPosition first = CellGridPosition(cells, 0);
        for (int32_t row = 0; row + 1 < first.Rows; ++row) {
            const CellLayout upper = ChartCellLayout(
                kA4, CellGridPosition(cells, row * first.Columns), 1200, 1000, width);
            const CellLayout lower = ChartCellLayout(
                kA4, CellGridPosition(cells, (row + 1) * first.Columns), 1200, 1000, width);
            const double upperBoxBottom = TwipsY(upper.Scale, kA4, 1000 - 0.75 * upper.UnitY);
            const double lowerBoxTop = TwipsY(lower.Scale, kA4, 1200 + 0.75 * lower.UnitY);
            EXPECT_NEAR(upperBoxBottom, lowerBoxTop, 1e-6) << cells;
        }
        const CellLayout last =
            ChartCellLayout(kA4, CellGridPosition(cells, cells - 1), 1200, 1000, width);
        EXPECT_LT(TwipsY(last.Scale, kA4, 1000), kA4.Height);
    }
}

// The four-chart page: each chart's range inside its quarter of the sheet.
TEST(PrintPage, FourChartCellsStayInTheirQuarters) {
    const double width = 10000;
    for (int32_t index = 0; index < 4; ++index) {
        const CellPosition cell = CellGridPosition(4, index);
        const CellLayout layout = KagiChartCellLayout(kA4, cell, 900, 650, width);
        const double left = TwipsX(layout.Scale, kA4, 0);
        const double right = TwipsX(layout.Scale, kA4, width);
        const double top = TwipsY(layout.Scale, kA4, 900);
        const double bottom = TwipsY(layout.Scale, kA4, 650);
        EXPECT_GT(left, cell.Column * kA4.Width / 2) << index;
        EXPECT_LT(right, (cell.Column + 1) * kA4.Width / 2) << index;
        EXPECT_GT(top, cell.Row * kA4.Height / 2) << index;
        EXPECT_LT(bottom, (cell.Row + 1) * kA4.Height / 2) << index;
    }
}

// The kagi chart on a whole sheet: 2 cm on the left, 3 cm over and under the range; on the
// lower half the range stands below the middle of the sheet.
TEST(PrintPage, KagiChartOnTheSheetAndItsLowerHalf) {
    const KagiPageLayout whole = KagiChartLayout(kA4, false, 900, 650, 10000);
    EXPECT_NEAR(TwipsX(whole.Scale, kA4, 0), 1134, 1e-6);
    EXPECT_NEAR(TwipsY(whole.Scale, kA4, 900), 1701, 1e-6);
    EXPECT_NEAR(kA4.Height - TwipsY(whole.Scale, kA4, 650), 1701, 1e-6);
    const KagiPageLayout half = KagiChartLayout(kA4, true, 900, 650, 10000);
    EXPECT_GT(TwipsY(half.Scale, kA4, 900), kA4.Height / 2);
    EXPECT_LT(TwipsY(half.Scale, kA4, 650), kA4.Height);

    const KagiDateLayout dates = KagiDateAxisLayout(kA4, false, 10000);
    EXPECT_EQ(dates.TickEnd, -37);
    EXPECT_GT(TwipsY(dates.Scale, kA4, 0), TwipsY(whole.Scale, kA4, 650));
    EXPECT_LT(TwipsY(dates.Scale, kA4, dates.TickEnd), kA4.Height);
    EXPECT_EQ(KagiDateAxisLayout(kA4, true, 10000).TickEnd, -74);
}

SeriesPoint Stroke(double start, double end, double mark) {
    SeriesPoint stroke;
    stroke.Open = start;
    stroke.Close = end;
    stroke.High = mark;
    return stroke;
}

// A falling stroke at the top with a 4-character text and S = 12 reserves five lines of
// 240 twips above its start price; a rising one at the bottom as much below.
TEST(PrintPage, RoomForRuleTexts) {
    const std::vector<RuleHit> marks = {{"売", 0, 0, "", "ろさろ売"}, {"買", 0, 0, "", "ろあ買"}};
    const std::vector<SeriesPoint> strokes = {Stroke(1000, 900, 0), Stroke(900, 950, -1),
                                              Stroke(950, 800, -1), Stroke(800, 980, 1)};
    const ShownWindow window{0, 4};
    const double hp = 16838;
    const PriceRange range = WidenForRuleTexts(strokes, window, marks, {1000, 800}, 1, 4, 240, hp);
    const double up = 240.0 * 5 / hp * 100;
    const double down = 240.0 * 4 / hp * 100;
    const double u = (1000 - 800) / (100 - (up + down));
    EXPECT_DOUBLE_EQ(range.Top, 1000 + up * u);
    EXPECT_DOUBLE_EQ(range.Bottom, 800 - down * u);

    // Without marks one line each way.
    const std::vector<SeriesPoint> plainStrokes = {Stroke(1000, 800, -1), Stroke(800, 900, -1)};
    const PriceRange plain =
        WidenForRuleTexts(plainStrokes, {0, 2}, {}, {1000, 800}, 1, 4, 240, hp);
    EXPECT_GT(plain.Top, 1000);
    EXPECT_LT(plain.Bottom, 800);
    EXPECT_NEAR(plain.Top - 1000, 1000 - (plain.Bottom + 200), 1e-9);

    const std::vector<SeriesPoint> unmarked = {Stroke(1000, 900, 5)};
    EXPECT_THROW(WidenForRuleTexts(unmarked, {0, 1}, marks, {1010, 900}, 1, 4, 240, hp),
                 std::out_of_range);
}

// Texts taller than the page, or marks far inside the range, never flip or lose the range.
TEST(PrintPage, RoomForRuleTextsIsCapped) {
    const std::vector<RuleHit> marks = {{"売", 0, 0, "", "ろさろさろさろさろさ売"}};
    const std::vector<SeriesPoint> strokes = {Stroke(1000, 800, 0), Stroke(800, 1000, -1)};
    for (const double pageHeight : {3000.0, 3360.0, 500.0, 50.0}) {  // 3360: all of it
        const PriceRange range =
            WidenForRuleTexts(strokes, {0, 2}, marks, {1000, 800}, 1, 30, 240, pageHeight);
        EXPECT_TRUE(std::isfinite(range.Top) && std::isfinite(range.Bottom)) << pageHeight;
        EXPECT_GE(range.Top, 1000) << pageHeight;
        EXPECT_LE(range.Bottom, 800) << pageHeight;
    }
    // A falling mark low in the range with a tall text: the top stays at least the range's.
    const std::vector<SeriesPoint> low = {Stroke(820, 800, 0), Stroke(800, 1000, -1)};
    const PriceRange range = WidenForRuleTexts(low, {0, 2}, marks, {1000, 800}, 1, 30, 240, 16838);
    EXPECT_GE(range.Top, 1000);
}

TEST(PrintPage, TitlesAreCutInCharacters) {
    struct Case {
        const char* title;
        double width;
        double digit;
        const char* cut;
    };
    const Case cases[] = {
        {"7203100 テスト自動車", 1000, 65, "7203100 テス"},  // 10 characters
        {"7203100 テスト自動車", 2000, 65, "7203100 テスト自動車"},
        {"ABCDEF", 500, 130, "AB"},    // 2.5 rounds to even
        {"ABCDEF", 700, 130, "ABCD"},  // 3.5 rounds to even
        {"", 1000, 10, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CutTitle(c.title, c.width, c.digit), c.cut) << c.title;
}

}  // namespace
