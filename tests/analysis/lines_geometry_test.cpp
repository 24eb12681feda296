// ctest-labels: lines
#include "analysis/lines_geometry.h"

#include <gtest/gtest.h>

#include "analysis/lines_model.h"
#include "analysis/series.h"

namespace {

class LinesGeometryTest : public ::testing::Test {};

ShasenRec Slot(int32_t ul, double ulp, int32_t ur, double urp, int32_t ll, double llp, int32_t lr,
               double lrp) {
    return ShasenRec{ul, ulp, ur, urp, ll, llp, lr, lrp, 0};
}

// A snapshot entry as the loader makes it: the slot and its two equations in absolute x.
ShasenSnapshotEntry Entry(const ShasenRec& line, int32_t kind) {
    ShasenSnapshotEntry entry;
    entry.Line = line;
    entry.Upper = MakeLineEquation(BarToX(line.UpperLeftIndex, 0, kind), line.UpperLeftPrice,
                                   BarToX(line.UpperRightIndex, 0, kind), line.UpperRightPrice);
    entry.Lower = MakeLineEquation(BarToX(line.LowerLeftIndex, 0, kind), line.LowerLeftPrice,
                                   BarToX(line.LowerRightIndex, 0, kind), line.LowerRightPrice);
    return entry;
}

TEST(LineEquationTest, PassesThroughBothPointsAndInterpolates) {
    const LineEquation line = MakeLineEquation(100, 1000, 600, 1500);
    EXPECT_DOUBLE_EQ(EvalLineEquation(line, 100), 1000);
    EXPECT_DOUBLE_EQ(EvalLineEquation(line, 600), 1500);
    EXPECT_DOUBLE_EQ(EvalLineEquation(line, 350), 1250);
    EXPECT_DOUBLE_EQ(EvalLineEquation(line, 1100), 2000);  // extended to the right
}

TEST(BarToXTest, CandleAndKagiCentres) {
    struct Case {
        int32_t index, first, kind;
        double x;
    } cases[] = {
        {120, 100, kChartDaily, 2100},  {125, 100, kChartDaily, 2600}, {120, 100, kChartKagi, 4100},
        {125, 100, kChartKagi, 5100},   {0, 0, kChartWeekly, 100},     {0, 0, kChartKagi, 100},
        {95, 100, kChartMonthly, -400},  // left of the first shown point: negative x
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(BarToX(c.index, c.first, c.kind), c.x)
            << c.index << " " << c.first << " " << c.kind;
}

TEST_F(LinesGeometryTest, LinesArePlacedOrHiddenPerHalf) {
    std::array<ShasenRec, 5> slots{};
    slots[1] = Slot(120, 1500, 125, 1600, -100, -100, -100, -100);  // lower half unset
    slots[2] = Slot(-1, 900, 4, 950, -1, 800, 4, 850);              // unanchored: not drawn
    PriceOverlay overlay;
    PlaceShasenShapes(overlay, slots, 100, 10, kChartDaily);

    const LinePlacement& upper = overlay.LIN_斜線T10[1];
    EXPECT_TRUE(upper.Visible);
    EXPECT_DOUBLE_EQ(upper.X1, 2100);
    EXPECT_DOUBLE_EQ(upper.X2, 2600);
    EXPECT_DOUBLE_EQ(upper.Y1, 150);
    EXPECT_DOUBLE_EQ(upper.Y2, 160);
    for (const LinePlacement* hidden :
         {&overlay.LIN_斜線B10[1], &overlay.LIN_斜線T10[0], &overlay.LIN_斜線T10[2],
          &overlay.LIN_斜線B10[2], &overlay.LIN_斜線T10[3]}) {
        EXPECT_FALSE(hidden->Visible);
        EXPECT_DOUBLE_EQ(hidden->X1, -100);
        EXPECT_DOUBLE_EQ(hidden->X2, -100);
        EXPECT_DOUBLE_EQ(hidden->Y1, -100);
        EXPECT_DOUBLE_EQ(hidden->Y2, -100);
    }
    // The windows' colours: judgement slot apart from the grey auxiliary slots.
    EXPECT_EQ(overlay.LIN_斜線T10[0].BorderColor, kJudgementShapeColour);
    EXPECT_EQ(overlay.LIN_斜線T10[1].BorderColor, kAuxiliaryShapeColour);
    EXPECT_EQ(overlay.SHP_関門10[0].BorderColor, kJudgementShapeColour);
}

TEST_F(LinesGeometryTest, BarriersReachBeyondThePaneAndKeepTheirPrices) {
    SeriesRecord record;
    record.ChartKind = kChartWeekly;
    record.PriceDivisor = 1000;
    record.FirstShownPoint = 0;
    record.KanmonSlots[0] = KanmonRec{1500000, 1400000, 0};
    record.KanmonSlots[1] = KanmonRec{-100, -100, 1};
    record.KanmonSlots[2] = KanmonRec{0, -50, 2};  // upper 0 counts as present
    PriceOverlay& overlay = OverlayOf(kChartWeekly);
    PlaceShasenKanmonShapes(overlay, record, 5000);

    const ShapePlacement& band = overlay.SHP_関門10[0];
    EXPECT_TRUE(band.Visible);
    EXPECT_DOUBLE_EQ(band.Top, 1500);
    EXPECT_DOUBLE_EQ(band.Height, 100);
    EXPECT_DOUBLE_EQ(band.Left, -500);
    EXPECT_DOUBLE_EQ(band.Width, 6000);
    EXPECT_DOUBLE_EQ(band.Upper, 1500000);
    EXPECT_DOUBLE_EQ(band.Lower, 1400000);

    const ShapePlacement& hidden = overlay.SHP_関門10[1];
    EXPECT_FALSE(hidden.Visible);
    EXPECT_DOUBLE_EQ(hidden.Top, -100);
    EXPECT_DOUBLE_EQ(hidden.Left, -100);
    EXPECT_DOUBLE_EQ(hidden.Width, 10);
    EXPECT_DOUBLE_EQ(hidden.Height, 10);
    EXPECT_LT(hidden.Upper, 0);
    EXPECT_TRUE(overlay.SHP_関門10[2].Visible);
    // Only the weekly window's overlay moved.
    EXPECT_FALSE(OverlayOf(kChartDaily).SHP_関門10[0].Visible);
}

TEST_F(LinesGeometryTest, HidingTheCurrentBarrierSparesTheJudgementSlot) {
    PriceOverlay overlay;
    for (int i = 0; i < 3; ++i)
        PlaceKanmonShape(KanmonRec{200, 100, 0}, 1000, 1, overlay.SHP_関門10[i]);
    SetCurKanmonSlot(true);
    HideCurKanmonShape(overlay);
    EXPECT_TRUE(overlay.SHP_関門10[0].Visible);
    SetCurKanmonSlot(false);
    HideCurKanmonShape(overlay);
    EXPECT_FALSE(overlay.SHP_関門10[1].Visible);
    EXPECT_TRUE(overlay.SHP_関門10[2].Visible);
}

TEST_F(LinesGeometryTest, ReadOutTexts) {
    ShasenKanmonSnapshot snapshot;
    EXPECT_EQ(MakeShasenKanmonPriceText(5, 1000, kChartDaily, snapshot).Kanmon,
              "関門設定価格（上/下）：　- / -");
    EXPECT_EQ(MakeShasenKanmonPriceText(5, 1000, kChartDaily, snapshot).Shasen,
              "斜線上価格（上/下）：　- / -");

    // Barriers: the nearest edge wins, an earlier slot wins a tie, upper 0 is not read.
    snapshot.Kanmon[0] = KanmonRec{1300, 1200, 0};
    snapshot.Kanmon[1] = KanmonRec{1100, 1050, 1};
    snapshot.Kanmon[2] = KanmonRec{0, -10, 2};
    EXPECT_EQ(MakeShasenKanmonPriceText(0, 1140, kChartDaily, snapshot).Kanmon,
              "関門設定価格（上/下）：　1,100 / 1,050");
    EXPECT_EQ(MakeShasenKanmonPriceText(0, 1150, kChartDaily, snapshot).Kanmon,
              "関門設定価格（上/下）：　1,300 / 1,200");

    // Lines: upper and lower readings may come from different slots.
    snapshot.Lines[1] = Entry(Slot(10, 1200, 20, 1300, 10, 1150, 20, 1170), kChartDaily);
    snapshot.Lines[2] = Entry(Slot(0, 1260, 30, 1260, -100, -100, -100, -100), kChartDaily);
    // Unanchored lines (left -1) read nothing though the point lies "inside" them.
    snapshot.Lines[3] = Entry(Slot(-1, 5000, 40, 5000, -1, 1180, 40, 1180), kChartDaily);
    EXPECT_EQ(MakeShasenKanmonPriceText(15, 1250, kChartDaily, snapshot).Shasen,
              "斜線上価格（上/下）：　1,250 / 1,160");
    EXPECT_EQ(MakeShasenKanmonPriceText(15, 1262, kChartDaily, snapshot).Shasen,
              "斜線上価格（上/下）：　1,260 / 1,160");
    EXPECT_EQ(MakeShasenKanmonPriceText(25, 1250, kChartDaily, snapshot).Shasen,
              "斜線上価格（上/下）：　1,260 / -");
    EXPECT_EQ(MakeShasenKanmonPriceText(35, 1250, kChartDaily, snapshot).Shasen,
              "斜線上価格（上/下）：　- / -");
}

TEST_F(LinesGeometryTest, ShowPriceUsesTheKindsDivisorAndSnapshot) {
    Series().KagiSeries.PriceDivisor = 10;
    Lines().ShasenKanmonSnapshots[0].Kanmon[0] = KanmonRec{1000, 900, 0};
    Lines().ShasenKanmonSnapshots[0].Lines[0] =
        Entry(Slot(0, 2000, 5, 2500, 0, 1000, 5, 1500), kChartKagi);
    ShowShasenKanmonPrice(2, 150, kChartKagi);
    EXPECT_EQ(Overlay().KanmonPriceText, "関門設定価格（上/下）：　1,000 / 900");
    EXPECT_EQ(Overlay().ShasenPriceText, "斜線上価格（上/下）：　2,200 / 1,200");
    ShowShasenKanmonPrice(2, 150, kChartMonthly);  // nothing loaded for monthly
    EXPECT_EQ(Overlay().ShasenPriceText, "斜線上価格（上/下）：　- / -");
}

TEST_F(LinesGeometryTest, ResetForViewClearsTheViewsRecordAndHidesItsWindow) {
    SeriesRecord& weekly = Series().WeeklySeries;
    weekly.ShasenSlots[1] = Slot(1, 10, 3, 12, 1, 8, 3, 9);
    weekly.KanmonSlots[0] = KanmonRec{20, 10, 0};
    weekly.FirstShownPoint = 0;
    PlaceShasenKanmonShapes(OverlayOf(kChartWeekly), weekly, 1000);
    Series().KagiSeries.ShasenSlots[1] = weekly.ShasenSlots[1];
    Lines().ShasenKanmonSnapshots[2].Kanmon[0] = weekly.KanmonSlots[0];

    ResetShasenKanmonForView(6);
    EXPECT_EQ(weekly.ShasenSlots[1].UpperLeftIndex, kUnsetIndex);
    EXPECT_EQ(weekly.KanmonSlots[0].Upper, kUnsetPrice);
    EXPECT_FALSE(OverlayOf(kChartWeekly).LIN_斜線T10[1].Visible);
    EXPECT_FALSE(OverlayOf(kChartWeekly).SHP_関門10[0].Visible);
    EXPECT_EQ(Lines().ShasenKanmonSnapshots[2].Kanmon[0].Upper, 20);  // snapshots stay
    EXPECT_EQ(Series().KagiSeries.ShasenSlots[1].UpperLeftIndex, 1);

    ResetShasenKanmonForView(9);  // weekly with kagi: the kagi chart
    EXPECT_EQ(Series().KagiSeries.ShasenSlots[1].UpperLeftIndex, kUnsetIndex);
    Series().DailySeries.ShasenSlots[1] = Slot(1, 10, 3, 12, 1, 8, 3, 9);
    ResetShasenKanmonForView(11);  // outside 4..10: nothing
    EXPECT_EQ(Series().DailySeries.ShasenSlots[1].UpperLeftIndex, 1);
}

TEST(CalcShasenDrawPointsTest, ClipsToThePrintedBand) {
    ShasenKanmonSnapshot snapshot;
    // Rising 100 per bar from 1000 at bar 0 to 2000 at bar 10.
    snapshot.Lines[0] = Entry(Slot(0, 1000, 10, 2000, 0, 1000, 10, 2000), kChartDaily);
    // Inside the band at bar 2 only (its first bar s): a left point and no right point.
    snapshot.Lines[1] = Entry(Slot(2, 1500, 6, 2300, -100, -100, -100, -100), kChartDaily);
    // Unanchored: never drawn.
    snapshot.Lines[2] = Entry(Slot(-1, 1500, 5, 1500, -1, 1500, 5, 1500), kChartDaily);
    const PrintPriceBand band{1600, 1250, 2, 8};
    const auto out = CalcShasenDrawPoints(snapshot, band, kChartDaily);

    EXPECT_EQ(out[0].UpperLeftIndex, 3);
    EXPECT_DOUBLE_EQ(out[0].UpperLeftPrice, 1300);
    EXPECT_EQ(out[0].UpperRightIndex, 6);
    EXPECT_DOUBLE_EQ(out[0].UpperRightPrice, 1600);
    EXPECT_EQ(out[1].UpperLeftIndex, 2);
    EXPECT_DOUBLE_EQ(out[1].UpperLeftPrice, 1500);
    EXPECT_EQ(out[1].UpperRightIndex, kUnsetIndex);
    EXPECT_EQ(out[1].LowerLeftIndex, kUnsetIndex);
    EXPECT_EQ(out[2].UpperLeftIndex, kUnsetIndex);
    EXPECT_EQ(out[2].LowerLeftIndex, kUnsetIndex);
    EXPECT_EQ(out[3].UpperLeftIndex, kUnsetIndex);

    // Inside at e only: a right point and no left point.
    snapshot.Lines[1] = Entry(Slot(4, 2400, 8, 1600, -100, -100, -100, -100), kChartDaily);
    const auto tail = CalcShasenDrawPoints(snapshot, band, kChartDaily);
    EXPECT_EQ(tail[1].UpperLeftIndex, kUnsetIndex);
    EXPECT_EQ(tail[1].UpperRightIndex, 8);
    EXPECT_DOUBLE_EQ(tail[1].UpperRightPrice, 1600);
}

ShasenRec UpperLine(int32_t left, double leftPrice, int32_t right, double rightPrice) {
    ShasenRec slot;
    slot.UpperLeftIndex = left;
    slot.UpperLeftPrice = leftPrice;
    slot.UpperRightIndex = right;
    slot.UpperRightPrice = rightPrice;
    return slot;
}

// Each end moves in to the first point whose line price lies in the band; the clipped
// prices are the line's own, so a printed line ends where it leaves the band.
TEST(ClipShasenLinesTest, LinesAreCutToThePrintedBand) {
    const PrintPriceBand band{1000, 900, 100, 159};
    struct Case {
        const char* what;
        ShasenRec slot;
        int32_t kind;
        int32_t left;
        double leftPrice;
        int32_t right;
        double rightPrice;
    };
    const Case cases[] = {
        {"inside", UpperLine(110, 950, 130, 970), kChartDaily, 110, 950, 130, 970},
        {"from before the first point", UpperLine(80, 960, 120, 1000), kChartDaily, 100, 980, 120,
         1000},
        {"into the empty slots", UpperLine(150, 950, 165, 980), kChartDaily, 150, 950, 159, 968},
        {"leaves the top", UpperLine(100, 900, 200, 1100), kChartDaily, 100, 900, 150, 1000},
        {"inside at the first point only", UpperLine(100, 1000, 110, 1100), kChartDaily, 100, 1000,
         kUnsetIndex, kUnsetPrice},
        {"inside at the last point only", UpperLine(150, 800, 159, 900), kChartDaily, kUnsetIndex,
         kUnsetPrice, 159, 900},
        {"wholly above", UpperLine(110, 1100, 130, 1200), kChartDaily, kUnsetIndex, kUnsetPrice,
         kUnsetIndex, kUnsetPrice},
        {"after the band", UpperLine(160, 950, 170, 950), kChartDaily, kUnsetIndex, kUnsetPrice,
         kUnsetIndex, kUnsetPrice},
        {"unset", ShasenRec{}, kChartDaily, kUnsetIndex, kUnsetPrice, kUnsetIndex, kUnsetPrice},
        // Kagi x units are 200 a stroke: the line's prices at points are the same.
        {"kagi", UpperLine(80, 960, 120, 1000), kChartKagi, 100, 980, 120, 1000},
    };
    for (const Case& c : cases) {
        std::array<ShasenRec, 5> lineSlots{};
        lineSlots[1] = c.slot;
        lineSlots[1].Slot = 1;
        const std::array<ShasenRec, 5> clipped = ClipShasenLines(lineSlots, band, c.kind);
        EXPECT_EQ(clipped[1].UpperLeftIndex, c.left) << c.what;
        EXPECT_NEAR(clipped[1].UpperLeftPrice, c.leftPrice, 1e-9) << c.what;
        EXPECT_EQ(clipped[1].UpperRightIndex, c.right) << c.what;
        EXPECT_NEAR(clipped[1].UpperRightPrice, c.rightPrice, 1e-9) << c.what;
        EXPECT_EQ(clipped[1].LowerLeftIndex, kUnsetIndex) << c.what;
        EXPECT_EQ(clipped[0].UpperLeftIndex, kUnsetIndex) << c.what;
    }
}

}  // namespace
