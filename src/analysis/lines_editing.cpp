#include "analysis/lines_editing.h"

#include <algorithm>

#include "analysis/lines_model.h"
#include "analysis/state.h"
#include "platform/message_box.h"

namespace {

constexpr const char* kOutsideChart = "ﾁｬｰﾄの範囲内で設定してください。";
constexpr const char* kBeforeLastShown = "1つ手前までの範囲で設定してください。";
constexpr const char* kAfterFirstShown = "1つ先までの範囲で設定してください。";
constexpr const char* kPastRightEnd = "終了位置を越えないように設定してください。";
constexpr const char* kPastLeftEnd = "開始位置を越えないように設定してください。";
constexpr const char* kNoLine = "斜線を設定してください。";
constexpr const char* kOutsideReference = "基準線の範囲内で設定してください。";
constexpr const char* kPastLowerEdge = "下限値を越えないように設定してください。";
constexpr const char* kPastUpperEdge = "上限値を越えないように設定してください。";

// Points after the newest one that a line's right end may reach.
constexpr int64_t kBlankPoints = 10;

constexpr int16_t kLastLineSlot = 3;
constexpr int16_t kLastKanmonSlot = 2;

// The prices a click takes from the clicked point and its neighbours: highs and lows of
// (clicked, previous, next), and the two prices a parallel line goes through.
struct ClickPrices {
    std::array<double, 3> Highs{};
    std::array<double, 3> Lows{};
    double A = 0;
    double B = 0;
};

// Neighbours that do not exist give 0.
ClickPrices CandlePrices(const SeriesRecord& record, int32_t c) {
    const auto& p = record.Points;
    const bool before = c > 0;
    const bool after = c < record.Count - 1;
    ClickPrices prices;
    prices.Highs = {p[c].High, before ? p[c - 1].High : 0, after ? p[c + 1].High : 0};
    prices.Lows = {p[c].Low, before ? p[c - 1].Low : 0, after ? p[c + 1].Low : 0};
    prices.A = p[c].High;
    prices.B = p[c].Low;
    return prices;
}

// A stroke's high and low are its start and end; its neighbours run the other way, so for a
// falling stroke their high is their end price, for a rising one their start price.
ClickPrices StrokePrices(const SeriesRecord& record, int32_t c) {
    const auto& p = record.Points;
    const double s = p[c].Open;
    const double e = p[c].Close;
    const bool falling = s > e;
    auto high = [&](int32_t j) { return falling ? p[j].Close : p[j].Open; };
    auto low = [&](int32_t j) { return falling ? p[j].Open : p[j].Close; };
    const bool before = c > 0;
    const bool after = c < record.Count - 1;
    ClickPrices prices;
    prices.Highs = {falling ? s : e, before ? high(c - 1) : 0, after ? high(c + 1) : 0};
    prices.Lows = {falling ? e : s, before ? low(c - 1) : 0, after ? low(c + 1) : 0};
    prices.A = s;
    prices.B = e;
    return prices;
}

// A line is there to work with when both of its ends are; a stored line whose left point
// the loaded series does not reach is not drawn, and counts as no line.
bool Present(int32_t leftIndex, int32_t rightIndex) {
    return leftIndex >= 0 && rightIndex >= 0;
}

LineHalf HalfOf(const ShasenLineRef& line) {
    return {line.LeftIndex, line.LeftPrice, line.RightIndex, line.RightPrice};
}

// The line's price at point c, on the shown chart's x scale. A line whose two ends share one
// point (only a stored row can give one) keeps its left price.
double LinePriceAt(const LineHalf& line, int32_t c, int32_t kind) {
    const int32_t first = Lines().EditFirstShown;
    const double x1 = BarToX(line.LeftIndex, first, kind);
    const double x2 = BarToX(line.RightIndex, first, kind);
    if (x1 == x2) return line.LeftPrice;
    const LineEquation equation = MakeLineEquation(x1, line.LeftPrice, x2, line.RightPrice);
    return EvalLineEquation(equation, BarToX(c, first, kind));
}

bool InRange(int64_t c, int64_t end) {
    if (c >= 0 && c < end) return true;
    MsgWarn(kOutsideChart);
    return false;
}

// The click steps shared by the candle and kagi charts.
void ClickShasen(PriceOverlay& overlay, SeriesRecord& record, int32_t displayCount,
                 const ShasenEditOptions& options,
                 ClickPrices (*pricesAt)(const SeriesRecord&, int32_t)) {
    LinesState& lines = Lines();
    const int16_t slotIndex = lines.CurLineSlot;
    if (slotIndex < 0 || slotIndex > kLastLineSlot) return;
    const int32_t c = record.CursorPoint;
    const int64_t n = record.Count;
    lines.EditFirstShown = record.FirstShownPoint;
    const int64_t last = int64_t{record.FirstShownPoint} + displayCount - 1;
    lines.EditLastShown = static_cast<int32_t>(std::min(last, n - 1));
    ShasenRec& slot = record.ShasenSlots[slotIndex];
    switch (options.Mode) {
        case ShasenClickMode::Set: {
            if (!InRange(c, n)) return;
            const ClickPrices prices = pricesAt(record, c);
            lines.ClickHighs = prices.Highs;
            lines.ClickLows = prices.Lows;
            if (!SetShasenPointByMode(slot, c, options)) return;
            break;
        }
        case ShasenClickMode::Parallel: {
            if (!InRange(c, n)) return;
            const ClickPrices prices = pricesAt(record, c);
            if (!MakeParallelShasenByMode(slot, c, prices.A, prices.B, record.ChartKind,
                                          options.Upper))
                return;
            break;
        }
        case ShasenClickMode::Extend:
            if (!InRange(c, n + kBlankPoints)) return;
            ExtendShasenByMode(slot, c, record.ChartKind, options.Upper);
            break;
    }
    PlaceShasenShapes(overlay, record.ShasenSlots, record.FirstShownPoint, record.PriceDivisor,
                      record.ChartKind);
}

// The next auxiliary slot from current by step, wrapping within 1..top; from the judgement
// slot a step up gives 1 and a step down top.
int16_t SteppedSlot(int16_t current, int32_t step, int16_t top) {
    const int32_t t = current + step;
    if (current == 0 || t < 1 || t > top) return step > 0 ? 1 : top;
    return static_cast<int16_t>(t);
}

ShapePlacement* CurrentKanmonShape(PriceOverlay& overlay) {
    const int16_t slot = Lines().CurKanmonSlot;
    if (slot < 0 || slot > kLastKanmonSlot) return nullptr;
    return &overlay.SHP_関門10[slot];
}

// A rectangle not placed yet reaches 10% beyond both sides of the pane, so that only its
// top and bottom edges show.
bool SpreadIfNew(ShapePlacement& shape, double paneWidth) {
    if (shape.Top >= 0) return false;
    shape.Left = -(0.1 * paneWidth);
    shape.Width = paneWidth + 2 * (0.1 * paneWidth);
    shape.Visible = true;
    return true;
}

}  // namespace

ShasenLineRef UpperLine(ShasenRec& slot) {
    return {slot.UpperLeftIndex, slot.UpperLeftPrice, slot.UpperRightIndex, slot.UpperRightPrice};
}

ShasenLineRef LowerLine(ShasenRec& slot) {
    return {slot.LowerLeftIndex, slot.LowerLeftPrice, slot.LowerRightIndex, slot.LowerRightPrice};
}

void OnChartClickShasen(PriceOverlay& overlay, SeriesRecord& record, int32_t displayCount,
                        const ShasenEditOptions& options) {
    ClickShasen(overlay, record, displayCount, options, CandlePrices);
}

void OnKagiClickShasen(PriceOverlay& overlay, SeriesRecord& kagi, int32_t displayCount,
                       const ShasenEditOptions& options) {
    ClickShasen(overlay, kagi, displayCount, options, StrokePrices);
}

bool SetShasenPointByMode(ShasenRec& slot, int32_t clicked, const ShasenEditOptions& options) {
    const LinesState& lines = Lines();
    const ShasenLineRef first = options.Upper ? UpperLine(slot) : LowerLine(slot);
    const ShasenLineRef second = options.Upper ? LowerLine(slot) : UpperLine(slot);
    const auto& firstPrices = options.Upper ? lines.ClickHighs : lines.ClickLows;
    const auto& secondPrices = options.Upper ? lines.ClickLows : lines.ClickHighs;
    bool fresh = false;
    if (!SetShasenEnd(clicked, firstPrices, first, options.LeftEnd, fresh)) return false;
    // The first click into an empty slot makes both lines of the pair.
    if (!fresh) return true;
    return SetShasenEnd(clicked, secondPrices, second, options.LeftEnd, fresh);
}

bool SetShasenEnd(int32_t clicked, const std::array<double, 3>& prices, ShasenLineRef line,
                  bool leftEnd, bool& fresh) {
    fresh = false;
    const LinesState& lines = Lines();
    const bool present = Present(line.LeftIndex, line.RightIndex);
    if (leftEnd) {
        if (!present) {
            fresh = true;
            if (clicked >= lines.EditLastShown) {
                MsgWarn(kBeforeLastShown);
                return false;
            }
            SetShasenPoint(clicked + 1, prices[2], line.RightIndex, line.RightPrice);
            SetShasenPoint(clicked, prices[0], line.LeftIndex, line.LeftPrice);
            return true;
        }
        if (line.RightIndex > clicked) {
            SetShasenPoint(clicked, prices[0], line.LeftIndex, line.LeftPrice);
            return true;
        }
        MsgWarn(kPastRightEnd);
        return false;
    }
    if (!present) {
        fresh = true;
        if (clicked <= lines.EditFirstShown) {
            MsgWarn(kAfterFirstShown);
            return false;
        }
        SetShasenPoint(clicked - 1, prices[1], line.LeftIndex, line.LeftPrice);
        SetShasenPoint(clicked, prices[0], line.RightIndex, line.RightPrice);
        return true;
    }
    if (line.LeftIndex < clicked) {
        SetShasenPoint(clicked, prices[0], line.RightIndex, line.RightPrice);
        return true;
    }
    MsgWarn(kPastLeftEnd);
    return false;
}

void SetShasenPoint(int32_t index, double price, int32_t& pointIndex, double& pointPrice) {
    pointIndex = index;
    pointPrice = price;
}

bool MakeParallelShasenByMode(ShasenRec& slot, int32_t clicked, double a, double b, int32_t kind,
                              bool upper) {
    const double hi = std::max(a, b);
    const double lo = std::min(a, b);
    if (upper) return MakeParallelShasen(LowerHalf(slot), clicked, hi, UpperLine(slot), kind);
    return MakeParallelShasen(UpperHalf(slot), clicked, lo, LowerLine(slot), kind);
}

bool MakeParallelShasen(const LineHalf& reference, int32_t clicked, double price,
                        ShasenLineRef target, int32_t kind) {
    if (!Present(reference.LeftIndex, reference.RightIndex)) {
        MsgWarn(kNoLine);
        return false;
    }
    if (clicked < reference.LeftIndex || clicked > reference.RightIndex) {
        MsgWarn(kOutsideReference);
        return false;
    }
    const double d = price - LinePriceAt(reference, clicked, kind);
    SetShasenPoint(reference.LeftIndex, reference.LeftPrice + d, target.LeftIndex,
                   target.LeftPrice);
    SetShasenPoint(reference.RightIndex, reference.RightPrice + d, target.RightIndex,
                   target.RightPrice);
    return true;
}

bool ExtendShasenByMode(ShasenRec& slot, int32_t clicked, int32_t kind, bool upper) {
    ExtendShasen(upper ? UpperLine(slot) : LowerLine(slot), clicked, kind);
    return true;
}

void ExtendShasen(ShasenLineRef line, int32_t clicked, int32_t kind) {
    if (!Present(line.LeftIndex, line.RightIndex)) {
        MsgWarn(kNoLine);
        return;
    }
    if (line.LeftIndex >= clicked) {
        MsgWarn(kPastLeftEnd);
        return;
    }
    const double price = LinePriceAt(HalfOf(line), clicked, kind);
    SetShasenPoint(clicked, price, line.RightIndex, line.RightPrice);
}

void SetShapeHighlight(LinePlacement& line, bool on) {
    line.BorderColor = on ? kHighlightColour : kUnhighlightColour;
}

void SetShapeHighlight(ShapePlacement& shape, bool on) {
    shape.BorderColor = on ? kHighlightColour : kUnhighlightColour;
}

void HighlightCurShasen(PriceOverlay& overlay, bool on) {
    const int16_t slot = Lines().CurLineSlot;
    if (slot < 1 || slot > kLastLineSlot) return;
    SetShapeHighlight(overlay.LIN_斜線T10[slot], on);
    SetShapeHighlight(overlay.LIN_斜線B10[slot], on);
}

void HighlightCurKanmon(PriceOverlay& overlay, bool on) {
    const int16_t slot = Lines().CurKanmonSlot;
    if (slot < 1 || slot > kLastKanmonSlot) return;
    SetShapeHighlight(overlay.SHP_関門10[slot], on);
}

void StepCurShasen(PriceOverlay& overlay, int32_t step) {
    HighlightCurShasen(overlay, false);
    LinesState& lines = Lines();
    lines.CurLineSlot = SteppedSlot(lines.CurLineSlot, step, kLastLineSlot);
    HighlightCurShasen(overlay, true);
}

void StepCurKanmon(PriceOverlay& overlay, int32_t step) {
    HighlightCurKanmon(overlay, false);
    LinesState& lines = Lines();
    lines.CurKanmonSlot = SteppedSlot(lines.CurKanmonSlot, step, kLastKanmonSlot);
    HighlightCurKanmon(overlay, true);
}

void DeleteCurShasen(SeriesRecord& record, PriceOverlay& overlay, bool judgement) {
    if (judgement) {
        InitShasenRec(record.ShasenSlots[0]);
    } else {
        ClearCurShasen(record.ShasenSlots);
    }
    PlaceShasenShapes(overlay, record.ShasenSlots, record.FirstShownPoint, record.PriceDivisor,
                      record.ChartKind);
}

void DeleteCurKanmon(PriceOverlay& overlay, bool judgement) {
    if (judgement) {
        HideShape(overlay.SHP_関門10[0]);
    } else {
        HideCurKanmonShape(overlay);
    }
}

bool DragKanmonEdge(PriceOverlay& overlay, const KanmonPane& pane, double y, bool upperEdge) {
    ShapePlacement* shape = CurrentKanmonShape(overlay);
    if (!shape) return false;
    ShapePlacement moved = *shape;
    if (SpreadIfNew(moved, pane.ScaleWidth)) {
        moved.Top = y;
        moved.Height = pane.OuterHeight > 0 ? 10 * y / pane.OuterHeight : 0;
        moved.Upper = y * pane.Divisor;
        moved.Lower = (moved.Top - moved.Height) * pane.Divisor;
    }
    const double bottom = moved.Top - moved.Height;
    if (upperEdge) {
        if (y < bottom) {
            MsgWarn(kPastLowerEdge);
            return false;
        }
        moved.Height = y - bottom;
        moved.Top = y;
        moved.Upper = y * pane.Divisor;
    } else {
        if (y > moved.Top) {
            MsgWarn(kPastUpperEdge);
            return false;
        }
        moved.Height = moved.Top - y;
        moved.Lower = y * pane.Divisor;
    }
    *shape = moved;
    return true;
}

bool SetKanmonFromText(PriceOverlay& overlay, const KanmonPane& pane, double upper, double lower) {
    ShapePlacement* shape = CurrentKanmonShape(overlay);
    if (!shape) return false;
    SpreadIfNew(*shape, pane.ScaleWidth);
    shape->Top = upper;
    shape->Height = upper - lower;
    shape->Upper = upper * pane.Divisor;
    shape->Lower = lower * pane.Divisor;
    shape->Visible = true;
    return true;
}

void PlaceEditedShapes(PriceOverlay& overlay, const SeriesRecord& record, double paneWidth) {
    PlaceShasenShapes(overlay, record.ShasenSlots, record.FirstShownPoint, record.PriceDivisor,
                      record.ChartKind);
    for (ShapePlacement& shape : overlay.SHP_関門10) {
        const KanmonRec edited{shape.Upper, shape.Lower, 0};
        PlaceKanmonShape(edited, paneWidth, record.PriceDivisor, shape);
    }
}
