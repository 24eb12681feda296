// ctest-labels: barrieredit
// Barrier rectangles edited without windows: an edge moved by the mouse, the band made by the
// first press, the refused crossings, the typed prices and a redraw while editing.
#include <gtest/gtest.h>

#include "analysis/lines_editing.h"
#include "analysis/lines_model.h"
#include "analysis/state.h"
#include "support/scripted_sink.h"

namespace {

// A pane 20000 wide and 6000 twips high, prices in thousands.
constexpr KanmonPane kPane{20000, 6000, 1000};

class KanmonEditingTest : public ::testing::Test {
  protected:
    void SetUp() override { SetCurKanmonSlot(false); }
    ShapePlacement& Current() { return overlay.SHP_関門10[1]; }
    PriceOverlay overlay;
    ScriptedSink sink;
};

TEST_F(KanmonEditingTest, TheFirstPressMakesAThinBandAcrossThePane) {
    ASSERT_TRUE(DragKanmonEdge(overlay, kPane, 1200, true));
    const ShapePlacement& band = Current();
    EXPECT_TRUE(band.Visible);
    EXPECT_DOUBLE_EQ(band.Top, 1200);
    EXPECT_DOUBLE_EQ(band.Height, 10 * 1200 / 6000.0);
    EXPECT_DOUBLE_EQ(band.Left, -2000);
    EXPECT_DOUBLE_EQ(band.Width, 24000);
    EXPECT_DOUBLE_EQ(band.Upper, 1200000);
    EXPECT_DOUBLE_EQ(band.Lower, (1200 - 2) * 1000.0);
    EXPECT_FALSE(overlay.SHP_関門10[2].Visible);

    // The lower edge of an empty barrier: a band of height 0 at the press.
    Lines().CurKanmonSlot = 2;
    ASSERT_TRUE(DragKanmonEdge(overlay, kPane, 900, false));
    EXPECT_DOUBLE_EQ(overlay.SHP_関門10[2].Top, 900);
    EXPECT_DOUBLE_EQ(overlay.SHP_関門10[2].Height, 0);
    EXPECT_DOUBLE_EQ(overlay.SHP_関門10[2].Lower, 900000);
}

TEST_F(KanmonEditingTest, EdgesMayMeetButNeverCross) {
    // A stored band 1,150,000 .. 1,234,567 placed on a pane in thousands.
    PlaceKanmonShape(KanmonRec{1234567, 1150000, 1}, kPane.ScaleWidth, kPane.Divisor, Current());
    struct EdgeCase {
        bool upper;
        double y;
        const char* message;  // "" when the edge moves
        double top;
        double height;
    };
    const EdgeCase cases[] = {
        {true, 1100, "下限値を越えないように設定してください。", 1234.567, 84.567},
        {false, 1300, "上限値を越えないように設定してください。", 1234.567, 84.567},
        {true, 1300.25, "", 1300.25, 150.25},
        {false, 1300.25, "", 1300.25, 0},  // meets the upper edge
        {true, 1300.25, "", 1300.25, 0},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.y);
        if (*c.message) sink.Expect(MsgKind::Warn, c.message);
        EXPECT_EQ(DragKanmonEdge(overlay, kPane, c.y, c.upper), !*c.message);
        EXPECT_TRUE(sink.AllShown());
        EXPECT_NEAR(Current().Top, c.top, 1e-9);
        EXPECT_NEAR(Current().Height, c.height, 1e-9);
    }
    EXPECT_DOUBLE_EQ(Current().Upper, 1300250);
    EXPECT_DOUBLE_EQ(Current().Lower, 1300250);
}

TEST_F(KanmonEditingTest, AnEdgeLeftAloneKeepsItsPriceExactly) {
    PlaceKanmonShape(KanmonRec{1234567, 1150001, 1}, kPane.ScaleWidth, kPane.Divisor, Current());
    ASSERT_TRUE(DragKanmonEdge(overlay, kPane, 1240.1, true));
    EXPECT_EQ(Current().Lower, 1150001);
    ASSERT_TRUE(DragKanmonEdge(overlay, kPane, 1160.3, false));
    EXPECT_EQ(Current().Upper, 1240.1 * 1000);
}

TEST_F(KanmonEditingTest, TypedPricesPlaceTheCurrentBarrier) {
    ASSERT_TRUE(SetKanmonFromText(overlay, kPane, 1500, 1400));
    EXPECT_DOUBLE_EQ(Current().Top, 1500);
    EXPECT_DOUBLE_EQ(Current().Height, 100);
    EXPECT_DOUBLE_EQ(Current().Width, 24000);
    EXPECT_DOUBLE_EQ(Current().Upper, 1500000);
    EXPECT_DOUBLE_EQ(Current().Lower, 1400000);
    // The judgement barrier when its slot is current.
    SetCurKanmonSlot(true);
    ASSERT_TRUE(SetKanmonFromText(overlay, kPane, 1300, 1300));
    EXPECT_DOUBLE_EQ(overlay.SHP_関門10[0].Height, 0);
    EXPECT_TRUE(overlay.SHP_関門10[0].Visible);
    DeleteCurKanmon(overlay, true);
    EXPECT_FALSE(overlay.SHP_関門10[0].Visible);
    EXPECT_TRUE(Current().Visible);
}

TEST_F(KanmonEditingTest, ARedrawWhileEditingKeepsTheEditedBarriers) {
    SeriesRecord record;
    record.ChartKind = kChartWeekly;
    record.PriceDivisor = 1;
    record.FirstShownPoint = 0;
    record.KanmonSlots[1] = KanmonRec{800, 700, 1};  // stored
    record.KanmonSlots[2] = KanmonRec{600, 500, 2};  // stored, then deleted below
    PlaceKanmonShapes(overlay, record.KanmonSlots, 1, 10000);
    ASSERT_TRUE(SetKanmonFromText(overlay, KanmonPane{10000, 6000, 1}, 950, 900));
    Lines().CurKanmonSlot = 2;
    DeleteCurKanmon(overlay, false);
    // The chart drawn again on a wider pane.
    PlaceEditedShapes(overlay, record, 30000);
    EXPECT_DOUBLE_EQ(Current().Upper, 950);
    EXPECT_DOUBLE_EQ(Current().Top, 950);
    EXPECT_DOUBLE_EQ(Current().Width, 36000);
    EXPECT_FALSE(overlay.SHP_関門10[2].Visible);
    EXPECT_FALSE(overlay.SHP_関門10[0].Visible);
    // Outside editing the record's barriers come back.
    PlaceShasenKanmonShapes(overlay, record, 30000);
    EXPECT_DOUBLE_EQ(Current().Upper, 800);
    EXPECT_TRUE(overlay.SHP_関門10[2].Visible);
}

}  // namespace
