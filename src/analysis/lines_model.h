#pragma once
// The user's diagonal lines and barriers as the charts hold them: the per-chart snapshot
// that the status-bar read-out and printing use, the editor's module state and the small
// routines over the slots of a SeriesRecord. Storage, placement and editing build on these.
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

LineEquation MakeLineEquation(double x1, double y1, double x2, double y2);
// The price of the line at x. Only present lines (x1 < x2) are evaluated, so B is not 0.
double EvalLineEquation(const LineEquation& line, double x);

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

// The codes of a chart kind; any kind but 4, 5 and 6 counts as monthly.
LineKindCodes LineKindCodesOf(int32_t chartKind);
// Position of a chart kind in the four per-chart arrays: kagi 0, daily 1, weekly 2,
// anything else monthly 3.
int32_t ChartSlotOf(int32_t chartKind);

struct LinesState {
    // Indexed by ChartSlotOf: kagi, daily, weekly, monthly. Written only by the loaders.
    std::array<ShasenKanmonSnapshot, 4> ShasenKanmonSnapshots{};
    // Editor state.
    int16_t CurLineSlot = 0;
    int16_t CurKanmonSlot = 0;
    int32_t EditFirstShown = 0;
    int32_t EditLastShown = 0;
    std::array<double, 3> ClickHighs{};
    std::array<double, 3> ClickLows{};
    std::array<ShasenRec, 5> SavedShasenSet{};
    // Set together by every load, used by the next save.
    LineKindCodes Codes;
};

LinesState& Lines();
void ResetLines();

void InitShasenRec(ShasenRec& slot);
void InitShasenSet(std::array<ShasenRec, 5>& slots);
void InitKanmonRec(KanmonRec& barrier);
void InitKanmonSet(std::array<KanmonRec, 4>& barriers);
// Left indexes at or past count become count - 1, right indexes at or past rightLimit
// become rightLimit - 1 (the blank area right of the newest point). Nothing is raised.
void ClampShasenRec(ShasenRec& slot, int32_t count, int32_t rightLimit);

void SetCurLineSlot(bool judgement);
void SetCurKanmonSlot(bool judgement);
// Clears the current auxiliary line slot; the judgement slot is never cleared here.
void ClearCurShasen(std::array<ShasenRec, 5>& slots);
void BackupShasenSet(const std::array<ShasenRec, 5>& slots);
void RestoreShasenSet(std::array<ShasenRec, 5>& slots);
