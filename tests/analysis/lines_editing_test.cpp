// ctest-labels: lineedit
// Line clicks on a chart's record and overlay, without windows: setting ends on highs and
// lows, parallel lines, extending into the blank room, their refusals, the kagi strokes'
// highs and lows, and the slot highlight and stepping.
#include "analysis/lines_editing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "analysis/lines_model.h"
#include "analysis/state.h"
#include "support/scripted_sink.h"

namespace {

constexpr int32_t kPoints = 300;
constexpr int32_t kFirstShown = 150;
constexpr int32_t kShown = 150;

// Highs and lows that differ from point to point and from each other.
double High(int32_t i) {
    return 1000 + 2 * i + (i % 7) * 3;
}
double Low(int32_t i) {
    return High(i) - 40 - (i % 5) * 4;
}

SeriesRecord DailySeries300() {
    SeriesRecord record;
    record.ChartKind = kChartDaily;
    for (int32_t i = 0; i < kPoints; ++i) {
        SeriesPoint bar;
        bar.High = High(i);
        bar.Low = Low(i);
        bar.Open = bar.Close = (bar.High + bar.Low) / 2;
        record.Points.push_back(bar);
    }
    record.Count = kPoints;
    record.FirstShownPoint = kFirstShown;
    InitShasenSet(record.ShasenSlots);
    return record;
}

std::string Describe(const ShasenRec& s) {
    char text[200];
    std::snprintf(text, sizeof text, "U(%d,%.4f)-(%d,%.4f) L(%d,%.4f)-(%d,%.4f)", s.UpperLeftIndex,
                  s.UpperLeftPrice, s.UpperRightIndex, s.UpperRightPrice, s.LowerLeftIndex,
                  s.LowerLeftPrice, s.LowerRightIndex, s.LowerRightPrice);
    return text;
}

ShasenRec Slot(int32_t ul, double ulp, int32_t ur, double urp, int32_t ll, double llp, int32_t lr,
               double lrp) {
    return ShasenRec{ul, ulp, ur, urp, ll, llp, lr, lrp, 3};
}

ShasenRec Empty() {
    ShasenRec slot;
    slot.Slot = 3;
    return slot;
}

// Both lines of a slot through the highs and lows from left to right.
ShasenRec OnHighsAndLows(int32_t left, int32_t right) {
    return Slot(left, High(left), right, High(right), left, Low(left), right, Low(right));
}

// A pair whose lower line runs 199..210 from 900 to 944 (4 a point) and whose upper line
// runs 199..210 from 1000 to 1110 (10 a point).
ShasenRec Pair() {
    return Slot(199, 1000, 210, 1110, 199, 900, 210, 944);
}

ShasenEditOptions Options(ShasenClickMode mode, bool upper, bool leftEnd) {
    ShasenEditOptions options;
    options.Mode = mode;
    options.Upper = upper;
    options.LeftEnd = leftEnd;
    return options;
}

constexpr auto kSet = ShasenClickMode::Set;
constexpr auto kParallel = ShasenClickMode::Parallel;
constexpr auto kExtend = ShasenClickMode::Extend;

struct ClickCase {
    const char* name;
    ShasenRec start;
    ShasenEditOptions options;
    int32_t cursor;
    const char* message;  // "" when the click is taken
    ShasenRec expected;
};

// The upper line made parallel to Pair()'s lower line through the high of point 205.
ShasenRec ParallelUpperAt205() {
    const double lowerAt205 = 900 + 4.0 * (205 - 199);
    const double d = High(205) - lowerAt205;
    return Slot(199, 900 + d, 210, 944 + d, 199, 900, 210, 944);
}

const ClickCase kClickCases[] = {
    {"right end into an empty slot makes both lines", Empty(), Options(kSet, true, false), 200, "",
     OnHighsAndLows(199, 200)},
    {"lower first gives the same pair", Empty(), Options(kSet, false, false), 200, "",
     OnHighsAndLows(199, 200)},
    {"left end into an empty slot", Empty(), Options(kSet, true, true), 200, "",
     OnHighsAndLows(200, 201)},
    {"left end on the last shown point", Empty(), Options(kSet, true, true), 299,
     "1つ手前までの範囲で設定してください。", Empty()},
    {"right end on the first shown point", Empty(), Options(kSet, true, false), 150,
     "1つ先までの範囲で設定してください。", Empty()},
    {"left end on the right end", Pair(), Options(kSet, true, true), 210,
     "終了位置を越えないように設定してください。", Pair()},
    {"left end past the right end", Pair(), Options(kSet, true, true), 220,
     "終了位置を越えないように設定してください。", Pair()},
    {"left end moves before the right end", Pair(), Options(kSet, true, true), 205, "",
     Slot(205, High(205), 210, 1110, 199, 900, 210, 944)},
    {"right end of the lower line", Pair(), Options(kSet, false, false), 220, "",
     Slot(199, 1000, 210, 1110, 199, 900, 220, Low(220))},
    {"right end on the left end", Pair(), Options(kSet, false, false), 199,
     "開始位置を越えないように設定してください。", Pair()},
    {"set past the newest point", Empty(), Options(kSet, true, false), 300,
     "ﾁｬｰﾄの範囲内で設定してください。", Empty()},
    {"set before the first point", Empty(), Options(kSet, true, false), -1,
     "ﾁｬｰﾄの範囲内で設定してください。", Empty()},
    {"parallel upper through the high", Pair(), Options(kParallel, true, false), 205, "",
     ParallelUpperAt205()},
    {"parallel lower through the low", Pair(), Options(kParallel, false, false), 210, "",
     Slot(199, 1000, 210, 1110, 199, 1000 + Low(210) - 1110, 210, Low(210))},
    {"parallel on an empty slot", Empty(), Options(kParallel, true, false), 205,
     "斜線を設定してください。", Empty()},
    {"parallel outside the reference", Pair(), Options(kParallel, true, false), 215,
     "基準線の範囲内で設定してください。", Pair()},
    {"extend into the blank room", Pair(), Options(kExtend, true, false), 305, "",
     Slot(199, 1000, 305, 2060, 199, 900, 210, 944)},
    {"extend back along the line", Pair(), Options(kExtend, false, false), 205, "",
     Slot(199, 1000, 210, 1110, 199, 900, 205, 924)},
    {"extend past the blank room", Pair(), Options(kExtend, true, false), 310,
     "ﾁｬｰﾄの範囲内で設定してください。", Pair()},
    {"extend onto the left end", Pair(), Options(kExtend, true, false), 199,
     "開始位置を越えないように設定してください。", Pair()},
    {"extend an empty slot", Empty(), Options(kExtend, true, false), 250,
     "斜線を設定してください。", Empty()},
};

class LinesEditingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetCurLineSlot(false);
        record = DailySeries300();
    }
    SeriesRecord record;
    PriceOverlay overlay;
};

TEST_F(LinesEditingTest, ClicksOnADailySeriesOf300Points) {
    for (const ClickCase& c : kClickCases) {
        SCOPED_TRACE(c.name);
        record.ShasenSlots[3] = c.start;
        record.CursorPoint = c.cursor;
        ScriptedSink sink;
        if (*c.message) sink.Expect(MsgKind::Warn, c.message);
        OnChartClickShasen(overlay, record, kShown, c.options);
        EXPECT_TRUE(sink.AllShown());
        EXPECT_EQ(Describe(record.ShasenSlots[3]), Describe(c.expected));
        for (int32_t other = 0; other < 3; ++other)
            EXPECT_EQ(record.ShasenSlots[other].UpperLeftIndex, kUnsetIndex);
    }
}

TEST_F(LinesEditingTest, ATakenClickPlacesTheLinesAndARefusedSetDoesNot) {
    record.CursorPoint = 200;
    OnChartClickShasen(overlay, record, kShown, Options(kSet, true, false));
    const LinePlacement& upper = overlay.LIN_斜線T10[3];
    EXPECT_TRUE(upper.Visible);
    EXPECT_DOUBLE_EQ(upper.X1, BarToX(199, kFirstShown, kChartDaily));
    EXPECT_DOUBLE_EQ(upper.Y2, High(200));
    EXPECT_TRUE(overlay.LIN_斜線B10[3].Visible);

    // A refused set leaves the controls where they were, even when the record moved.
    record.ShasenSlots[3] = Pair();
    record.CursorPoint = 220;
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "終了位置を越えないように設定してください。");
    OnChartClickShasen(overlay, record, kShown, Options(kSet, true, true));
    EXPECT_DOUBLE_EQ(upper.X1, BarToX(199, kFirstShown, kChartDaily));
    EXPECT_DOUBLE_EQ(upper.X2, BarToX(200, kFirstShown, kChartDaily));
}

TEST_F(LinesEditingTest, TheShownRangeEndsAtTheNewestPoint) {
    // 150 shown from 200 would reach 349: the left end may still go up to 298 only.
    record.FirstShownPoint = 200;
    record.CursorPoint = 298;
    OnChartClickShasen(overlay, record, kShown, Options(kSet, true, true));
    EXPECT_EQ(Describe(record.ShasenSlots[3]), Describe(OnHighsAndLows(298, 299)));
    EXPECT_EQ(Lines().EditLastShown, 299);
}

// Kagi strokes: 0 rises 100→150, 1 falls 150→120, 2 rises 120→170, 3 falls 170→130.
SeriesRecord Strokes() {
    SeriesRecord kagi;
    kagi.ChartKind = kChartKagi;
    const double ends[][2] = {{100, 150}, {150, 120}, {120, 170}, {170, 130}};
    for (const auto& end : ends) {
        SeriesPoint stroke;
        stroke.Open = end[0];
        stroke.Close = end[1];
        stroke.High = -1;
        kagi.Points.push_back(stroke);
    }
    kagi.Count = 4;
    kagi.FirstShownPoint = 0;
    InitShasenSet(kagi.ShasenSlots);
    return kagi;
}

TEST_F(LinesEditingTest, KagiStrokesGiveTheirHighsAndLowsByDirection) {
    struct StrokeCase {
        int32_t cursor;
        bool leftEnd;
        ShasenRec expected;
        std::array<double, 3> highs;
        std::array<double, 3> lows;
    };
    const StrokeCase cases[] = {
        // A falling stroke: its start is its high; its rising neighbours end at their highs.
        {1, false, Slot(0, 150, 1, 150, 0, 100, 1, 120), {150, 150, 170}, {120, 100, 120}},
        // A rising stroke: its end is its high; its falling neighbours start at their highs.
        {2, false, Slot(1, 150, 2, 170, 1, 120, 2, 120), {170, 150, 170}, {120, 120, 130}},
        // The last stroke has no next one, the first no previous one: 0 stands for them.
        {3, false, Slot(2, 170, 3, 170, 2, 120, 3, 130), {170, 170, 0}, {130, 120, 0}},
        {0, true, Slot(0, 150, 1, 150, 0, 100, 1, 120), {150, 0, 150}, {100, 0, 120}},
    };
    for (const StrokeCase& c : cases) {
        SCOPED_TRACE(c.cursor);
        SeriesRecord kagi = Strokes();
        kagi.CursorPoint = c.cursor;
        OnKagiClickShasen(overlay, kagi, 10, Options(kSet, true, c.leftEnd));
        EXPECT_EQ(Describe(kagi.ShasenSlots[3]), Describe(c.expected));
        EXPECT_EQ(Lines().ClickHighs, c.highs);
        EXPECT_EQ(Lines().ClickLows, c.lows);
    }
}

TEST_F(LinesEditingTest, AKagiParallelTakesTheLargerEndAsItsHigh) {
    SeriesRecord kagi = Strokes();
    kagi.ShasenSlots[3] = Slot(0, 200, 3, 230, 0, 100, 3, 130);
    kagi.CursorPoint = 1;  // falls 150→120: the upper line goes through 150
    OnKagiClickShasen(overlay, kagi, 10, Options(kParallel, true, false));
    EXPECT_EQ(Describe(kagi.ShasenSlots[3]), Describe(Slot(0, 140, 3, 170, 0, 100, 3, 130)));
}

TEST_F(LinesEditingTest, SteppingWrapsAndTheHighlightFollows) {
    struct StepCase {
        int16_t from;
        int32_t step;
        int16_t to;
    };
    const StepCase lines[] = {{3, 1, 1}, {1, -1, 3}, {2, 1, 3}, {0, 1, 1}, {0, -1, 3}};
    for (const StepCase& c : lines) {
        SCOPED_TRACE(testing::Message() << c.from << " by " << c.step);
        PriceOverlay fresh;
        Lines().CurLineSlot = c.from;
        HighlightCurShasen(fresh, true);
        StepCurShasen(fresh, c.step);
        EXPECT_EQ(Lines().CurLineSlot, c.to);
        for (int32_t slot = 1; slot <= 3; ++slot) {
            const int32_t colour = slot == c.to ? kHighlightColour : kUnhighlightColour;
            EXPECT_EQ(fresh.LIN_斜線T10[slot].BorderColor, colour) << slot;
            EXPECT_EQ(fresh.LIN_斜線B10[slot].BorderColor, colour) << slot;
        }
        // The judgement slot keeps its own colours.
        EXPECT_EQ(fresh.LIN_斜線T10[0].BorderColor, kJudgementUpperLineColour);
        EXPECT_EQ(fresh.LIN_斜線B10[0].BorderColor, kJudgementLowerLineColour);
    }
    const StepCase barriers[] = {{2, 1, 1}, {1, -1, 2}, {0, -1, 2}};
    for (const StepCase& c : barriers) {
        PriceOverlay fresh;
        Lines().CurKanmonSlot = c.from;
        HighlightCurKanmon(fresh, true);
        StepCurKanmon(fresh, c.step);
        EXPECT_EQ(Lines().CurKanmonSlot, c.to);
        EXPECT_EQ(fresh.SHP_関門10[c.to].BorderColor, kHighlightColour);
        EXPECT_NE(fresh.SHP_関門10[3 - c.to].BorderColor, kHighlightColour);
    }
}

TEST_F(LinesEditingTest, DeletingClearsTheCurrentOrTheJudgementLine) {
    record.ShasenSlots[0] = Pair();
    record.ShasenSlots[3] = Pair();
    PlaceShasenShapes(overlay, record.ShasenSlots, kFirstShown, 1, kChartDaily);
    DeleteCurShasen(record, overlay, false);
    EXPECT_EQ(record.ShasenSlots[3].UpperLeftIndex, kUnsetIndex);
    EXPECT_FALSE(overlay.LIN_斜線T10[3].Visible);
    EXPECT_EQ(record.ShasenSlots[0].UpperLeftIndex, 199);
    SetCurLineSlot(true);
    DeleteCurShasen(record, overlay, false);  // the judgement line only by its own option
    EXPECT_EQ(record.ShasenSlots[0].UpperLeftIndex, 199);
    DeleteCurShasen(record, overlay, true);
    EXPECT_EQ(record.ShasenSlots[0].UpperLeftIndex, kUnsetIndex);
    EXPECT_FALSE(overlay.LIN_斜線B10[0].Visible);
}

}  // namespace
