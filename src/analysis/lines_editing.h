#pragma once
// Editing the diagonal lines of one chart with the mouse: a click sets an end of the current
// slot's upper or lower line on a high or low, draws the other line of the pair parallel to
// it, or moves a line's right end along the line, into the blank room after the newest
// point too. The routines work on the chart's record and its window's overlay; the tool
// panel's choices come in as ShasenEditOptions, read at each click. Every refusal shows its
// message and leaves the slot as it was.
#include <array>
#include <cstdint>

#include "analysis/lines_geometry.h"
#include "analysis/lines_records.h"
#include "analysis/series.h"

// What a click does (OPT_設定, OPT_平行, OPT_延長).
enum class ShasenClickMode { Set, Parallel, Extend };

// The tool panel's choices a click reads.
struct ShasenEditOptions {
    bool Upper = true;     // OPT_上値, else OPT_下値
    bool LeftEnd = false;  // OPT_左端, else OPT_右端
    ShasenClickMode Mode = ShasenClickMode::Set;
};

// One line of a slot, written in place.
struct ShasenLineRef {
    int32_t& LeftIndex;
    double& LeftPrice;
    int32_t& RightIndex;
    double& RightPrice;
};
ShasenLineRef UpperLine(ShasenRec& slot);
ShasenLineRef LowerLine(ShasenRec& slot);

// Highlight colours of the current auxiliary slot's shapes and of a slot no longer current.
constexpr int32_t kHighlightColour = RgbColour(255, 128, 0);
constexpr int32_t kUnhighlightColour = RgbColour(128, 128, 128);

// Clicks at the record's CursorPoint (the point of the last mouse move). displayCount is
// the chart's display count; the record's FirstShownPoint is the first point drawn.
void OnChartClickShasen(PriceOverlay& overlay, SeriesRecord& record, int32_t displayCount,
                        const ShasenEditOptions& options);
// The same on the kagi chart, whose strokes give their start and end prices for highs and
// lows.
void OnKagiClickShasen(PriceOverlay& overlay, SeriesRecord& kagi, int32_t displayCount,
                       const ShasenEditOptions& options);

// The clicked point's prices, prices[0], and those of the points before and after it.
bool SetShasenPointByMode(ShasenRec& slot, int32_t clicked, const ShasenEditOptions& options);
// fresh is true when the line had no other end, so that both of its ends were set.
bool SetShasenEnd(int32_t clicked, const std::array<double, 3>& prices, ShasenLineRef line,
                  bool leftEnd, bool& fresh);
void SetShasenPoint(int32_t index, double price, int32_t& pointIndex, double& pointPrice);
bool MakeParallelShasenByMode(ShasenRec& slot, int32_t clicked, double a, double b, int32_t kind,
                              bool upper);
bool MakeParallelShasen(const LineHalf& reference, int32_t clicked, double price,
                        ShasenLineRef target, int32_t kind);
bool ExtendShasenByMode(ShasenRec& slot, int32_t clicked, int32_t kind, bool upper);
void ExtendShasen(ShasenLineRef line, int32_t clicked, int32_t kind);

// Highlighting and stepping through the auxiliary slots (1..3 lines, 1..2 barriers); the
// judgement slot 0 is never recoloured.
void SetShapeHighlight(LinePlacement& line, bool on);
void SetShapeHighlight(ShapePlacement& shape, bool on);
void HighlightCurShasen(PriceOverlay& overlay, bool on);
void HighlightCurKanmon(PriceOverlay& overlay, bool on);
void StepCurShasen(PriceOverlay& overlay, int32_t step);
void StepCurKanmon(PriceOverlay& overlay, int32_t step);

// The price pane a barrier rectangle stands in: its scale width, its outer height in twips
// and the chart's price divisor (pane units are prices / Divisor).
struct KanmonPane {
    double ScaleWidth = 0;
    double OuterHeight = 0;
    double Divisor = 1;
};
// Moves the upper (upperEdge) or lower edge of the current barrier's rectangle to the pane
// value y; a barrier not placed yet first becomes a thin band spread across the pane at y.
// An edge may meet the other edge, never cross it. The rectangle keeps the full prices of
// its edges: an edge the move leaves alone keeps its price exactly.
bool DragKanmonEdge(PriceOverlay& overlay, const KanmonPane& pane, double y, bool upperEdge);
// Places the current barrier's rectangle from typed pane values, upper >= lower.
bool SetKanmonFromText(PriceOverlay& overlay, const KanmonPane& pane, double upper, double lower);
// A redraw while the chart is edited: the lines from the record, each barrier from the
// prices its rectangle holds (a hidden one stays hidden), at the record's divisor and the
// pane's new width. The record's barriers change only when they are saved.
void PlaceEditedShapes(PriceOverlay& overlay, const SeriesRecord& record, double paneWidth);

// Clears the current auxiliary line, or the judgement line when judgement is true, and
// places the chart's line shapes again.
void DeleteCurShasen(SeriesRecord& record, PriceOverlay& overlay, bool judgement);
// Hides the current auxiliary barrier, or the judgement barrier when judgement is true.
void DeleteCurKanmon(PriceOverlay& overlay, bool judgement);
