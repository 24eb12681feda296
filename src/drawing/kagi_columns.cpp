#include "drawing/kagi_columns.h"

#include "platform/number_format.h"

namespace {

bool DrawsPartBeforeSplit(int16_t code) {
    return code == 12 || code == 15 || code == 16;
}
bool DrawsPartAfterSplit(int16_t code) {
    return code == 11 || code == 15 || code == 16;
}

}  // namespace

const RuleHit* RuleMarkOf(const SeriesPoint& stroke, const KagiTables& tables) {
    const int64_t index = RoundHalfEven(stroke.High);
    if (index < 0) return nullptr;
    if (index >= static_cast<int64_t>(tables.RuleMarkTable.size())) ThrowIndexError();
    return &tables.RuleMarkTable[static_cast<size_t>(index)];
}

KagiColumnPainter::KagiColumnPainter(Surface& pane, const KagiColumnStyle& style,
                                     const KagiTables& tables, double divisor,
                                     const SeriesPoint& firstShown)
    : pane_(pane),
      style_(style),
      tables_(tables),
      divisor_(divisor),
      running_(StartPaint(firstShown.Low)) {}

KagiPaint KagiColumnPainter::Direction(const SeriesPoint& stroke) const {
    const bool falling = stroke.Open / divisor_ > stroke.Close / divisor_;
    if (style_.Monochrome) return {kBlack, falling ? FillStyle::Solid : FillStyle::Transparent};
    return {falling ? kFallingColor : kRisingColor, FillStyle::Solid};
}

void KagiColumnPainter::Paint(int32_t slot, const SeriesPoint& stroke) {
    const double x1 = KagiSlotLeft(slot);
    double start = stroke.Open / divisor_;
    const KagiPaint direction = Direction(stroke);
    const RuleHit* mark = RuleMarkOf(stroke, tables_);
    if (mark && !mark->Side.empty())
        start = ApplySignal(x1, start, mark->SignalPrice / divisor_, direction);
    Column(x1, start, stroke, direction);
}

// The stroke keeps in Low the platform colour number of the signal it opened under
// (0, 255 or 16711680).
KagiPaint KagiColumnPainter::StartPaint(double signalColour) const {
    const auto colour = static_cast<ColorNumber>(RoundHalfEven(signalColour));
    if (!style_.Monochrome) return {colour, FillStyle::Solid};
    if (colour == kRisingColor) return {kBlack, FillStyle::Transparent};
    if (colour == kFallingColor) return {kBlack, FillStyle::Solid};
    return {kBlack, FillStyle::HorizontalLine};
}

// A signal switches the running paint; under conversion colouring the part of the stroke up
// to the signal price keeps the paint before it. Returns the new start.
double KagiColumnPainter::ApplySignal(double x1, double start, double signalPrice,
                                      KagiPaint direction) {
    if (style_.ConversionColouring) {
        Box(x1, start, signalPrice, running_);
        start = signalPrice;
    }
    running_ = direction;
    return start;
}

// The column, or at a split join the parts the join code names and the black join line.
void KagiColumnPainter::Column(double x1, double start, const SeriesPoint& stroke,
                               KagiPaint direction) {
    const double end = stroke.Close / divisor_;
    const KagiPaint strokePaint = style_.ConversionColouring ? running_ : direction;
    if (stroke.JoinLink < 0) {
        Box(x1, start, end, strokePaint);
        return;
    }
    if (stroke.JoinLink >= static_cast<int64_t>(tables_.KagiJoinTable.size())) ThrowIndexError();
    const KagiJoinRec& join = tables_.KagiJoinTable[static_cast<size_t>(stroke.JoinLink)];
    const double oldEnd = join.OldEndPrice / divisor_;
    const double newStart = join.NewStartPrice / divisor_;
    running_ = {kBlack, style_.Monochrome ? FillStyle::HorizontalLine : FillStyle::Solid};
    if (DrawsPartBeforeSplit(stroke.SplitFlag)) Box(x1, start, oldEnd, strokePaint);
    if (style_.DottedJoin) pane_.SetDrawStyle(DrawStyle::Dotted);
    pane_.Line(x1 + 50, oldEnd, x1 + 50, newStart, kBlack);
    pane_.SetDrawStyle(DrawStyle::Solid);
    if (DrawsPartAfterSplit(stroke.SplitFlag))
        Box(x1, newStart, end, style_.ConversionColouring ? running_ : direction);
}

void KagiColumnPainter::Box(double x1, double from, double to, KagiPaint paint) {
    if (!style_.OnPaper) {
        pane_.FilledBox(x1, from, x1 + 100, to, paint.Color);
        return;
    }
    pane_.SetFillStyle(paint.Fill);
    pane_.SetFillColor(paint.Color);
    pane_.Box(x1, from, x1 + 100, to, paint.Color);
}
