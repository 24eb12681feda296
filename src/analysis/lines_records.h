#pragma once
// The plain records of the user's diagonal lines and barriers: the per-chart snapshot
// that the status-bar read-out and printing use, the chart windows' overlay placements and
// the rows the tables store. The line and barrier slots themselves are in series.h.
#include <array>
#include <cstdint>

#include "analysis/series.h"

// Line slots in use (0 judgement, 1..3 auxiliary) and barrier slots (0 judgement, 1..2).
constexpr int32_t kLineSlotCount = 4;
constexpr int32_t kKanmonSlotCount = 3;

// The straight line A·x + B·y + C = 0 through two points.
struct LineEquation {
    double A = 0;
    double B = 0;
    double C = 0;
};

// One line slot as last loaded, with the equations of its two lines in absolute x units.
struct ShasenSnapshotEntry {
    ShasenRec Line;
    LineEquation Upper;
    LineEquation Lower;
};

struct ShasenKanmonSnapshot {
    std::array<ShasenSnapshotEntry, 5> Lines{};
    std::array<KanmonRec, 4> Kanmon{};
};

// Chart kind codes of the stored rows and the issue-attribute fields of the list marks.
struct LineKindCodes {
    int16_t LineKindCode = 0;     // 線種: 1 kagi, 101 daily, 102 weekly, 103 monthly
    int16_t ShasenMarkField = 0;  // 19..22
    int16_t KanmonMarkField = 0;  // 23..26
};

// Colour numbers of the platform (red in the low byte).
constexpr int32_t RgbColour(int32_t r, int32_t g, int32_t b) {
    return r | (g << 8) | (b << 16);
}
// The windows' own colours: the judgement slot stands out, auxiliary slots are grey
// until the editor highlights the current one.
constexpr int32_t kJudgementShapeColour = RgbColour(255, 0, 0);
constexpr int32_t kAuxiliaryShapeColour = RgbColour(128, 128, 128);

// A Line control: its end points; the hidden position is X1 = X2 = Y1 = Y2 = -100.
struct LinePlacement {
    double X1 = -100;
    double Y1 = -100;
    double X2 = -100;
    double Y2 = -100;
    int32_t BorderColor = kAuxiliaryShapeColour;
    bool Visible = false;
};

// A barrier rectangle. Top and Height are in pane units; Upper and Lower keep the full
// prices the rectangle was placed from, so saving never reads them back through the
// pane's rounding. The hidden position is Top -100, Left -100, Width 10, Height 10.
struct ShapePlacement {
    double Top = -100;
    double Left = -100;
    double Width = 10;
    double Height = 10;
    double Upper = kUnsetPrice;
    double Lower = kUnsetPrice;
    int32_t BorderColor = kAuxiliaryShapeColour;
    bool Visible = false;
};

struct PriceOverlay {
    std::array<LinePlacement, kLineSlotCount> LIN_斜線T10;
    std::array<LinePlacement, kLineSlotCount> LIN_斜線B10;
    std::array<ShapePlacement, kKanmonSlotCount> SHP_関門10;
    PriceOverlay() {
        LIN_斜線T10[0].BorderColor = kJudgementShapeColour;
        LIN_斜線B10[0].BorderColor = kJudgementShapeColour;
        SHP_関門10[0].BorderColor = kJudgementShapeColour;
    }
};

// One stored line row as the table holds it: left points by date, right points as a
// count of points after their left point.
struct ShasenRow {
    int32_t UpperLeftDate = 0;
    double UpperLeftPrice = 0;
    int32_t UpperRightOffset = 0;
    double UpperRightPrice = 0;
    int32_t LowerLeftDate = 0;
    double LowerLeftPrice = 0;
    int32_t LowerRightOffset = 0;
    double LowerRightPrice = 0;
};

// A row that could not be anchored in the loaded series (a left point older than every
// point), kept for one chart so that a save writes it back unless the user changed the
// slot.
struct KeptShasenRow {
    ShasenRow Stored;
    ShasenRec Loaded;
};
