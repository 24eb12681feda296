#include "analysis/lines_geometry.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/number_format.h"

namespace {

// Larger than any price difference the read-out meets.
constexpr double kNoDistance = 1e12;

struct NearestLine {
    double Price = 0;
    double Distance = kNoDistance;
};

// The line price nearest to y among the lines spanning point p; an earlier slot wins a tie.
std::optional<double> NearestLinePrice(const ShasenKanmonSnapshot& snapshot, int32_t p, double y,
                                       int32_t kind, bool upper) {
    std::optional<NearestLine> best;
    for (int32_t i = 0; i < kLineSlotCount; ++i) {
        const ShasenSnapshotEntry& entry = snapshot.Lines[i];
        const LineHalf half = upper ? UpperHalf(entry.Line) : LowerHalf(entry.Line);
        // An unanchored line is not drawn, so it has no price to read either.
        if (!half.Present() || half.RightIndex <= 0) continue;
        if (p < half.LeftIndex || p > half.RightIndex) continue;
        const double q = EvalLineEquation(upper ? entry.Upper : entry.Lower, BarToX(p, 0, kind));
        const double d = std::fabs(y - q);
        if (d < (best ? best->Distance : kNoDistance)) best = NearestLine{q, d};
    }
    if (!best) return std::nullopt;
    return best->Price;
}

std::string KanmonReadOut(const ShasenKanmonSnapshot& snapshot, double y) {
    const KanmonRec* best = nullptr;
    double bestDistance = kNoDistance;
    for (int32_t i = 0; i < kKanmonSlotCount; ++i) {
        const KanmonRec& barrier = snapshot.Kanmon[i];
        if (!(barrier.Upper > 0)) continue;
        const double d = std::min(std::fabs(y - barrier.Upper), std::fabs(y - barrier.Lower));
        if (d < bestDistance) {
            bestDistance = d;
            best = &barrier;
        }
    }
    std::string text = "関門設定価格（上/下）：　";
    if (!best) return text + "- / -";
    return text + FormatNumber(best->Upper, "#,##0") + " / " + FormatNumber(best->Lower, "#,##0");
}

// The first point from `from` toward `to` where the line lies inside the band's prices.
std::optional<int32_t> FirstInsideBand(const LineEquation& line, const PrintPriceBand& band,
                                       int32_t from, int32_t to, int32_t step, int32_t kind) {
    for (int32_t k = from; step > 0 ? k <= to : k >= to; k += step) {
        const double y = EvalLineEquation(line, BarToX(k, 0, kind));
        if (band.Bottom <= y && y <= band.Top) return k;
    }
    return std::nullopt;
}

// Clips one line; its clipped ends go through the setters (index, price).
template <typename SetLeft, typename SetRight>
void ClipLine(const LineHalf& half, const PrintPriceBand& band, int32_t kind, SetLeft setLeft,
              SetRight setRight) {
    if (!half.Present() || half.RightIndex <= 0) return;
    if (!(half.LeftIndex < band.Last && band.First < half.RightIndex)) return;
    const LineEquation line = MakeLineEquation(BarToX(half.LeftIndex, 0, kind), half.LeftPrice,
                                               BarToX(half.RightIndex, 0, kind), half.RightPrice);
    const int32_t s = std::max(half.LeftIndex, band.First);
    const int32_t e = std::min(half.RightIndex, band.Last);
    if (auto k = FirstInsideBand(line, band, s, e - 1, 1, kind))
        setLeft(*k, EvalLineEquation(line, BarToX(*k, 0, kind)));
    if (auto k = FirstInsideBand(line, band, e, s + 1, -1, kind))
        setRight(*k, EvalLineEquation(line, BarToX(*k, 0, kind)));
}

// The shared record of a chart kind (any kind but 4, 5 and 6 counts as monthly).
SeriesRecord& RecordOfChart(int32_t kind) {
    SeriesState& series = Series();
    SeriesRecord* records[] = {&series.KagiSeries, &series.DailySeries, &series.WeeklySeries,
                               &series.MonthlySeries};
    return *records[ChartSlotOf(kind)];
}

}  // namespace

double BarToX(int32_t index, int32_t first, int32_t kind) {
    const double k = static_cast<double>(index) - static_cast<double>(first);
    return kind == kChartKagi ? (2 * k + 1) * 100 : (k + 1) * 100;
}

LineHalf UpperHalf(const ShasenRec& slot) {
    return {slot.UpperLeftIndex, slot.UpperLeftPrice, slot.UpperRightIndex, slot.UpperRightPrice};
}

LineHalf LowerHalf(const ShasenRec& slot) {
    return {slot.LowerLeftIndex, slot.LowerLeftPrice, slot.LowerRightIndex, slot.LowerRightPrice};
}

PriceOverlay& OverlayOf(int32_t chartKind) {
    return Overlay().Overlays[ChartSlotOf(chartKind)];
}

void PlaceLineShape(const LineHalf& half, int32_t first, double divisor, int32_t kind,
                    LinePlacement& line) {
    if (!half.Present()) {
        line.X1 = line.X2 = line.Y1 = line.Y2 = -100;
        line.Visible = false;
        return;
    }
    line.Y1 = half.LeftPrice / divisor;
    line.Y2 = half.RightPrice / divisor;
    line.X1 = BarToX(half.LeftIndex, first, kind);
    line.X2 = BarToX(half.RightIndex, first, kind);
    line.Visible = true;
}

void PlaceShasenShapes(PriceOverlay& overlay, const std::array<ShasenRec, 5>& slots, int32_t first,
                       double divisor, int32_t kind) {
    for (int32_t i = 0; i < kLineSlotCount; ++i) {
        PlaceLineShape(UpperHalf(slots[i]), first, divisor, kind, overlay.LIN_斜線T10[i]);
        PlaceLineShape(LowerHalf(slots[i]), first, divisor, kind, overlay.LIN_斜線B10[i]);
    }
}

void PlaceKanmonShape(const KanmonRec& barrier, double paneWidth, double divisor,
                      ShapePlacement& shape) {
    if (!(barrier.Upper >= 0)) {
        HideShape(shape);
        return;
    }
    shape.Top = barrier.Upper / divisor;
    shape.Left = -0.1 * paneWidth;
    shape.Width = paneWidth + 2 * (0.1 * paneWidth);
    shape.Height = (barrier.Upper - barrier.Lower) / divisor;
    shape.Upper = barrier.Upper;
    shape.Lower = barrier.Lower;
    shape.Visible = true;
}

void PlaceKanmonShapes(PriceOverlay& overlay, const std::array<KanmonRec, 4>& barriers,
                       double divisor, double paneWidth) {
    for (int32_t i = 0; i < kKanmonSlotCount; ++i)
        PlaceKanmonShape(barriers[i], paneWidth, divisor, overlay.SHP_関門10[i]);
}

void PlaceShasenKanmonShapes(PriceOverlay& overlay, const SeriesRecord& record, double paneWidth) {
    PlaceShasenShapes(overlay, record.ShasenSlots, record.FirstShownPoint, record.PriceDivisor,
                      record.ChartKind);
    PlaceKanmonShapes(overlay, record.KanmonSlots, record.PriceDivisor, paneWidth);
}

void HideShape(ShapePlacement& shape) {
    shape.Top = -100;
    shape.Left = -100;
    shape.Width = 10;
    shape.Height = 10;
    shape.Upper = kUnsetPrice;
    shape.Lower = kUnsetPrice;
    shape.Visible = false;
}

void ResetShasenKanmonForView(int32_t viewKind) {
    if (viewKind < 4 || viewKind > 10) return;
    // Views 8..10 pair a candle chart with the kagi chart; the kagi chart is the one reset.
    const int32_t kind =
        viewKind >= kChartDaily && viewKind <= kChartMonthly ? viewKind : kChartKagi;
    SeriesRecord& record = RecordOfChart(kind);
    InitShasenSet(record.ShasenSlots);
    InitKanmonSet(record.KanmonSlots);
    // Every slot is unset now, so the pane's width does not matter.
    PlaceShasenShapes(OverlayOf(kind), record.ShasenSlots, record.FirstShownPoint,
                      record.PriceDivisor, kind);
    PlaceKanmonShapes(OverlayOf(kind), record.KanmonSlots, record.PriceDivisor, 0);
}

void HideCurKanmonShape(PriceOverlay& overlay) {
    const int16_t slot = Lines().CurKanmonSlot;
    if (slot >= 1 && slot <= 2) HideShape(overlay.SHP_関門10[slot]);
}

ShasenKanmonPriceTexts MakeShasenKanmonPriceText(int32_t p, double y, int32_t kind,
                                                 const ShasenKanmonSnapshot& snapshot) {
    ShasenKanmonPriceTexts texts;
    texts.Kanmon = KanmonReadOut(snapshot, y);
    texts.Shasen = "斜線上価格（上/下）：　";
    const auto upper = NearestLinePrice(snapshot, p, y, kind, true);
    texts.Shasen += upper ? FormatNumber(*upper, "#,##0") + " / " : "- / ";
    const auto lower = NearestLinePrice(snapshot, p, y, kind, false);
    texts.Shasen += lower ? FormatNumber(*lower, "#,##0") : "-";
    return texts;
}

void ShowShasenKanmonPrice(int32_t p, double y, int32_t kind) {
    SeriesState& series = Series();
    const SeriesRecord* records[] = {&series.KagiSeries, &series.DailySeries, &series.WeeklySeries,
                                     &series.MonthlySeries};
    const int32_t slot = ChartSlotOf(kind);
    const double price = y * records[slot]->PriceDivisor;
    ShasenKanmonPriceTexts texts =
        MakeShasenKanmonPriceText(p, price, kind, Lines().ShasenKanmonSnapshots[slot]);
    OverlayState& overlay = Overlay();
    overlay.KanmonPriceText = std::move(texts.Kanmon);
    overlay.ShasenPriceText = std::move(texts.Shasen);
}

std::array<ShasenRec, 5> ClipShasenLines(const std::array<ShasenRec, 5>& lineSlots,
                                         const PrintPriceBand& band, int32_t kind) {
    std::array<ShasenRec, 5> out{};
    InitShasenSet(out);
    for (int32_t i = 0; i < kLineSlotCount; ++i) {
        ShasenRec& slot = out[i];
        slot.Slot = lineSlots[i].Slot;
        ClipLine(
            UpperHalf(lineSlots[i]), band, kind,
            [&](int32_t k, double y) { slot.UpperLeftIndex = k, slot.UpperLeftPrice = y; },
            [&](int32_t k, double y) { slot.UpperRightIndex = k, slot.UpperRightPrice = y; });
        ClipLine(
            LowerHalf(lineSlots[i]), band, kind,
            [&](int32_t k, double y) { slot.LowerLeftIndex = k, slot.LowerLeftPrice = y; },
            [&](int32_t k, double y) { slot.LowerRightIndex = k, slot.LowerRightPrice = y; });
    }
    return out;
}

std::array<ShasenRec, 5> CalcShasenDrawPoints(const ShasenKanmonSnapshot& snapshot,
                                              const PrintPriceBand& band, int32_t kind) {
    // The snapshot's equations were made from these same points, so the cut is the same.
    std::array<ShasenRec, 5> lineSlots{};
    for (int32_t i = 0; i < kLineSlotCount; ++i) lineSlots[i] = snapshot.Lines[i].Line;
    return ClipShasenLines(lineSlots, band, kind);
}

std::array<ShasenRec, 5> CalcShasenDrawPointsForView(const PrintPriceBand& band, int32_t kind) {
    return CalcShasenDrawPoints(Lines().ShasenKanmonSnapshots[ChartSlotOf(kind)], band, kind);
}
