// ctest-labels: lines
#include <gtest/gtest.h>

#include "analysis/breakout_signals.h"
#include "analysis/rule_marks.h"
#include "analysis/series.h"
#include "lines_fixture.h"

namespace {

using namespace lines_fixture;

class BreakoutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        input_.Weekly = &market_.weekly;
        input_.Daily = [this]() -> const SeriesRecord* {
            ++dailyLoads_;
            return &market_.daily;
        };
        // The tick depends on the price, so a test can tell whose price it was taken at.
        input_.TickSize = [](double price) { return price < 1000 ? 1.0 : 10.0; };
        input_.TicksNeeded = 0;
        input_.DayLimit = 3;
        input_.Marks = &marks_;
    }
    void SetMarks(std::vector<RuleHit> marks) {
        marks_ = std::move(marks);
        input_.MarkCount = static_cast<int32_t>(marks_.size());
    }

    Market market_{10};
    std::vector<RuleHit> marks_;
    LineSearchInput input_;
    int dailyLoads_ = 0;
};

TEST_F(BreakoutTest, CloseExactlyOnTheLineCutsWithoutTicks) {
    market_.Line(0, 9, 1000, 500);
    market_.Week(3, 980, 1000, 2, 1000);    // the cut day is Wednesday
    SetMarks({Mark(Day(3, 0), "ろさ買")});  // two days before the cut
    const LineSearchResult buy = FindShasenBuySignal(input_);
    EXPECT_EQ(buy.CutDate, 20240131);
    ASSERT_TRUE(buy.Signal);
    EXPECT_EQ(buy.Signal->DateText, "2024/01/31");  // dated by the cut: the mark is older
    EXPECT_EQ(buy.Signal->RuleText, "");
    EXPECT_EQ(buy.Signal->Side, "買");
}

TEST_F(BreakoutTest, TheTickIsTakenAtTheLinePrice) {
    market_.Line(0, 9, 999, 500);
    // Two ticks at the line (999: tick 1) need 1001; at the close (1010: tick 10) 1019.
    input_.TicksNeeded = 2;
    market_.Week(4, 990, 1010, 0, 1010);
    SetMarks({Mark(Day(4, 0), "ろく買")});
    const LineSearchResult buy = FindShasenBuySignal(input_);
    ASSERT_TRUE(buy.Signal);
    EXPECT_EQ(buy.Signal->DateText, "2024/02/05");
    EXPECT_EQ(buy.Signal->RuleText, "ろく買");  // the mark on the cut day dates the signal

    // Below the ticks needed the bar does not cut.
    input_.TicksNeeded = 20;
    EXPECT_FALSE(FindShasenBuySignal(input_).Signal);
    EXPECT_EQ(FindShasenBuySignal(input_).CutDate, 0);
}

TEST_F(BreakoutTest, MarksBeforeAndAfterTheCutWithinTheDayLimit) {
    market_.Line(0, 9, 1000, 500);
    market_.Week(5, 980, 1020, 1, 1020);  // cut on Tuesday 2024/02/13
    struct Case {
        int week, weekday;
        int16_t dayLimit;
        bool confirmed;
        const char* date;
        const char* rule;
    } cases[] = {
        {5, -2, 3, true, "2024/02/13", ""},                      // 3 days before: dated by the cut
        {5, 4, 3, true, "2024/02/16", "ろあ買"},                 // 3 days after: the mark's date
        {5, -2, 0, false, "", ""},                               // 同日限定 needs the same day
        {5, 1, 0, true, "2024/02/13", "ろあ買"},                 // the same day
        {9, 4, 15, false, "", ""},                               // 31 days after
        {9, 4, kNoDayLimitIndex, true, "2024/03/15", "ろあ買"},  // no day limit
    };
    for (const Case& c : cases) {
        input_.DayLimit = c.dayLimit;
        SetMarks({Mark(Day(c.week, c.weekday), "ろあ買")});
        const LineSearchResult buy = FindShasenBuySignal(input_);
        EXPECT_EQ(buy.CutDate, 20240213);
        ASSERT_EQ(buy.Signal.has_value(), c.confirmed) << c.weekday << " " << c.dayLimit;
        if (!c.confirmed) continue;
        EXPECT_EQ(buy.Signal->DateText, c.date);
        EXPECT_EQ(buy.Signal->RuleText, c.rule);
    }
}

TEST_F(BreakoutTest, OpposingMarksCancelOrStopTheSearch) {
    market_.Line(0, 9, 1000, 500);
    market_.Week(5, 980, 1020, 1, 1020);  // cut on Tuesday 2024/02/13
    input_.DayLimit = 7;
    const RuleHit buyAfter = Mark(Day(5, 4), "ろあ買");  // +3 days
    // A sell mark on or after the cut, nearer than the candidate, cancels it.
    SetMarks({Mark(Day(5, 1), "ろさ売"), buyAfter});
    EXPECT_FALSE(FindShasenBuySignal(input_).Signal);
    // A nearer sell mark before the cut stops the search: the buy mark behind it is not met.
    SetMarks({Mark(Day(5, -1), "ろあ買"), Mark(Day(5, 0), "ろさ売")});
    EXPECT_FALSE(FindShasenBuySignal(input_).Signal);
    SetMarks({Mark(Day(5, -1), "ろあ買")});
    EXPECT_TRUE(FindShasenBuySignal(input_).Signal);
    // Stopping keeps the candidate found so far; a farther sell mark is passed over.
    SetMarks({Mark(Day(5, 0), "ろさ売"), buyAfter});
    EXPECT_TRUE(FindShasenBuySignal(input_).Signal);
    SetMarks({Mark(Day(4, 1), "ろさ売"), buyAfter});
    EXPECT_TRUE(FindShasenBuySignal(input_).Signal);
    // Marks behind a mark that is already a signal are not examined.
    SetMarks({buyAfter, Mark(Day(6, 0), "ろく買", "買")});
    EXPECT_FALSE(FindShasenBuySignal(input_).Signal);
}

TEST_F(BreakoutTest, SellSearchMirrorsTheBuySearch) {
    market_.Line(0, 9, 2000, 800);
    market_.Week(6, 850, 790, 3, 790);  // falling through the lower line on Thursday
    SetMarks({Mark(Day(6, 4), "ろゑ売")});
    const LineSearchResult sell = FindShasenSellSignal(input_);
    EXPECT_EQ(sell.CutDate, 20240222);
    ASSERT_TRUE(sell.Signal);
    EXPECT_EQ(sell.Signal->Side, "売");
    EXPECT_EQ(sell.Signal->DateText, "2024/02/23");
    EXPECT_FALSE(FindShasenBuySignal(input_).Signal);

    // The kagi chart already on the sell side: no sell line signal is sought.
    input_.Current = KagiOwn("ろさ売", "2024/01/02", "売");
    EXPECT_FALSE(FindShasenSellSignal(input_).Signal);
    // A kagi signal newer than the confirming mark: no signal either.
    input_.Current = KagiOwn("ろさ買", "2024/03/01", "買");
    EXPECT_FALSE(FindShasenSellSignal(input_).Signal);
}

TEST_F(BreakoutTest, TheLineIsFollowedOnlyUpToTheLastWeek) {
    market_.Line(2, 40, 1000, 500);  // right point far beyond the ten weeks
    market_.Week(9, 980, 1005, 4, 1005);
    SetMarks({Mark(Day(9, 4), "ろさ買")});
    const LineSearchResult buy = FindShasenBuySignal(input_);
    ASSERT_TRUE(buy.Signal);
    EXPECT_EQ(buy.Signal->DateText, "2024/03/15");
}

TEST_F(BreakoutTest, AbsentOrUnanchoredJudgementLinesGiveNoSignal) {
    market_.Week(3, 980, 1020, 0, 1020);
    SetMarks({Mark(Day(3, 0), "ろさ買")});
    struct Case {
        int32_t left, right;
    } cases[] = {{kUnsetIndex, kUnsetIndex}, {-1, 5}, {4, 4}, {6, 2}};
    for (const Case& c : cases) {
        market_.Line(c.left, c.right, 1000, 500);
        const LineSearchResult buy = FindShasenBuySignal(input_);
        EXPECT_FALSE(buy.Signal) << c.left << " " << c.right;
        EXPECT_EQ(buy.CutDate, 0);
    }
    EXPECT_EQ(dailyLoads_, 0);
}

TEST_F(BreakoutTest, WeeksOlderThanTheDailyHistoryAreSkipped) {
    market_ = Market(10, 4);  // daily bars only from week 4
    market_.Line(0, 9, 1000, 500);
    market_.Week(1, 980, 1020, 0, 1020);  // no daily bars for this cut
    market_.Week(6, 980, 1020, 0, 1020);
    SetMarks({Mark(Day(6, 0), "ろさ買")});
    const LineSearchResult buy = FindShasenBuySignal(input_);
    ASSERT_TRUE(buy.Signal);
    EXPECT_EQ(buy.Signal->DateText, "2024/02/19");
}

TEST_F(BreakoutTest, DailyLoadFailureEndsTheSearchWithoutASignal) {
    market_.Line(0, 9, 1000, 500);
    market_.Week(3, 980, 1020, 0, 1020);
    SetMarks({Mark(Day(3, 0), "ろさ買")});
    input_.Daily = [] { return static_cast<const SeriesRecord*>(nullptr); };
    EXPECT_FALSE(FindShasenBuySignal(input_).Signal);
}

TEST_F(BreakoutTest, SearchChoosesTheLaterSideAndReportsTheLatestCut) {
    market_.Line(0, 9, 1000, 800);
    market_.Week(2, 980, 1020, 0, 1020);  // buy cut 2024/01/22
    market_.Week(7, 850, 790, 0, 790);    // sell cut 2024/02/26
    SetMarks({Mark(Day(2, 0), "ろさ買"), Mark(Day(7, 1), "ろゑ売")});
    const ShasenSignalResult result = SearchShasenSignal(input_);
    EXPECT_EQ(result.HitDate, 20240226);
    ASSERT_TRUE(result.Signal);
    EXPECT_EQ(result.Signal->Side, "売");
    EXPECT_EQ(result.Signal->DateText, "2024/02/27");

    // A cut without any confirming mark is still reported.
    SetMarks({});
    const ShasenSignalResult bare = SearchShasenSignal(input_);
    EXPECT_FALSE(bare.Signal);
    EXPECT_EQ(bare.HitDate, 20240226);
}

TEST(KanmonSignalTest, NewestMarkInsideTheBarrier) {
    const KanmonRec barrier{1100, 1000, 0};
    const std::vector<RuleHit> marks{
        Mark(Day(1, 0), "ろさ買", "", 1050),
        Mark(Day(2, 0), "ろあ売", "売", 1000),  // examined though it already is a signal
        Mark(Day(3, 0), "ろく買", "", 1200),    // outside
    };
    const auto signal = FindKanmonSignal(barrier, KagiOwn(), marks, 3);
    ASSERT_TRUE(signal);
    EXPECT_EQ(signal->DateText, "2024/01/22");
    EXPECT_EQ(signal->Side, "売");
    EXPECT_EQ(signal->RuleText, "ろあ売");

    // Older than the kagi chart's own signal, or on its side: none, and no older mark.
    EXPECT_FALSE(FindKanmonSignal(barrier, KagiOwn("x", "2024/01/23", "買"), marks, 3));
    EXPECT_FALSE(FindKanmonSignal(barrier, KagiOwn("x", "2024/01/02", "売"), marks, 3));
    EXPECT_TRUE(FindKanmonSignal(barrier, KagiOwn("x", "2024/01/22", "買"), marks, 3));
    EXPECT_FALSE(FindKanmonSignal(KanmonRec{900, 800, 0}, KagiOwn(), marks, 3));
}

TEST(ChooseSignalTest, TheLaterSignalWinsAndTheLineWinsATie) {
    const SignalRec line{"", "2024/02/01", "買"};
    const SignalRec sameDay{"ろさ売", "2024/02/01", "売"};
    const SignalRec later{"ろさ売", "2024/02/02", "売"};
    EXPECT_EQ(ChooseShasenKanmonSignal(line, sameDay)->Side, "買");
    EXPECT_EQ(ChooseShasenKanmonSignal(line, later)->Side, "売");
    EXPECT_EQ(ChooseShasenKanmonSignal(std::nullopt, later)->Side, "売");
    EXPECT_EQ(ChooseShasenKanmonSignal(line, std::nullopt)->Side, "買");
    EXPECT_FALSE(ChooseShasenKanmonSignal(std::nullopt, std::nullopt));
}

TEST(SignalHitListTest, KeepsOneSpareElement) {
    EXPECT_EQ(Signals().SignalHitCount, 0);
    EXPECT_EQ(Signals().SignalHitList.size(), 1u);
    AppendSignalHit("1301211", 20240105);
    AppendSignalHit("7203211", 20240112);
    EXPECT_EQ(Signals().SignalHitCount, 2);
    EXPECT_EQ(Signals().SignalHitList.size(), 3u);
    EXPECT_EQ(Signals().SignalHitList[1].IssueCode, "7203211");
    EXPECT_EQ(Signals().SignalHitList[1].Date, 20240112);
}

}  // namespace
