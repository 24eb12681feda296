#pragma once
// The user's diagonal lines and barriers as the charts hold them: the line equations, the
// chart kind codes and the small routines over the slots of a SeriesRecord and the editor's
// state (LinesState). Storage, placement and editing build on these.
#include <array>
#include <cstdint>

#include "analysis/lines_records.h"
#include "analysis/series.h"
#include "analysis/state.h"

LineEquation MakeLineEquation(double x1, double y1, double x2, double y2);
// The price of the line at x. Only present lines (x1 < x2) are evaluated, so B is not 0.
double EvalLineEquation(const LineEquation& line, double x);

// The codes of a chart kind; any kind but 4, 5 and 6 counts as monthly.
LineKindCodes LineKindCodesOf(int32_t chartKind);
// Position of a chart kind in the four per-chart arrays: kagi 0, daily 1, weekly 2,
// anything else monthly 3.
int32_t ChartSlotOf(int32_t chartKind);

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
