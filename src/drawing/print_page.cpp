#include "drawing/print_page.h"

#include <cmath>
#include <stdexcept>

#include "foundation/text_utils.h"
#include "platform/number_format.h"

namespace {

constexpr double kTwipsPerMm = 1440 / 25.4;

// Cells of a grid: each box is the range with 0.75 units above and below and half an x unit
// on the right, `gap` units between boxes; `(rows + 1.5)` units over the first row, `rows`
// under the last and `columns` beside the outer columns.
CellLayout GridCell(PageTwips page, const CellPosition& cell, double top, double bottom,
                    double width, double gap) {
    CellLayout layout;
    layout.UnitY = kTwoCm / (page.Height - 5 * kTwipsPerCm) * (top - bottom);
    layout.UnitX = kTwoCm / (page.Width - 5 * kTwipsPerCm) * width;
    const double u = layout.UnitY;
    const double ux = layout.UnitX;
    const double boxTop = top + 0.75 * u;
    const double boxBottom = bottom - 0.75 * u;
    const double boxRight = width + 0.5 * ux;
    const double pitchY = boxTop - boxBottom + gap * u;
    const double pitchX = boxRight + gap * ux;
    layout.Scale.Top = boxTop + cell.Row * pitchY + (cell.Rows + 1.5) * u;
    layout.Scale.Bottom = boxBottom - cell.RowsBelow * pitchY - cell.Rows * u;
    layout.Scale.Left = -cell.Column * pitchX - cell.Columns * ux;
    layout.Scale.Right = boxRight + cell.ColumnsRight * pitchX + cell.Columns * ux;
    return layout;
}

}  // namespace

PageTwips PaperTwips(PaperSize size, bool landscape) {
    const double shortMm = size == PaperSize::A3 ? 297 : 210;
    const double longMm = size == PaperSize::A3 ? 420 : 297;
    const double shortSide = std::round(shortMm * kTwipsPerMm);
    const double longSide = std::round(longMm * kTwipsPerMm);
    return landscape ? PageTwips{longSide, shortSide} : PageTwips{shortSide, longSide};
}

CellPosition CellGridPosition(int32_t cells, int32_t index) {
    if (cells < 1) throw std::domain_error("0 で除算しました。");
    CellPosition cell;
    const auto root = static_cast<int32_t>(std::sqrt(static_cast<double>(cells)));
    cell.Rows = root;
    cell.Columns = root * root == cells ? root : root + 1;
    cell.Column = index % cell.Columns;
    cell.Row = index / cell.Columns;
    cell.ColumnsRight = cell.Columns - cell.Column - 1;
    cell.RowsBelow = cell.Rows - cell.Row - 1;
    return cell;
}

CandlePageLayout CandleChartLayout(PageTwips page, bool upperHalf, double top, double bottom,
                                   double width, double volumeTop) {
    const double h = upperHalf ? 1 : 0;
    const double pageHeight = upperHalf ? page.Height / 2 : page.Height;
    CandlePageLayout layout;
    layout.Uy = kTwoCm / (pageHeight - (8 - h) * kTwipsPerCm) * (top - bottom);
    layout.Ux = kTwoCm / (page.Width - 6 * kTwipsPerCm) * width;
    // On the upper half the scale reaches down as far again, over the kagi chart's half.
    const double scaleTop = top + 1.5 * layout.Uy;
    const double y1 = bottom - (2.5 - h) * layout.Uy;
    layout.Price = {-layout.Ux, scaleTop, width + 2 * layout.Ux, y1 - (scaleTop - y1) * h};

    const double vy = (pageHeight - (5 - h) * kTwipsPerCm) / ((2 - h) * kTwipsPerCm) * volumeTop;
    const double volumeScaleTop = vy + volumeTop;
    const double volumeLow = -1.2 * volumeTop;
    layout.Volume = {-layout.Ux, volumeScaleTop, width + 2 * layout.Ux,
                     volumeLow - (volumeScaleTop - volumeLow) * h};
    layout.TickEnd = -0.37 * (h + 1) * volumeTop;
    return layout;
}

CellLayout ChartCellLayout(PageTwips page, const CellPosition& cell, double top, double bottom,
                           double width) {
    return GridCell(page, cell, top, bottom, width, 0);
}

CellLayout KagiChartCellLayout(PageTwips page, const CellPosition& cell, double top, double bottom,
                               double width) {
    return GridCell(page, cell, top, bottom, width, 1);
}

KagiPageLayout KagiChartLayout(PageTwips page, bool lowerHalf, double top, double bottom,
                               double width) {
    const double f = lowerHalf ? 1 : 0;
    const double pageHeight = lowerHalf ? page.Height / 2 : page.Height;
    KagiPageLayout layout;
    layout.M = kTwoCm / (pageHeight - 6 * kTwipsPerCm) * (top - bottom);
    layout.Mx = kTwoCm / (page.Width - 6 * kTwipsPerCm) * width;
    // On the lower half the scale reaches up a further span and margin, over the upper half.
    layout.Scale = {-layout.Mx, top + 1.5 * layout.M + f * (layout.M + (top - bottom)),
                    width + 2 * layout.Mx, bottom - 1.5 * layout.M};
    return layout;
}

KagiDateLayout KagiDateAxisLayout(PageTwips page, bool lowerHalf, double width) {
    const double f = lowerHalf ? 1 : 0;
    const double pageHeight = lowerHalf ? page.Height / 2 : page.Height;
    const double mx = kTwoCm / (page.Width - 6 * kTwipsPerCm) * width;
    const double vd = (pageHeight - (5 - f) * kTwipsPerCm) / ((2 - f) * kTwipsPerCm) * 100;
    const double scaleTop = vd + 100 + f * vd;
    return {{-mx, scaleTop, width + 2 * mx, -120 - 100 * f}, -(f + 1) * 37};
}

MarkFontSizes PrintedMarkFontSizes(PageTwips page, int32_t displayCount) {
    return KagiMarkFontSizes(page.Width, page.Height, displayCount, 8);
}

PriceRange WidenForRuleTexts(const std::vector<SeriesPoint>& strokes, ShownWindow window,
                             const std::vector<RuleHit>& marks, PriceRange range, double divisor,
                             double markHeight, double lineTwips, double measureHeight) {
    const double h0 = markHeight;
    double bestAbove = range.Top + h0;
    double bestBelow = range.Bottom - h0;
    double pTop = range.Top;
    double pBottom = range.Bottom;
    double linesUp = 1;
    double linesDown = 1;
    for (int32_t i = window.Start; i < window.End; ++i) {
        const SeriesPoint& stroke = strokes.at(i);
        const int64_t index = RoundHalfEven(stroke.High);
        if (index < 0) continue;
        if (index >= static_cast<int64_t>(marks.size())) ThrowIndexError();
        const double lines = CharacterCount(marks[static_cast<size_t>(index)].RuleText) + 1;
        const double p = stroke.Open / divisor;
        if (stroke.Open > stroke.Close) {
            const double c = p + lines * h0;
            if (c > bestAbove) bestAbove = c, pTop = p, linesUp = lines;
        } else {
            const double c = p - lines * h0;
            if (c < bestBelow) bestBelow = c, pBottom = p, linesDown = lines;
        }
    }
    double up = lineTwips * linesUp / measureHeight * 100;
    double down = lineTwips * linesDown / measureHeight * 100;
    // Long texts on a short page would take all of it (a division by zero) or more (a scale
    // turned upside down): their share is capped and scaled down together.
    if (up + down > kRuleTextShareCap) {
        const double shrink = kRuleTextShareCap / (up + down);
        up *= shrink;
        down *= shrink;
    }
    const double u = std::max(pTop - pBottom, 0.0) / (100 - (up + down));
    return {std::max(pTop + up * u, range.Top), std::min(pBottom - down * u, range.Bottom)};
}
