#include "drawing/printed_kagi_chart.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "analysis/lines_geometry.h"
#include "drawing/print_page.h"

namespace {

KagiColumnPainter PrintedColumns(Surface& page, const PrintChartOptions& options,
                                 const KagiTables& tables, double divisor, const SeriesPoint& first,
                                 bool dottedJoin) {
    const KagiColumnStyle style{.ConversionColouring = options.ConversionColouring,
                                .OnPaper = true,
                                .Monochrome = options.Monochrome,
                                .DottedJoin = dottedJoin};
    return {page, style, tables, divisor, first};
}

// The strokes' range: from the first shown start price, at least 10 price units high.
PriceRange KagiRange(const std::vector<SeriesPoint>& strokes, ShownWindow window) {
    PriceRange range{strokes.at(window.Start).Open + 10, strokes.at(window.Start).Open};
    for (int32_t i = window.Start; i < window.End; ++i) {
        range.Top = std::max(range.Top, strokes[i].Close);
        range.Bottom = std::min(range.Bottom, strokes[i].Close);
    }
    return range;
}

// The end of the barrier boxes and of the line clipping: the empty slots on the right too.
int32_t SlackEnd(ShownWindow window, int32_t displayCount, int32_t count) {
    return static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(window.Start) + displayCount,
                                                  static_cast<int64_t>(count) + kFullChartSlack));
}

void SetPageScale(Surface& page, const PageScale& scale) {
    page.SetScale(scale.Left, scale.Top, scale.Right, scale.Bottom);
}

// The whole chart on a page or a half page, or in a cell of the four-chart page.
struct FullChartForm {
    std::optional<CellPosition> Cell;  // none: on the page
};

struct FullChartGeometry {
    PageScale Scale;
    double M = 0;
    double Mx = 0;
};

void PrintFullKagi(Surface& printer, SeriesRecord& record, int32_t displayCount,
                   const PrintChartOptions& options, const KagiTables& tables,
                   const FullChartForm& form) {
    RequirePoints(record);
    if (record.Count < 1) return;
    const auto& strokes = record.Points;
    const bool inCell = form.Cell.has_value();
    const bool half = !inCell && options.HalfPage;
    const PageTwips sheet{printer.WidthTwips(), printer.HeightTwips()};
    const PageTwips page{sheet.Width, half ? sheet.Height / 2 : sheet.Height};

    const ShownWindow window =
        ShowWindow(record.FirstShownPoint, displayCount, record.Count, kFullChartSlack);
    const int32_t e10 = SlackEnd(window, displayCount, record.Count);
    const double width = KagiWidth(displayCount);
    const MarkFontSizes sizes =
        inCell ? MarkFontSizes{8, 4} : PrintedMarkFontSizes(sheet, displayCount);

    PriceRange range = KagiRange(strokes, window);
    double divisor = ThousandDivisor(range.Top, "0.00");
    record.PriceDivisor = divisor;
    range.Top /= divisor;
    range.Bottom /= divisor;

    const auto geometry = [&] {
        if (inCell) {
            const CellLayout cell =
                KagiChartCellLayout(sheet, *form.Cell, range.Top, range.Bottom, width);
            return FullChartGeometry{cell.Scale, cell.UnitY, cell.UnitX};
        }
        const KagiPageLayout layout = KagiChartLayout(sheet, half, range.Top, range.Bottom, width);
        return FullChartGeometry{layout.Scale, layout.M, layout.Mx};
    };
    SetPageScale(printer, geometry().Scale);

    // The rule texts of the highest and the lowest mark need room on the page.
    const double lineTwips = inCell ? 160 : sizes.Full * 20.0;
    const double measureHeight = inCell ? sheet.Height * 0.34 : page.Height;
    range = WidenForRuleTexts(strokes, window, tables.RuleMarkTable, range, divisor,
                              printer.TextHeight("ろ"), lineTwips, measureHeight);
    if (divisor == 1 && ThousandDivisor(range.Top, "0.00") == 1000) {
        divisor = 1000;
        record.PriceDivisor = divisor;
        range.Top /= divisor;
        range.Bottom /= divisor;
    }
    const FullChartGeometry frame = geometry();
    SetPageScale(printer, frame.Scale);
    const double top = range.Top;
    const double bottom = range.Bottom;
    const bool mono = options.Monochrome;

    if (inCell) {
        const double frameX = width + 1.55 * frame.Mx;
        const double frameY = bottom - 0.25 * frame.M;
        printer.Line(0, frameY, frameX, frameY, kBlack);
        printer.Line(frameX, top + 0.5 * frame.M, frameX, frameY, kBlack);
    }

    PrintBarriers(printer, record.KanmonSlots, top, bottom, divisor, KagiWidth(e10 - window.Start),
                  kBarrierColor, mono);
    const PrintPriceBand band{top * divisor, bottom * divisor, window.Start, e10 - 1};
    PrintShasenLines(printer, ClipShasenLines(record.ShasenSlots, band, kChartKagi), window.Start,
                     kChartKagi, divisor, false, mono);

    const DigitSize digit =
        PrintGridAndLabels(printer, top, bottom, width, width + (inCell ? 1.3 : 0.9) * frame.Mx,
                           divisor, inCell ? 8 : 10, true);

    SetRegularFont(printer, sizes.Full);
    const double markWidth = printer.TextWidth("ろ");
    const double markHeight = printer.TextHeight("ろ");
    KagiColumnPainter painter =
        PrintedColumns(printer, options, tables, divisor, strokes[window.Start], inCell);
    for (int32_t i = window.Start; i < window.End; ++i) {
        const SeriesPoint& stroke = strokes[i];
        const int32_t slot = i - window.Start;
        const double x1 = KagiSlotLeft(slot);
        if (!inCell && stroke.SplitFlag > 0) {
            DrawSplitLine(printer, x1 + 50, top, bottom, kBlack);
            DrawSplitText(printer, x1 + 50, top, stroke.SplitRatio, 9, digit.Width);
        }
        if (const RuleHit* mark = RuleMarkOf(stroke, tables)) {
            // The frame of the rule text stays hollow whatever the last column was filled with.
            printer.SetFillStyle(FillStyle::Transparent);
            DrawRuleMark(printer, *mark, x1, stroke.Open / divisor, stroke.Close / divisor,
                         mark->SignalPrice / divisor, painter.Direction(stroke).Color, sizes,
                         markWidth, markHeight, options.FrameRuleText);
        }
        painter.Paint(slot, stroke);
    }

    // The dates hang under the range in a cell; on the page they get a scale of their own.
    double base = bottom;
    double tickEnd = bottom - frame.M;
    if (!inCell) {
        const KagiDateLayout layout = KagiDateAxisLayout(sheet, half, width);
        SetPageScale(printer, layout.Scale);
        base = 0;
        tickEnd = layout.TickEnd;
    }
    PrintedDateRows dates(printer, width, base, tickEnd, 0.5, true, inCell ? 8 : 9);
    for (int32_t i = window.Start; i < window.End; ++i)
        dates.Step(KagiSlotLeft(i - window.Start), strokes[i].DateText);
}

// Every printed kagi procedure ends with the fill style transparent, also after an error.
bool RunKagiPrint(Surface& printer, const std::function<void()>& body) {
    const bool done = RunPrintedDrawing(body);
    printer.SetFillStyle(FillStyle::Transparent);
    return done;
}

}  // namespace

bool PrintKagiChart(Surface& printer, SeriesRecord& record, int32_t displayCount,
                    const PrintChartOptions& options, const KagiTables& tables) {
    return RunKagiPrint(printer, [&] {
        PrintFullKagi(printer, record, displayCount, options, tables, FullChartForm{});
    });
}

bool PrintKagiChartCell(Surface& printer, SeriesRecord& record, int32_t displayCount,
                        int32_t cellIndex, int32_t cellCount, const PrintChartOptions& options,
                        const KagiTables& tables) {
    return RunKagiPrint(printer, [&] {
        const FullChartForm form{CellGridPosition(cellCount, cellIndex)};
        PrintFullKagi(printer, record, displayCount, options, tables, form);
    });
}

bool PrintKagiCell(Surface& printer, SeriesRecord& record, int32_t displayCount,
                   const std::string& title, int32_t cellIndex, int32_t cellsPerPage,
                   const PrintChartOptions& options, const KagiTables& tables) {
    return RunKagiPrint(printer, [&] {
        RequirePoints(record);
        if (record.Count < 1) return;
        const auto& strokes = record.Points;
        const PageTwips sheet{printer.WidthTwips(), printer.HeightTwips()};
        const CellPosition cell = CellGridPosition(cellsPerPage, cellIndex);
        const ShownWindow window =
            ShowWindow(record.FirstShownPoint, displayCount, record.Count, kFullChartSlack);
        const double width = KagiWidth(displayCount);

        PriceRange range = KagiRange(strokes, window);
        const double divisor = ThousandDivisor(range.Top, "0.00");
        record.PriceDivisor = divisor;
        const double top = range.Top / divisor;
        const double bottom = range.Bottom / divisor;

        const CellLayout layout = ChartCellLayout(sheet, cell, top, bottom, width);
        SetPageScale(printer, layout.Scale);
        PrintCellFrameAndTitle(printer, top, bottom, width, layout.UnitY, layout.UnitX, title);

        KagiColumnPainter painter =
            PrintedColumns(printer, options, tables, divisor, strokes[window.Start], false);
        for (int32_t i = window.Start; i < window.End; ++i) {
            const int32_t slot = i - window.Start;
            if (strokes[i].SplitFlag > 0)
                DrawSplitLine(printer, KagiSlotLeft(slot) + 50, top, bottom, kBlack);
            painter.Paint(slot, strokes[i]);
        }
    });
}
