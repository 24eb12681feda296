// ctest-labels: kagi
#include "analysis/kagi_evaluation.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "analysis/kagi_rule_state_printer.h"

namespace {

// What the injected families say: at point i, family slot n appends script[i][n].
std::map<int32_t, std::vector<std::string>> script;
int32_t familyCalls = 0;

template <size_t Slot>
void ScriptedFamily(const KagiPrices&, int32_t i, KagiRuleState& state, const KagiJudgeOptions&) {
    ++familyCalls;
    const auto it = script.find(i);
    if (it == script.end() || Slot >= it->second.size() || it->second[Slot].empty()) return;
    const std::string& name = it->second[Slot];
    state.EvalRuleText += name;
    // As every family does: a name counts for its side and ends the other side's run.
    if (name.find("売") != std::string::npos) {
        ++state.SellRun;
        state.BuyRun = 0;
    } else {
        ++state.BuyRun;
        state.SellRun = 0;
    }
}

const KagiFamilyTable kScripted = {ScriptedFamily<0>, ScriptedFamily<1>, ScriptedFamily<2>,
                                   ScriptedFamily<3>, ScriptedFamily<0>, ScriptedFamily<1>,
                                   ScriptedFamily<2>, ScriptedFamily<3>};

std::vector<SeriesPoint> KagiPoints(const std::vector<double>& prices) {
    std::vector<SeriesPoint> points(prices.size());
    for (size_t k = 0; k < prices.size(); ++k) {
        points[k].Open = prices[k];
        points[k].DateText = "d" + std::to_string(k);
    }
    return points;
}

struct Evaluation {
    KagiRuleState state;
    RuleMarkState marks;
    KagiJudgeOptions options;
    KagiMarket market;
    KagiEvaluator ev{state, marks, options, market, kScripted};

    Evaluation() {
        ResetKagiRuleState(state);
        script.clear();
        familyCalls = 0;
    }
    int32_t Record(const std::vector<SeriesPoint>& points, int32_t i) {
        return RecordKagiRuleHit(ev, points.data(), i + 1, i);
    }
};

}  // namespace

// Signals alternate: two rule names of one direction in a row, counted across strokes and
// families, and the last signal on the other side.
TEST(KagiEvaluation, AlternationOfSides) {
    Evaluation e;
    // Every stroke breaks the turn before it by ten ticks or more.
    const auto points = KagiPoints({100, 110, 90, 120, 80, 130, 70, 140, 60, 150, 50, 160});
    struct Step {
        int32_t point;
        std::vector<std::string> names;
        const char* side;  // nullptr: no mark
        const char* text;
    } steps[] = {
        {3, {"ろさ買①"}, "", "ろさ買"},    // first buy name: no signal
        {4, {"ろさ売①"}, "", "ろさ売"},    // first sell name after buys
        {5, {}, nullptr, nullptr},         // no rule: the sell run goes on
        {6, {"ろく売②"}, "売", "ろく売"},  // second sell name in a row
        {7, {}, nullptr, nullptr},
        {8, {"ろあ売"}, "", "ろあ売"},                    // already in a sell signal
        {9, {"ろさ買③", "ろく買①"}, "買", "ろさろく買"},  // two families at once
        {10, {"", "", "ろゑ売②"}, "", "ろゑ売"},
        {11, {"ろさ買①"}, "", "ろさ買"},  // the sell name broke the buy run
    };
    int32_t expectedCount = 0;
    for (const Step& step : steps) {
        script[step.point] = step.names;
        const int32_t r = e.Record(points, step.point);
        if (!step.side) {
            EXPECT_EQ(r, -1) << step.point;
            continue;
        }
        ASSERT_EQ(r, expectedCount) << step.point;
        ++expectedCount;
        const RuleHit& hit = e.marks.RuleMarkTable[r];
        EXPECT_EQ(hit.Side, step.side) << step.point;
        EXPECT_EQ(hit.RuleText, step.text) << step.point;
        EXPECT_EQ(hit.DateText, "d" + std::to_string(step.point));
        EXPECT_DOUBLE_EQ(hit.StrokePrice, points[step.point].Open);
        const double turn = points[step.point - 2].Open;
        EXPECT_DOUBLE_EQ(hit.SignalPrice, turn + (step.point % 2 ? 2 : -2)) << step.point;
    }
    EXPECT_EQ(e.marks.RuleMarkCount, expectedCount);
    EXPECT_FALSE(e.state.InSellSignal);
    EXPECT_TRUE(e.state.InBuySignal);
}

TEST(KagiEvaluation, ThreeTickSignalNeedsAThreeTickBreak) {
    // The bottom at 90 is broken by 2 ticks (88) but not by 3.
    const auto points = KagiPoints({100, 110, 90, 120, 88});
    for (bool twoTicks : {true, false}) {
        Evaluation e;
        e.options.TwoTicks = twoTicks;
        script[4] = {"ろさ売①", "ろく売①"};
        ASSERT_EQ(e.Record(points, 4), 0);
        const RuleHit& hit = e.marks.RuleMarkTable[0];
        EXPECT_EQ(hit.Side, twoTicks ? "売" : "");
        EXPECT_DOUBLE_EQ(hit.SignalPrice, 88);  // the two-tick reference either way
        EXPECT_DOUBLE_EQ(e.state.Ref3, 87);
    }
    // Broken by 3 ticks, the three-tick signal carries the three-tick reference.
    Evaluation e;
    e.options.TwoTicks = false;
    script[4] = {"ろさ売①", "ろく売①"};
    ASSERT_EQ(e.Record(KagiPoints({100, 110, 90, 120, 87}), 4), 0);
    EXPECT_EQ(e.marks.RuleMarkTable[0].Side, "売");
    EXPECT_DOUBLE_EQ(e.marks.RuleMarkTable[0].SignalPrice, 87);
}

TEST(KagiEvaluation, BreakTestUsesTheTickOfTheBrokenTurn) {
    struct Case {
        std::vector<double> prices;
        bool families;  // whether the break test let the families run
    } cases[] = {
        {{100, 110, 90, 120, 88}, true},      // falling: exactly 2 ticks below the bottom
        {{100, 110, 90, 120, 88.01}, false},  // 1.99 ticks
        {{100, 90, 110, 80, 112}, true},      // rising: 2 ticks above the top
        {{100, 90, 110, 80, 111.99}, false},
        // The bottom at 2,000 has a tick of 5 although 1,990 lies in the band of 1.
        {{2100, 2200, 2000, 2300, 1990}, true},
        {{2100, 2200, 2000, 2300, 1991}, false},
    };
    for (const Case& c : cases) {
        Evaluation e;
        e.state.SellRun = 5;
        script[4] = {"ろさ売①"};  // whichever side runs, slot 0 appends a name
        const int32_t r = e.Record(KagiPoints(c.prices), 4);
        EXPECT_EQ(familyCalls, c.families ? 4 : 0) << c.prices[4];
        EXPECT_EQ(r, c.families ? 0 : -1) << c.prices[4];
        if (!c.families) {
            EXPECT_EQ(e.state.SellRun, 5) << "state untouched";
        }
    }
}

TEST(KagiEvaluation, RuleTextNormalisation) {
    const std::pair<const char*, const char*> cases[] = {
        {"ろさ売③ろく売①", "ろさろく売"},
        {"ろゑ買②", "ろゑ買"},
        {"ろあ売", "ろあ売"},
        {"ろさ買⑤ろく買⑥ろあ買", "ろさろくろあ買"},
        {"ろさ売④", "ろさ売"},
        // Both sides: only the sell one is taken out. No side: the buy one is added.
        {"ろさ売①ろく買②", "ろさろく買売"},
        {"ろゑ", "ろゑ買"},
        {"", "買"},
        // Broken UTF-8, where taking out ① leaves a ② that is taken out in turn.
        {"\xe2\x91\xe2\x91\xa0\xa1売", "売"},
        {"\xe2\x91①\xa0x", "\xe2\x91\xa0x買"},
    };
    for (auto [raw, stored] : cases) EXPECT_EQ(NormaliseRuleText(raw), stored) << raw;
}

TEST(KagiEvaluation, ResetGivesTheStartValues) {
    KagiRuleState s;
    s.SellRun = 3;
    s.BuyRun = 2;
    s.InSellSignal = s.InBuySignal = true;
    s.LastRokuSell2 = s.LastRokuBuy2 = 9;
    s.LastRoaBuy = s.LastRosaSell12 = s.LastRoweSell = s.LastRokuBuyGap = 7;
    s.LastRoaSell = s.LastRosaBuy12 = s.LastRoweBuy = s.LastRokuSellGap = 8;
    s.LastRosaSell345 = s.LastRosaBuy345 = 6;
    ResetKagiRuleState(s);
    EXPECT_EQ(s, KagiRuleState{});

    AnalysisResultRec& result = KagiAnalysis().AnalysisResult;
    result.LastRuleText = result.LastSignalSide = result.LatestDate = "x";
    result.LatestVolume = result.LatestClose = 5;
    result.ChangeText = "+1";
    result.RiseRate = 12;
    result.ForwardObservation.RuleText = "ろさ買";
    ResetKagiRuleState();
    EXPECT_EQ(result.LastRuleText + result.LastSignalSide + result.LatestDate, "");
    EXPECT_EQ(result.LatestVolume + result.LatestClose, 0);
    // The fields after the leading eight belong to the analysis run.
    EXPECT_EQ(result.ChangeText, "+1");
    EXPECT_EQ(result.RiseRate, 12);
    EXPECT_EQ(result.ForwardObservation.RuleText, "ろさ買");
}
