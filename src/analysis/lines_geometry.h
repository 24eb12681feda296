#pragma once
// Where the lines and barriers stand over a chart window's price pane. The pane's
// coordinates: x in the drawing's units (100 per candle, 200 per kagi stroke), y the price
// divided by PriceDivisor, larger y higher up. The overlay of each chart window (its line
// controls LIN_斜線T10 / LIN_斜線B10 and barrier rectangles SHP_関門10) is kept as data in
// OverlayState; the chart windows paint it.
#include <array>
#include <cstdint>
#include <string>

#include "analysis/lines_model.h"
#include "analysis/series.h"
#include "analysis/state.h"

// The x of a point's centre: candle slot k = index - first at 100 + 100k, kagi column k at
// 100 + 200k. With first 0 it is the absolute x of the snapshots' equations.
double BarToX(int32_t index, int32_t first, int32_t kind);

// One line of a slot: its left and right point.
struct LineHalf {
    int32_t LeftIndex = kUnsetIndex;
    double LeftPrice = kUnsetPrice;
    int32_t RightIndex = kUnsetIndex;
    double RightPrice = kUnsetPrice;
    bool Present() const { return LeftIndex >= 0; }
};
LineHalf UpperHalf(const ShasenRec& slot);
LineHalf LowerHalf(const ShasenRec& slot);

// The overlay of the chart window that shows a chart kind.
PriceOverlay& OverlayOf(int32_t chartKind);

void PlaceLineShape(const LineHalf& half, int32_t first, double divisor, int32_t kind,
                    LinePlacement& line);
void PlaceShasenShapes(PriceOverlay& overlay, const std::array<ShasenRec, 5>& slots, int32_t first,
                       double divisor, int32_t kind);
// paneWidth is the price pane's ScaleWidth: the rectangle reaches 10% beyond both sides
// so only its top and bottom edges show.
void PlaceKanmonShape(const KanmonRec& barrier, double paneWidth, double divisor,
                      ShapePlacement& shape);
void PlaceKanmonShapes(PriceOverlay& overlay, const std::array<KanmonRec, 4>& barriers,
                       double divisor, double paneWidth);
// After every drawing of the chart, which sets FirstShownPoint and PriceDivisor.
void PlaceShasenKanmonShapes(PriceOverlay& overlay, const SeriesRecord& record, double paneWidth);
void HideShape(ShapePlacement& shape);
// After a chart of views 4..10 failed to show: the view's record loses its lines and
// barriers and its window's overlay is hidden. The snapshots stay.
void ResetShasenKanmonForView(int32_t viewKind);
// Hides the current auxiliary barrier; the judgement barrier is left alone.
void HideCurKanmonShape(PriceOverlay& overlay);

// The read-outs of the lines and barriers at point p and the full price y.
struct ShasenKanmonPriceTexts {
    std::string Kanmon;  // panel 4
    std::string Shasen;  // panel 5
};
ShasenKanmonPriceTexts MakeShasenKanmonPriceText(int32_t p, double y, int32_t kind,
                                                 const ShasenKanmonSnapshot& snapshot);
// y is the cursor's pane y; it is turned into a full price with the kind's PriceDivisor.
void ShowShasenKanmonPrice(int32_t p, double y, int32_t kind);

// The printed price range and point range the printed lines are clipped to.
struct PrintPriceBand {
    double Top = 0;
    double Bottom = 0;
    int32_t First = 0;
    int32_t Last = 0;
};
// Line slots 0 to 3 cut to the band, from their own points: each end moves in to the first
// point k, from the outside in, where the line's price at k lies inside the band, and takes
// that price; an end without such a point stays unset. Unanchored lines (left index below 0,
// right index 0 or below) are left out. The same cut serves a snapshot and a chart's slots.
std::array<ShasenRec, 5> ClipShasenLines(const std::array<ShasenRec, 5>& lineSlots,
                                         const PrintPriceBand& band, int32_t kind);
// The lines of a snapshot cut to the band as ClipShasenLines does.
std::array<ShasenRec, 5> CalcShasenDrawPoints(const ShasenKanmonSnapshot& snapshot,
                                              const PrintPriceBand& band, int32_t kind);
std::array<ShasenRec, 5> CalcShasenDrawPointsForView(const PrintPriceBand& band, int32_t kind);
