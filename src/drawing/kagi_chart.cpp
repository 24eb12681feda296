#include "drawing/kagi_chart.h"

#include <stdexcept>

#include "analysis/state.h"
#include "platform/number_format.h"

namespace {

// The platform colour number a stroke keeps in Low (0, 255 or 16711680).
ColorNumber SignalColor(double low) {
    return static_cast<ColorNumber>(RoundHalfEven(low));
}

ColorNumber DirectionColor(double start, double end) {
    return start > end ? kFallingColor : kRisingColor;
}

// A stroke's column and prices in its slot.
struct StrokeView {
    double x1;
    double start;
    double end;
    ColorNumber direction;
};
StrokeView ViewOf(const SeriesPoint& stroke, int32_t slot, double divisor) {
    const double start = stroke.Open / divisor;
    const double end = stroke.Close / divisor;
    return {50.0 + 200.0 * slot, start, end, DirectionColor(start, end)};
}

// The stroke's rule mark, or nullptr when it has none.
const RuleHit* MarkOf(const SeriesPoint& stroke, const KagiTables& tables) {
    const int64_t index = RoundHalfEven(stroke.High);
    if (index < 0) return nullptr;
    if (index >= static_cast<int64_t>(tables.RuleMarkTable.size())) ThrowIndexError();
    return &tables.RuleMarkTable[static_cast<size_t>(index)];
}

// The first shown stroke, which opens the price range and the running colour. A window
// scrolled past the last stroke has none: like a range without height, it cannot be scaled.
const SeriesPoint& FirstShownStroke(const SeriesRecord& record, ShownWindow window) {
    if (window.Start >= window.End) throw std::runtime_error(kInvalidValueError);
    return record.Points[static_cast<size_t>(window.Start)];
}

bool DrawsPartBeforeSplit(int16_t code) {
    return code == 12 || code == 15 || code == 16;
}
bool DrawsPartAfterSplit(int16_t code) {
    return code == 11 || code == 15 || code == 16;
}

// The running colour carries from stroke to stroke: the signal colour of the first shown
// stroke, the direction colour after each signal, black after each join.
struct KagiPainter {
    Surface& pane;
    const KagiDrawSettings& settings;
    const KagiTables& tables;
    double divisor;
    ColorNumber running;

    // A signal switches the running colour; under conversion colouring the part of the
    // stroke up to the signal price keeps the colour before it. Returns the new start.
    double ApplySignal(double x1, double start, double signalPrice, ColorNumber direction) {
        if (settings.ConversionColouring) {
            pane.FilledBox(x1, start, x1 + 100, signalPrice, running);
            start = signalPrice;
        }
        running = direction;
        return start;
    }

    // The column, or at a split join the parts the join code names and the black join line.
    void DrawColumn(double x1, double start, const SeriesPoint& stroke, ColorNumber direction) {
        const double end = stroke.Close / divisor;
        const ColorNumber strokeColor = settings.ConversionColouring ? running : direction;
        if (stroke.JoinLink < 0) {
            pane.FilledBox(x1, start, x1 + 100, end, strokeColor);
            return;
        }
        if (stroke.JoinLink >= static_cast<int64_t>(tables.KagiJoinTable.size())) ThrowIndexError();
        const KagiJoinRec& join = tables.KagiJoinTable[static_cast<size_t>(stroke.JoinLink)];
        const double oldEnd = join.OldEndPrice / divisor;
        const double newStart = join.NewStartPrice / divisor;
        running = kBlack;
        if (DrawsPartBeforeSplit(stroke.SplitFlag))
            pane.FilledBox(x1, start, x1 + 100, oldEnd, strokeColor);
        pane.Line(x1 + 50, oldEnd, x1 + 50, newStart, kBlack);
        if (DrawsPartAfterSplit(stroke.SplitFlag))
            pane.FilledBox(x1, newStart, x1 + 100, end,
                           settings.ConversionColouring ? running : direction);
    }
};

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

        const double width = displayCount * 200.0;
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
        KagiPainter painter{price, settings, tables, divisor, SignalColor(first.Low)};

        for (int32_t i = window.Start; i < window.End; ++i) {
            const SeriesPoint& stroke = strokes[i];
            auto [x1, start, end, direction] = ViewOf(stroke, i - window.Start, divisor);
            if (stroke.SplitFlag > 0) {
                DrawSplitLine(price, x1 + 50, top, bottom);
                DrawSplitText(price, x1 + 50, top, stroke.SplitRatio, labels.FontSize(),
                              digitWidth);
            }
            if (const RuleHit* mark = MarkOf(stroke, tables)) {
                const double signalPrice = mark->SignalPrice / divisor;
                DrawRuleMark(price, *mark, x1, start, end, signalPrice, direction, sizes, markWidth,
                             markHeight, settings.FrameRuleText);
                if (!mark->Side.empty())
                    start = painter.ApplySignal(x1, start, signalPrice, direction);
            }
            painter.DrawColumn(x1, start, stroke, direction);
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

        cell.SetScale(0, top, displayCount * 200.0, bottom);
        KagiPainter painter{cell, settings, tables, divisor, SignalColor(first.Low)};
        for (int32_t i = window.Start; i < window.End; ++i) {
            const SeriesPoint& stroke = strokes[i];
            auto [x1, start, end, direction] = ViewOf(stroke, i - window.Start, divisor);
            if (stroke.SplitFlag > 0) DrawSplitLine(cell, x1 + 50, top, lowestEnd);
            const RuleHit* mark = MarkOf(stroke, tables);
            if (mark && !mark->Side.empty())
                start = painter.ApplySignal(x1, start, mark->SignalPrice / divisor, direction);
            painter.DrawColumn(x1, start, stroke, direction);
        }
    });
}
