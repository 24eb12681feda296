#pragma once
// The arithmetic of printed chart pages, in twips and in the charts' own units: the paper,
// the grid of cells, and the user scales that put a chart's range on its part of the page.
// Pure functions; the printed chart procedures set what they return on the printer.
#include <cstdint>
#include <vector>

#include "analysis/rule_marks.h"
#include "analysis/series.h"
#include "drawing/chart_frame.h"

// One centimetre and the layout unit of two.
constexpr double kTwipsPerCm = 567;
constexpr double kTwoCm = 1134;

enum class PaperSize { A4 = 0, A3 = 1 };  // the order of the print dialog's size list

struct PageTwips {
    double Width = 0;
    double Height = 0;
};
// The whole sheet in twips, upright or on its side.
PageTwips PaperTwips(PaperSize size, bool landscape);

// A cell's place in the grid of n cells a page: C columns (the square root rounded up)
// and R rows (the square root cut), cells counted row by row from the top left.
struct CellPosition {
    int32_t Columns = 1;
    int32_t Rows = 1;
    int32_t Column = 0;
    int32_t Row = 0;
    int32_t ColumnsRight = 0;
    int32_t RowsBelow = 0;
};
// A count below 1 has no grid: a run-time error the printed procedure traps.
CellPosition CellGridPosition(int32_t cells, int32_t index);

// A user scale by its corners: Left/Top is the page's top-left, Right/Bottom its
// bottom-right; prices run upward, so Bottom < Top.
struct PageScale {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};

// ---- The candlestick chart on a page or its upper half ----

struct CandlePageLayout {
    double Uy = 0;  // the price span of 2 cm
    double Ux = 0;  // the x span of 2 cm
    PageScale Price;
    PageScale Volume;
    double TickEnd = 0;  // where the date ticks end under the volume base
};
// pageHeight is the whole sheet's; the upper half takes half of it and leaves the lower
// half to the kagi chart. top/bottom are the scaled range with its margins, width the
// chart's x units, volumeTop the scaled volume top.
CandlePageLayout CandleChartLayout(PageTwips page, bool upperHalf, double top, double bottom,
                                   double width, double volumeTop);

// ---- Cells of the multi-issue pages and of the four-chart page ----

struct CellLayout {
    double UnitY = 0;  // the price span of 2 cm
    double UnitX = 0;  // the x span of 2 cm
    PageScale Scale;
};
// A small chart of the multi-issue pages (candles or kagi): cells touch one another.
CellLayout ChartCellLayout(PageTwips page, const CellPosition& cell, double top, double bottom,
                           double width);
// A kagi chart of the four-chart page: one unit of room between the cells.
CellLayout KagiChartCellLayout(PageTwips page, const CellPosition& cell, double top, double bottom,
                               double width);

// ---- The kagi chart on a page or its lower half ----

struct KagiPageLayout {
    double M = 0;   // the price span of 2 cm
    double Mx = 0;  // the x span of 2 cm
    PageScale Scale;
};
KagiPageLayout KagiChartLayout(PageTwips page, bool lowerHalf, double top, double bottom,
                               double width);
// The date rows under the kagi chart: a scale of its own with the axis at y = 0.
struct KagiDateLayout {
    PageScale Scale;
    double TickEnd = 0;
};
KagiDateLayout KagiDateAxisLayout(PageTwips page, bool lowerHalf, double width);

// The printed kagi chart's mark font sizes: the screen rule on the whole sheet, 8 to 12 points.
MarkFontSizes PrintedMarkFontSizes(PageTwips page, int32_t displayCount);

// ---- Room for the vertical rule texts ----

// The shown strokes' rule marks and the room their texts need: the range is widened so the
// text of the highest falling and the lowest rising marked stroke fit. lineTwips is one text
// line on paper, measureHeight the page height the room is a share of, markHeight the height
// of "ろ" in price units. The share of the page is capped, so long texts never take the whole
// page, and the widened range always holds the range it was given.
PriceRange WidenForRuleTexts(const std::vector<SeriesPoint>& strokes, ShownWindow window,
                             const std::vector<RuleHit>& marks, PriceRange range, double divisor,
                             double markHeight, double lineTwips, double measureHeight);
// The largest share of the page, in percent, that the rule texts may take.
constexpr double kRuleTextShareCap = 60;
