// ctest-labels: lines
#include "analysis/lines_model.h"

#include <gtest/gtest.h>

namespace {

class LinesModelTest : public ::testing::Test {};

ShasenRec Drawn(int16_t slot) {
    return ShasenRec{1, 10, 5, 15, 2, 8, 6, 9, slot};
}

TEST_F(LinesModelTest, ClampPullsIndexesBackIntoTheSeriesAndBlankArea) {
    ShasenRec slot{60, 1, 59, 1, -1, 1, 70, 1, 2};
    ClampShasenRec(slot, 50, 60);
    EXPECT_EQ(slot.UpperLeftIndex, 49);
    EXPECT_EQ(slot.UpperRightIndex, 59);
    EXPECT_EQ(slot.LowerLeftIndex, -1);  // nothing is raised from below
    EXPECT_EQ(slot.LowerRightIndex, 59);
}

TEST_F(LinesModelTest, InitKeepsTheSlotNumber) {
    std::array<ShasenRec, 5> slots{Drawn(0), Drawn(1), Drawn(2), Drawn(3), Drawn(4)};
    InitShasenSet(slots);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(slots[i].UpperLeftIndex, kUnsetIndex);
        EXPECT_EQ(slots[i].LowerRightPrice, kUnsetPrice);
        EXPECT_EQ(slots[i].Slot, i);
    }
    EXPECT_EQ(slots[4].UpperLeftIndex, 1);  // the spare element is never touched

    std::array<KanmonRec, 4> barriers{KanmonRec{5, 4, 0}, KanmonRec{5, 4, 1}, KanmonRec{5, 4, 2},
                                      KanmonRec{5, 4, 3}};
    InitKanmonSet(barriers);
    EXPECT_EQ(barriers[2].Upper, kUnsetPrice);
    EXPECT_EQ(barriers[2].Lower, kUnsetPrice);
    EXPECT_EQ(barriers[2].Slot, 2);
    EXPECT_EQ(barriers[3].Upper, 5);
}

TEST_F(LinesModelTest, ClearCurShasenNeverClearsTheJudgementSlot) {
    std::array<ShasenRec, 5> slots{Drawn(0), Drawn(1), Drawn(2), Drawn(3), Drawn(4)};
    SetCurLineSlot(true);
    EXPECT_EQ(Lines().CurLineSlot, 0);
    ClearCurShasen(slots);
    for (const ShasenRec& slot : slots) EXPECT_EQ(slot.UpperLeftIndex, 1);

    SetCurLineSlot(false);
    EXPECT_EQ(Lines().CurLineSlot, 3);
    ClearCurShasen(slots);
    EXPECT_EQ(slots[3].UpperLeftIndex, kUnsetIndex);
    EXPECT_EQ(slots[2].UpperLeftIndex, 1);

    SetCurKanmonSlot(false);
    EXPECT_EQ(Lines().CurKanmonSlot, 1);
    SetCurKanmonSlot(true);
    EXPECT_EQ(Lines().CurKanmonSlot, 0);
}

TEST_F(LinesModelTest, CancelRestoresTheSlotsOfTheStartOfEditing) {
    std::array<ShasenRec, 5> slots{Drawn(0), Drawn(1), Drawn(2), Drawn(3), Drawn(4)};
    BackupShasenSet(slots);
    InitShasenSet(slots);
    slots[4].UpperLeftIndex = 7;
    RestoreShasenSet(slots);
    EXPECT_EQ(slots[0].UpperLeftIndex, 1);
    EXPECT_EQ(slots[3].LowerRightIndex, 6);
    EXPECT_EQ(slots[4].UpperLeftIndex, 7);  // the spare element is not part of the set
}

TEST(LineKindCodesTest, CodesAndSnapshotsPerChartKind) {
    struct Case {
        int32_t kind;
        int16_t code, shasen, kanmon;
        int32_t slot;
    } cases[] = {
        {kChartKagi, 1, 19, 23, 0},
        {kChartDaily, 101, 20, 24, 1},
        {kChartWeekly, 102, 21, 25, 2},
        {kChartMonthly, 103, 22, 26, 3},
        {0, 103, 22, 26, 3},  // any other kind counts as monthly
    };
    for (const Case& c : cases) {
        const LineKindCodes codes = LineKindCodesOf(c.kind);
        EXPECT_EQ(codes.LineKindCode, c.code) << c.kind;
        EXPECT_EQ(codes.ShasenMarkField, c.shasen) << c.kind;
        EXPECT_EQ(codes.KanmonMarkField, c.kanmon) << c.kind;
        EXPECT_EQ(ChartSlotOf(c.kind), c.slot) << c.kind;
    }
}

}  // namespace
