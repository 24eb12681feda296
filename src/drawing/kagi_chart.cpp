#include "drawing/kagi_chart.h"

#include <stdexcept>

#include "analysis/state.h"

namespace {

// The first shown stroke, which opens the price range and the running colour. A window
// scrolled past the last stroke has none: like a range without height, it cannot be scaled.
const SeriesPoint& FirstShownStroke(const SeriesRecord& record, ShownWindow window) {
    if (window.Start >= window.End) throw std::runtime_error(kInvalidValueError);
    return record.Points[static_cast<size_t>(window.Start)];
}

KagiColumnPainter ScreenColumns(Surface& pane, const KagiDrawSettings& settings,
                                const KagiTables& tables, double divisor,
                                const SeriesPoint& first) {
    return {pane, {.ConversionColouring = settings.ConversionColouring}, tables, divisor, first};
}

}  // namespace

// The arrow at the signal price and the rule text written down beside the column, one
// character a line, each "ろ" half a line at half size; optionally framed for a signal.
void DrawRuleMark(Surface& price, const RuleHit& mark, double x1, double start, double end,
                  double signalPrice, ColorNumber direction, const MarkFontSizes& sizes,
                  double markWidth, double markHeight, bool frame) {
    const double h = markHeight;
    const double x2 = x1 + 100;
    price.Line(x1, signalPrice, x1 - 200, signalPrice, direction);
    price.Line(x1, signalPrice, x1 - 100, signalPrice - h / 2, direction);
    price.Line(x1, signalPrice, x1 - 100, signalPrice + h / 2, direction);

    const RuleTextLayout layout = LayOutRuleText(mark.RuleText, start, end, h);
    for (const RuleTextLine& line : layout.Lines) {
        price.SetForeColor(direction);
        price.SetCurrentY(line.Top);
        price.SetFontSize(line.Half ? sizes.Half : sizes.Full);
        price.SetCurrentX(x2 - (line.Half ? markWidth / 2 : markWidth));
        price.Print(line.Character);
    }
    if (frame && !mark.Side.empty())
        price.Box(x2 - 1.075 * markWidth, layout.Top + 0.1 * h, x2, layout.Bottom, direction);
}

// The code points of a UTF-8 text, one string each.
static std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> characters;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        characters.push_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

RuleTextLayout LayOutRuleText(const std::string& ruleText, double strokeStart, double strokeEnd,
                              double markHeight) {
    const double h = markHeight;
    const std::vector<std::string> characters = Characters(ruleText);
    RuleTextLayout layout;
    // Above the top where a falling stroke starts, below the bottom where a rising one does.
    layout.Top = strokeStart > strokeEnd ? strokeStart + h * 0.5 + characters.size() * 0.833 * h
                                         : strokeStart - h * 0.5;
    double y = layout.Top;
    for (const std::string& character : characters) {
        const bool half = character == "ろ";
        layout.Lines.push_back({character, y, half});
        y -= half ? h / 2 : h;
    }
    layout.Bottom = y;
    return layout;
}

KagiTables CurrentKagiTables() {
    return {RuleMarks().RuleMarkTable, Series().KagiJoinTable};
}

bool DrawKagiChart(const ChartPanes& panes, SeriesRecord& record, int32_t displayCount,
                   const KagiDrawSettings& settings, const KagiTables& tables) {
    return RunScreenDrawing([&] {
        const ClearedPanes cleared = ClearChartPanes(panes);
        Surface& price = cleared.Price;
        Surface& labels = cleared.Labels;
        Surface& dates = cleared.Dates;
        if (record.Count < 1) return;
        const auto& strokes = record.Points;

        const ShownWindow window = ClampShownWindow(record, displayCount, kFullChartSlack);

        const MarkFontSizes sizes =
            KagiMarkFontSizes(price.WidthTwips(), price.HeightTwips(), displayCount);
        price.SetFontSize(sizes.Full);

        // No floor and no minimum span: the strokes' own extremes.
        const SeriesPoint& first = FirstShownStroke(record, window);
        double top = first.Open;
        double bottom = top;
        for (int32_t i = window.Start; i < window.End; ++i) {
            if (strokes[i].Close > top) top = strokes[i].Close;
            if (strokes[i].Close < bottom) bottom = strokes[i].Close;
        }
        double divisor = ThousandDivisor(top, "0.00");
        record.PriceDivisor = divisor;
        top /= divisor;
        bottom /= divisor;

        const double width = KagiWidth(displayCount);
        const double dateHeight = dates.HeightTwips();
        price.SetScale(0, top, width, bottom);
        labels.SetScale(0, top, width, bottom);
        dates.SetScale(0, dateHeight, width, 0);

        const double margin = (top - bottom) * 0.09;
        top += margin;
        bottom -= margin;
        // The margin may push the top into seven digits; prices already in thousands stay.
        if (divisor == 1 && ThousandDivisor(top, "0.00") == 1000) {
            divisor = 1000;
            record.PriceDivisor = divisor;
            top /= divisor;
            bottom /= divisor;
        }
        for (Surface* pane : {&price, &labels}) {
            pane->SetScaleTop(top);
            pane->SetScaleHeight(bottom - top);
        }

        DrawGridAndLabels(price, labels, top, bottom, width, divisor);

        const double markWidth = price.TextWidth("ろ");
        const double markHeight = price.TextHeight("ろ");
        const double digitWidth = dates.TextWidth("0");
        DateAxis axis(dates, width, true, false);
        KagiColumnPainter painter = ScreenColumns(price, settings, tables, divisor, first);

        for (int32_t i = window.Start; i < window.End; ++i) {
            const SeriesPoint& stroke = strokes[i];
            const int32_t slot = i - window.Start;
            const double x1 = KagiSlotLeft(slot);
            if (stroke.SplitFlag > 0) {
                DrawSplitLine(price, x1 + 50, top, bottom);
                DrawSplitText(price, x1 + 50, top, stroke.SplitRatio, labels.FontSize(),
                              digitWidth);
            }
            if (const RuleHit* mark = RuleMarkOf(stroke, tables))
                DrawRuleMark(price, *mark, x1, stroke.Open / divisor, stroke.Close / divisor,
                             mark->SignalPrice / divisor, painter.Direction(stroke).Color, sizes,
                             markWidth, markHeight, settings.FrameRuleText);
            painter.Paint(slot, stroke);
            axis.Step(x1, stroke.DateText);
        }
    });
}

bool DrawKagiCell(Surface& cell, SeriesRecord& record, int32_t displayCount,
                  const KagiDrawSettings& settings, const KagiTables& tables) {
    return RunScreenDrawing([&] {
        cell.Clear();
        if (record.Count < 1) return;
        const auto& strokes = record.Points;

        const ShownWindow window = ClampShownWindow(record, displayCount, 0);

        // At least 10 price units high, so a flat series is not stretched over the cell.
        const SeriesPoint& first = FirstShownStroke(record, window);
        double bottom = first.Open;
        double top = bottom + 10;
        for (int32_t i = window.Start; i < window.End; ++i) {
            if (strokes[i].Close > top) top = strokes[i].Close;
            if (strokes[i].Close < bottom) bottom = strokes[i].Close;
        }
        double lowestEnd = bottom;
        bottom -= (top - bottom) * 0.02;
        const double divisor = ThousandDivisor(top, "0.00");
        record.PriceDivisor = divisor;
        top /= divisor;
        bottom /= divisor;
        lowestEnd /= divisor;

        cell.SetScale(0, top, KagiWidth(displayCount), bottom);
        KagiColumnPainter painter = ScreenColumns(cell, settings, tables, divisor, first);
        for (int32_t i = window.Start; i < window.End; ++i) {
            const int32_t slot = i - window.Start;
            if (strokes[i].SplitFlag > 0)
                DrawSplitLine(cell, KagiSlotLeft(slot) + 50, top, lowestEnd);
            painter.Paint(slot, strokes[i]);
        }
    });
}
