#include "analysis/lines_model.h"

#include <algorithm>

LineEquation MakeLineEquation(double x1, double y1, double x2, double y2) {
    return LineEquation{y2 - y1, x1 - x2, x2 * y1 - x1 * y2};
}

double EvalLineEquation(const LineEquation& line, double x) {
    return -(line.A * x + line.C) / line.B;
}

LineKindCodes LineKindCodesOf(int32_t chartKind) {
    switch (chartKind) {
        case kChartKagi:
            return {1, 19, 23};
        case kChartDaily:
            return {101, 20, 24};
        case kChartWeekly:
            return {102, 21, 25};
        default:
            return {103, 22, 26};
    }
}

int32_t ChartSlotOf(int32_t chartKind) {
    switch (chartKind) {
        case kChartKagi:
            return 0;
        case kChartDaily:
            return 1;
        case kChartWeekly:
            return 2;
        default:
            return 3;
    }
}

void InitShasenRec(ShasenRec& slot) {
    const int16_t number = slot.Slot;
    slot = ShasenRec{};
    slot.Slot = number;
}

void InitShasenSet(std::array<ShasenRec, 5>& slots) {
    for (int32_t i = 0; i < kLineSlotCount; ++i) InitShasenRec(slots[i]);
}

void InitKanmonRec(KanmonRec& barrier) {
    barrier.Upper = kUnsetPrice;
    barrier.Lower = kUnsetPrice;
}

void InitKanmonSet(std::array<KanmonRec, 4>& barriers) {
    for (int32_t i = 0; i < kKanmonSlotCount; ++i) InitKanmonRec(barriers[i]);
}

void ClampShasenRec(ShasenRec& slot, int32_t count, int32_t rightLimit) {
    for (int32_t* left : {&slot.UpperLeftIndex, &slot.LowerLeftIndex})
        if (*left >= count) *left = count - 1;
    for (int32_t* right : {&slot.UpperRightIndex, &slot.LowerRightIndex})
        if (*right >= rightLimit) *right = rightLimit - 1;
}

void SetCurLineSlot(bool judgement) {
    Lines().CurLineSlot = judgement ? 0 : 3;
}
void SetCurKanmonSlot(bool judgement) {
    Lines().CurKanmonSlot = judgement ? 0 : 1;
}

void ClearCurShasen(std::array<ShasenRec, 5>& slots) {
    const int16_t slot = Lines().CurLineSlot;
    if (slot >= 1 && slot <= 3) InitShasenRec(slots[slot]);
}

void BackupShasenSet(const std::array<ShasenRec, 5>& slots) {
    std::copy_n(slots.begin(), kLineSlotCount, Lines().SavedShasenSet.begin());
}

void RestoreShasenSet(std::array<ShasenRec, 5>& slots) {
    std::copy_n(Lines().SavedShasenSet.begin(), kLineSlotCount, slots.begin());
}
