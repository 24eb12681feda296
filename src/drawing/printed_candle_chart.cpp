#include "drawing/printed_candle_chart.h"

#include <algorithm>

#include "analysis/lines_geometry.h"
#include "drawing/chart_frame.h"
#include "drawing/print_page.h"

namespace {

void SetPageScale(Surface& page, const PageScale& scale) {
    page.SetScale(scale.Left, scale.Top, scale.Right, scale.Bottom);
}

bool Within(double value, double low, double high) {
    return low <= value && value <= high;
}

// An average segment is left out, not cut, when one of its ends leaves the range.
void PrintAverageSegments(Surface& page, int32_t slot, const SeriesPoint& previous,
                          const SeriesPoint& point, double divisor, double top, double bottom,
                          bool monochrome) {
    const double x0 = 100.0 * slot;
    const auto segment = [&](double from, double to, ColorNumber color) {
        from /= divisor;
        to /= divisor;
        if (from > 0 && to > 0 && Within(from, bottom, top) && Within(to, bottom, top))
            page.Line(x0, from, x0 + 100, to, monochrome ? kBlack : color);
    };
    segment(previous.Ma1, point.Ma1, kMa1Color);
    segment(previous.Ma2, point.Ma2, kMa2Color);
}

}  // namespace

bool PrintCandleChart(Surface& printer, SeriesRecord& record, int32_t displayCount,
                      const PrintChartOptions& options) {
    return RunPrintedDrawing([&] {
        RequirePoints(record);
        if (record.Count < 1) return;
        const auto& points = record.Points;
        const bool mono = options.Monochrome;
        const PageTwips page{printer.WidthTwips(), printer.HeightTwips()};

        const ShownWindow window =
            ShowWindow(record.FirstShownPoint, displayCount, record.Count, kFullChartSlack);
        // The barrier boxes and the line clipping reach over the empty slots on the right.
        const int32_t xend = static_cast<int32_t>(
            std::min<int64_t>(static_cast<int64_t>(window.Start) + displayCount,
                              static_cast<int64_t>(record.Count) + kFullChartSlack));

        const auto [top, bottom, volumeTop, divisor, volumeDivisor] =
            CandleChartScale(points, window);
        record.PriceDivisor = divisor;
        const double width = CandleWidth(displayCount);

        const CandlePageLayout layout =
            CandleChartLayout(page, options.HalfPage, top, bottom, width, volumeTop);
        SetPageScale(printer, layout.Price);

        PrintBarriers(printer, record.KanmonSlots, top, bottom, divisor,
                      (xend - window.Start + 1) * 100.0, kAuxiliaryColor, mono);
        const PrintPriceBand band{top * divisor, bottom * divisor, window.Start, xend - 1};
        PrintShasenLines(printer, ClipShasenLines(record.ShasenSlots, band, record.ChartKind),
                         window.Start, record.ChartKind, divisor, true, mono);

        const DigitSize digit = PrintGridAndLabels(printer, top, bottom, width,
                                                   width + 0.9 * layout.Ux, divisor, 10, false);

        const double splitOffset = SplitOffset(record.ChartKind);
        for (int32_t i = window.Start; i < window.End; ++i) {
            const int32_t slot = i - window.Start;
            const SeriesPoint& point = points[i];
            if (point.SplitFlag > 0) {
                const double xs = SlotLeft(slot) + splitOffset;
                DrawSplitLine(printer, xs, top, bottom, kBlack);
                DrawSplitText(printer, xs, top, point.SplitRatio, 9, digit.Width);
            }
            PrintCandle(printer, slot, point, divisor, top, bottom, mono);
            if (i > window.Start)
                PrintAverageSegments(printer, slot, points[i - 1], point, divisor, top, bottom,
                                     mono);
        }

        SetPageScale(printer, layout.Volume);
        PrintedDateRows dates(printer, width, 0, layout.TickEnd, 0.35,
                              record.ChartKind != kChartMonthly, 9);
        printer.SetFillStyle(mono ? FillStyle::Transparent : FillStyle::Solid);
        const ColorNumber volumeColor = mono ? kBlack : kVolumeColor;
        printer.SetFillColor(volumeColor);
        // A tiny volume still shows as a short bar.
        const double shortest = 10 / layout.Uy;
        for (int32_t i = window.Start; i < window.End; ++i) {
            const double xl = SlotLeft(i - window.Start);
            double volume = points[i].Volume / volumeDivisor;
            if (volume > 0) {
                if (volume * layout.Uy < 10) volume = shortest;
                printer.Box(xl, 0, xl + 100, volume, volumeColor);
            }
            dates.Step(xl, points[i].DateText);
        }
    });
}

bool PrintCandleCell(Surface& printer, SeriesRecord& record, int32_t displayCount,
                     const std::string& title, int32_t cellIndex, int32_t cellsPerPage,
                     const PrintChartOptions& options) {
    return RunPrintedDrawing([&] {
        RequirePoints(record);
        if (record.Count < 1) return;
        const auto& points = record.Points;
        const PageTwips page{printer.WidthTwips(), printer.HeightTwips()};
        const CellPosition cell = CellGridPosition(cellsPerPage, cellIndex);

        const ShownWindow window =
            ShowWindow(record.FirstShownPoint, displayCount, record.Count, kFullChartSlack);
        // No margin: the highest high on the top edge, the lowest positive low on the bottom.
        const PriceRange range = CandlePriceRange(points, window);
        const double width = CandleWidth(displayCount);
        const double divisor = ThousandDivisor(range.Top, "#.00");
        record.PriceDivisor = divisor;
        const double top = range.Top / divisor;
        const double bottom = range.Bottom / divisor;

        const CellLayout layout = ChartCellLayout(page, cell, top, bottom, width);
        SetPageScale(printer, layout.Scale);
        PrintCellFrameAndTitle(printer, top, bottom, width, layout.UnitY, layout.UnitX, title);
        // Wicks reach down to the frame line; the split lines stop at the range.
        const double lower = bottom - 0.25 * layout.UnitY;

        const double splitOffset = SplitOffset(record.ChartKind);
        for (int32_t i = window.Start; i < window.End; ++i) {
            const int32_t slot = i - window.Start;
            const SeriesPoint& point = points[i];
            if (point.SplitFlag > 0)
                DrawSplitLine(printer, SlotLeft(slot) + splitOffset, top, bottom, kBlack);
            PrintCandle(printer, slot, point, divisor, top, lower, options.Monochrome);
        }
    });
}
