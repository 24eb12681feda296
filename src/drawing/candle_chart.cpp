#include "drawing/candle_chart.h"

namespace {

ColorNumber CandleColor(const SeriesPoint& point) {
    return point.Open > point.Close ? kFallingColor : kRisingColor;
}

// Body over the whole slot (neighbours touch), then the wick over it. A bar without trade
// leaves its slot empty.
void DrawCandle(Surface& pane, int32_t slot, const SeriesPoint& point, double divisor) {
    if (!(point.Volume > 0)) return;
    const double xl = SlotLeft(slot);
    const ColorNumber color = CandleColor(point);
    pane.FilledBox(xl, point.Open / divisor, xl + 100, point.Close / divisor, color);
    pane.Line(xl + 50, point.High / divisor, xl + 50, point.Low / divisor, color);
}

}  // namespace

bool DrawCandleChart(const ChartPanes& panes, SeriesRecord& record, int32_t displayCount) {
    return RunScreenDrawing([&] {
        const ClearedPanes cleared = ClearChartPanes(panes);
        Surface& price = cleared.Price;
        Surface& labels = cleared.Labels;
        Surface& volume = cleared.Volume;
        Surface& dates = cleared.Dates;
        if (record.Count < 1) return;
        const auto& points = record.Points;

        const ShownWindow window = ClampShownWindow(record, displayCount, kFullChartSlack);

        const auto [top, bottom, volumeTop, divisor, volumeDivisor] =
            CandleChartScale(points, window);
        record.PriceDivisor = divisor;

        const double dateHeight = dates.HeightTwips();
        const double width = CandleWidth(displayCount);

        price.SetScale(0, top, width, bottom);
        labels.SetScale(0, top, width, bottom);
        volume.SetScale(0, volumeTop, width, 0);
        dates.SetScale(0, dateHeight, width, 0);
        // A tiny volume still shows as a bar.
        const double minimumVolume = 0.03 * volumeTop;

        DrawGridAndLabels(price, labels, top, bottom, width, divisor);

        const double digitWidth = dates.TextWidth("0");
        DateAxis axis(dates, width, record.ChartKind != kChartMonthly, true);
        const double splitOffset = SplitOffset(record.ChartKind);

        for (int32_t i = window.Start; i < window.End; ++i) {
            const int32_t slot = i - window.Start;
            const SeriesPoint& point = points[i];
            const double xl = SlotLeft(slot);
            if (point.SplitFlag > 0) {
                DrawSplitLine(price, xl + splitOffset, top, bottom);
                DrawSplitText(price, xl + splitOffset, top, point.SplitRatio, labels.FontSize(),
                              digitWidth);
            }
            DrawCandle(price, slot, point, divisor);
            if (point.Volume > 0) {
                const double v = std::max(point.Volume / volumeDivisor, minimumVolume);
                volume.FilledBox(xl, 0, xl + 100, v, kVolumeColor);
            }
            if (i > window.Start) DrawAverageSegments(price, slot, points[i - 1], point, divisor);
            axis.Step(xl, point.DateText);
        }
    });
}

bool DrawCandleCell(Surface& cell, SeriesRecord& record, int32_t displayCount) {
    return RunScreenDrawing([&] {
        cell.Clear();
        if (record.Count < 1) return;
        const auto& points = record.Points;

        const ShownWindow window = ClampShownWindow(record, displayCount, 0);

        // The highest high touches the top edge; only the bottom gets a margin, and the
        // split lines stop at the range bottom above it.
        const PriceRange range = CandlePriceRange(points, window);
        double top = range.Top;
        double splitBottom = range.Bottom;
        double bottom = range.Bottom - (range.Top - range.Bottom) * 0.02;
        const double width = CandleWidth(displayCount);

        const double divisor = ThousandDivisor(top, "#.00");
        record.PriceDivisor = divisor;
        top /= divisor;
        bottom /= divisor;
        splitBottom /= divisor;

        cell.SetScale(0, top, width, bottom);
        const double splitOffset = SplitOffset(record.ChartKind);
        for (int32_t i = window.Start; i < window.End; ++i) {
            const int32_t slot = i - window.Start;
            const SeriesPoint& point = points[i];
            if (point.SplitFlag > 0)
                DrawSplitLine(cell, SlotLeft(slot) + splitOffset, top, splitBottom);
            DrawCandle(cell, slot, point, divisor);
        }
    });
}
