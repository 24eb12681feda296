// ctest-labels: kagirules
// The rule families ろさ, ろく, ろゑ and ろあ: small point arrays per variant, the mirror
// between sell and buy, and reads that never leave the points for any shape and index.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/kagi_families.h"
#include "analysis/kagi_rowe_steps.h"
#include "analysis/kagi_rule_state_printer.h"
#include "analysis/kagi_shapes.h"
#include "analysis/kagi_test_points.h"
#include "support/random_draws.h"

namespace {

// The sell text with every 売 replaced by 買.
std::string AsBuy(std::string text) {
    const std::string sell = "売", buy = "買";
    for (size_t at = text.find(sell); at != std::string::npos; at = text.find(sell, at)) {
        text.replace(at, sell.size(), buy);
    }
    return text;
}

// The state the buy families leave on the negated prices, from the one the sell families left
// on the prices: the sell and buy fields swapped, the names read as buy names. The reference
// prices belong to the evaluation around the families and stay as they are.
KagiRuleState Mirrored(KagiRuleState s) {
    std::swap(s.SellRun, s.BuyRun);
    std::swap(s.InSellSignal, s.InBuySignal);
    std::swap(s.LastRosaSell12, s.LastRosaBuy12);
    std::swap(s.LastRosaSell345, s.LastRosaBuy345);
    std::swap(s.LastRokuSell2, s.LastRokuBuy2);
    std::swap(s.LastRokuSellGap, s.LastRokuBuyGap);
    std::swap(s.LastRoweSell, s.LastRoweBuy);
    std::swap(s.LastRoaSell, s.LastRoaBuy);
    s.EvalRuleText = AsBuy(s.EvalRuleText);
    return s;
}

struct FamilyPair {
    KagiFamily sell;
    KagiFamily buy;
};
const FamilyPair kRosa{CheckRuleRosaSell, CheckRuleRosaBuy};
const FamilyPair kRoku{CheckRuleRokuSell, CheckRuleRokuBuy};
const FamilyPair kRowe{CheckRuleRoweSell, CheckRuleRoweBuy};
const FamilyPair kRoa{CheckRuleRoaSell, CheckRuleRoaBuy};

// One variant case in sell orientation: the family runs at the last point (a falling
// stroke below the bottom before it).
struct Case {
    const char* what;
    FamilyPair family;
    KagiPoints points;
    std::string expected;
    KagiJudgeOptions options = {};
    KagiRuleState state = {};
};

KagiJudgeOptions Options(void (*change)(KagiJudgeOptions&)) {
    KagiJudgeOptions options;
    change(options);
    return options;
}

// A fresh state with one last-index field set.
KagiRuleState With(int32_t KagiRuleState::*field, int32_t value) {
    KagiRuleState state;
    state.*field = value;
    return state;
}

const KagiJudgeOptions kUnlimited = Options([](KagiJudgeOptions& o) { o.RepeatUnlimited = true; });
const KagiJudgeOptions kNotLongLine = Options([](KagiJudgeOptions& o) { o.NotLongLine = true; });
const KagiJudgeOptions kNewPriceUpToThree =
    Options([](KagiJudgeOptions& o) { o.NewPriceBeyondThree = false; });
const KagiJudgeOptions kNoThird = Options([](KagiJudgeOptions& o) { o.ConsiderThird = false; });
const KagiJudgeOptions kSecondUpToThree =
    Options([](KagiJudgeOptions& o) { o.SecondUnlimited = false; });
const KagiJudgeOptions kThreeMountainsOnly =
    Options([](KagiJudgeOptions& o) { o.MountainUnlimited = false; });
const KagiJudgeOptions kSecondNotAdopted =
    Options([](KagiJudgeOptions& o) { o.AdoptSecond = false; });

// Shapes shared by several cases.
const KagiPoints kRosaOne{100, 120, 105, 115, 100, 125, 95};
const KagiPoints kRosaOneLater{90, 100, 120, 105, 115, 100, 125, 95};
const KagiPoints kRosaTwo{80, 150, 90, 140, 100, 130, 110, 120, 105};
const KagiPoints kRosaThree{100, 90, 110, 95, 115, 100, 120, 105, 125, 98};
const KagiPoints kRosaFour{90, 110, 95, 115, 100, 120, 105, 125, 110, 122, 100};
const KagiPoints kRosaFive{100, 96, 110, 95, 115, 100, 120, 105, 125, 98};
const KagiPoints kRokuTwo{110, 90, 120, 100, 150, 125, 145, 128, 148, 120};
const KagiPoints kRokuTwoLate{110, 90, 120, 100, 150, 125, 145, 128, 148, 130, 147, 132, 146, 125};
const KagiPoints kRoweComposite{100, 110, 105, 140, 130, 170, 150, 155, 145};
const KagiPoints kRoweGapFalling{100, 80, 110, 100, 150, 130, 148, 132, 145, 125};
const KagiPoints kRoweFourTops{100, 80, 110, 100, 150, 130, 149, 132, 148, 133, 147, 128};
const KagiPoints kRoaPlain{100, 90, 130, 100, 110, 95, 135, 105, 120, 100};
const KagiPoints kRoaHighBottom{100, 90, 130, 100, 110, 95, 170, 150, 160, 140};
const KagiPoints kRoaCloser{100, 90, 130, 100, 110, 105, 135, 120, 160, 140, 150, 130};

constexpr auto kRosa12 = &KagiRuleState::LastRosaSell12;
constexpr auto kRosa345 = &KagiRuleState::LastRosaSell345;
constexpr auto kRoku2 = &KagiRuleState::LastRokuSell2;
constexpr auto kRokuGap = &KagiRuleState::LastRokuSellGap;
constexpr auto kRoweLast = &KagiRuleState::LastRoweSell;
constexpr auto kRoaLast = &KagiRuleState::LastRoaSell;

const KagiPoints kRosaLongLine{100, 105, 101, 150, 140, 145, 135, 150, 130};
const KagiPoints kRosaTwoSteps{112, 96, 110, 95, 115, 100, 120, 105, 125, 98};
const KagiPoints kRokuThreeLongFall{118, 100, 130, 110, 120, 105};
const KagiPoints kRokuAboveCeiling{110, 90, 120, 100, 150, 125, 145, 128, 161, 120};
const KagiPoints kRoweFour{100, 120, 110, 170, 150, 160, 140};
const KagiPoints kRoweOutOfBand{100, 80, 110, 100, 150, 130, 148, 132, 139, 125};
const KagiPoints kRoweMountain{100, 80, 110, 100, 150, 130, 155, 135, 152, 130};
const KagiPoints kRoweOlderGap{100, 80, 110, 100, 200, 150, 202, 180, 205, 203, 207, 204, 212, 200};

const std::vector<Case>& Cases() {
    // clang-format off
    static const std::vector<Case> cases = {
        // ろさ ①
        {"rosa1", kRosa, kRosaOne, "ろさ売①"},
        {"rosa1 equal tops and bottoms", kRosa, {100, 120, 100, 120, 100, 120, 95}, "ろさ売①"},
        {"rosa1 repeat at distance 2", kRosa, kRosaOne, "", {}, With(kRosa12, 4)},
        {"rosa1 repeat at distance 4", kRosa, kRosaOne, "", {}, With(kRosa12, 2)},
        {"rosa1 at distance 6", kRosa, kRosaOneLater, "ろさ売①", {}, With(kRosa12, 1)},
        {"rosa1 distance 2, unlimited", kRosa, kRosaOne, "ろさ売①", kUnlimited, With(kRosa12, 4)},
        {"rosa1 distance 4, unlimited", kRosa, kRosaOne, "ろさ売①", kUnlimited, With(kRosa12, 2)},
        {"rosa1 after a long line", kRosa, kRosaLongLine, "ろさ売①"},
        {"rosa1 after a long line, not taken", kRosa, kRosaLongLine, "", kNotLongLine},
        // ろさ ②
        {"rosa2", kRosa, kRosaTwo, "ろさ売②"},
        {"rosa2 repeat at distance 4", kRosa, kRosaTwo, "", {}, With(kRosa12, 4)},
        // ろさ ③ to ⑤
        {"rosa3 three new highs", kRosa, kRosaThree, "ろさ売③"},
        {"rosa3 again, next chance", kRosa, kRosaThree, "ろさ売③", {}, With(kRosa345, 7)},
        {"rosa3 two steps, three asked", kRosa, kRosaTwoSteps, ""},
        {"rosa3 two steps, two asked", kRosa, kRosaTwoSteps, "ろさ売③", kNewPriceUpToThree},
        {"rosa4", kRosa, kRosaFour, "ろさ売④"},
        {"rosa4 within E of the last", kRosa, kRosaFour, "", {}, With(kRosa345, 2)},
        {"rosa4 beyond E of the last", kRosa, kRosaFour, "ろさ売④", {}, With(kRosa345, 1)},
        {"rosa5", kRosa, kRosaFive, "ろさ売⑤"},
        {"rosa5 within E of the last", kRosa, kRosaFive, "", {}, With(kRosa345, 1)},
        // ろく
        {"roku1", kRoku, {120, 130, 110, 115, 105}, "ろく売①"},
        {"roku3 at exactly two thirds", kRoku, {112, 100, 130, 110, 120, 105}, "ろく売③"},
        {"roku3 below two thirds", kRoku, {112, 100, 130, 112, 120, 105}, ""},
        {"roku3 taking back all", kRoku, {112, 100, 130, 100, 120, 95}, ""},
        {"roku3 after a long fall", kRoku, kRokuThreeLongFall, ""},
        {"roku3 long fall, not considered", kRoku, kRokuThreeLongFall, "ろく売③", kNoThird},
        {"roku2", kRoku, kRokuTwo, "ろく売②"},
        {"roku2 gap already used", kRoku, kRokuTwo, "", {}, With(kRokuGap, 2)},
        {"roku2 within five of the last", kRoku, kRokuTwo, "", {}, With(kRoku2, 4)},
        {"roku2 six after the last", kRoku, kRokuTwo, "ろく売②", {}, With(kRoku2, 3)},
        {"roku2 after the third top", kRoku, kRokuTwoLate, "ろく売②"},
        {"roku2 after the third top, up to three", kRoku, kRokuTwoLate, "", kSecondUpToThree},
        {"roku2 a top above the ceiling", kRoku, kRokuAboveCeiling, ""},
        // ろゑ long lines
        {"rowe4", kRowe, kRoweFour, "ろゑ売④"},
        {"rowe3", kRowe, {100, 120, 110, 170, 165, 175, 160}, "ろゑ売③"},
        {"rowe long line already named", kRowe, kRoweFour, "", {}, With(kRoweLast, 3)},
        {"rowe single line, bottom not above", kRowe, {100, 120, 110, 170, 120, 160, 110}, ""},
        {"rowe composite", kRowe, kRoweComposite, "ろゑ売④"},
        {"rowe composite within 2 of last", kRowe, kRoweComposite, "", {}, With(kRoweLast, 3)},
        {"rowe composite 3 after last", kRowe, kRoweComposite, "ろゑ売④", {}, With(kRoweLast, 2)},
        {"rowe6", kRowe, {100, 120, 110, 180, 160, 185, 165, 175, 150}, "ろゑ売⑥"},
        // ろゑ gaps
        {"rowe1 falling tops", kRowe, kRoweGapFalling, "ろゑ売①"},
        {"rowe1 gap already named", kRowe, kRoweGapFalling, "", {}, With(kRoweLast, 4)},
        {"rowe1 falling tops out of the band", kRowe, kRoweOutOfBand, ""},
        {"rowe2 mountain", kRowe, kRoweMountain, "ろゑ売②"},
        {"rowe four tops", kRowe, kRoweFourTops, "ろゑ売①"},
        {"rowe four tops, three mountains only", kRowe, kRoweFourTops, "", kThreeMountainsOnly},
        {"rowe5 older gap", kRowe, kRoweOlderGap, "ろゑ売⑤"},
        // ろあ
        {"roa", kRoa, kRoaPlain, "ろあ売"},
        {"roa trough already used", kRoa, kRoaPlain, "", {}, With(kRoaLast, 4)},
        {"roa2 high bottom", kRoa, kRoaHighBottom, "ろあ売②"},
        {"roa2 high bottom, not adopted", kRoa, kRoaHighBottom, "", kSecondNotAdopted},
        {"roa2 closer second peak", kRoa, kRoaCloser, "ろあ売②"},
        {"roa2 closer second peak, not adopted", kRoa, kRoaCloser, "", kSecondNotAdopted},
        {"roa too short", kRoa, {100, 90, 130, 100, 110}, ""},
        // The bottom before the break at exactly 110 % of the first peak is not below it
        // (1.1 x 200 is a little above 220 in binary).
        {"roa bottom at 110 % of the first peak", kRoa,
         {150, 140, 200, 160, 180, 150, 260, 220, 240, 210}, "ろあ売②"},
        {"roa first point as the first peak", kRoa,
         {100, 150, 110, 140, 105, 120, 100, 145, 125, 140, 95}, "ろあ売"},
    };
    // clang-format on
    return cases;
}

}  // namespace

TEST(KagiRules, EachVariantFiresOrNot) {
    for (const Case& c : Cases()) {
        KagiRuleState state = c.state;
        EXPECT_EQ(RunFamily(c.family.sell, c.points, state, c.options), c.expected) << c.what;
        // A name counts for its side's run and clears the other side's.
        if (!c.expected.empty()) {
            EXPECT_EQ(state.SellRun, c.state.SellRun + 1) << c.what;
            EXPECT_EQ(state.BuyRun, 0) << c.what;
        }
    }
}

TEST(KagiRules, NegatedPricesGiveTheBuyNameAtTheSamePoint) {
    for (const Case& c : Cases()) {
        KagiRuleState sell = c.state;
        KagiRuleState buy = Mirrored(c.state);
        RunFamily(c.family.sell, c.points, sell, c.options);
        RunFamily(c.family.buy, c.points.Negated(), buy, c.options);
        EXPECT_EQ(buy, Mirrored(sell)) << c.what;
    }
}

TEST(KagiRules, LastIndexFieldsFollowTheNames) {
    KagiRuleState state;
    RunFamily(CheckRuleRosaSell, kRosaOne, state);
    EXPECT_EQ(state.LastRosaSell12, 6);
    RunFamily(CheckRuleRosaSell, kRosaFour, state);
    EXPECT_EQ(state.LastRosaSell345, 10);
    RunFamily(CheckRuleRokuSell, kRokuTwo, state);
    EXPECT_EQ(state.LastRokuSell2, 9);
    EXPECT_EQ(state.LastRokuSellGap, 2);
    RunFamily(CheckRuleRoweSell, kRoweGapFalling, state);
    EXPECT_EQ(state.LastRoweSell, 4);
    // ろあ consumes its trough even when the option keeps the name out.
    RunFamily(CheckRuleRoaSell, kRoaHighBottom, state, kSecondNotAdopted);
    EXPECT_EQ(state.LastRoaSell, 4);
    EXPECT_EQ(state.SellRun, 4);
    // A stop by the repeat guard leaves every field alone.
    KagiRuleState guarded;
    guarded.LastRosaSell12 = 4;
    const KagiRuleState before = guarded;
    RunFamily(CheckRuleRosaSell, kRosaOne, guarded);
    EXPECT_EQ(guarded, before);
}

TEST(KagiRules, RosaRepeatGuardKeepsThreeToFiveFromBeingTried) {
    // ① holds, and so does ③'s shape (two steps asked).
    const KagiPoints p{110, 90, 120, 100, 120, 100, 130, 95};
    ASSERT_EQ(RiseRunBreak(p.All(), 5, 2), 0);
    ASSERT_EQ(RiseRunBreak(p.All(), 6, 2), 0);
    ASSERT_TRUE(NoGapSell(p.All(), 5, 2));
    KagiRuleState state;
    state.LastRosaSell12 = 5;
    EXPECT_EQ(RunFamily(CheckRuleRosaSell, p, state, kNewPriceUpToThree), "");
    EXPECT_EQ(state.LastRosaSell345, 0);
    state.LastRosaSell12 = 0;
    EXPECT_EQ(RunFamily(CheckRuleRosaSell, p, state, kNewPriceUpToThree), "ろさ売①");
}

TEST(KagiRules, RoaBuyFactorIsNotTheReflectionOfTheSellOne) {
    // Reflected about 150: the first trough is 170 and the bottom before the break 185,
    // above 0.9 x 170 but not above 1.1 x 170: the plain name.
    const KagiPoints plain{200, 210, 170, 200, 190, 205, 165, 185, 180, 200};
    EXPECT_EQ(RunFamily(CheckRuleRoaBuy, plain), "ろあ買");
    // 154 is just above 0.9 x 170 = 153 (and below 170 / 1.1); 150 is not.
    const KagiPoints justAbove{200, 210, 170, 200, 190, 205, 130, 154, 140, 160};
    EXPECT_EQ(RunFamily(CheckRuleRoaBuy, justAbove), "ろあ買");
    const KagiPoints second{200, 210, 170, 200, 190, 205, 130, 150, 140, 160};
    EXPECT_EQ(RunFamily(CheckRuleRoaBuy, second), "ろあ買②");
    // Exactly 0.9 x 170 is not above it.
    const KagiPoints atFactor{200, 210, 170, 200, 190, 205, 130, 153, 140, 160};
    EXPECT_EQ(RunFamily(CheckRuleRoaBuy, atFactor), "ろあ買②");
    // The sell twin of the first shape (300 - prices): 115 < 1.1 x 130, plain as well.
    const KagiPoints sell{100, 90, 130, 100, 110, 95, 135, 115, 120, 100};
    EXPECT_EQ(RunFamily(CheckRuleRoaSell, sell), "ろあ売");
}

TEST(KagiRules, RoweGapStepTellsNoShapeFromAnUnnamedShape) {
    KagiRuleState state;
    const KagiJudgeOptions options;
    EXPECT_EQ(CheckRoweGapSell(kRoweGapFalling.All(), 9, 4, 2, 0, false, state, options),
              GapShape::Named);
    EXPECT_EQ(state.EvalRuleText, "ろゑ売①");
    // The same gap again: a shape, but no name.
    EXPECT_EQ(CheckRoweGapSell(kRoweGapFalling.All(), 9, 4, 2, 0, false, state, options),
              GapShape::Unnamed);
    // Tops that rise, then fall, then rise again: no shape at all.
    const KagiPoints zigzag{100, 80, 110, 100, 150, 130, 160, 132, 140, 120, 155, 110};
    EXPECT_EQ(CheckRoweGapSell(zigzag.All(), 11, 4, 2, 0, false, state, options), GapShape::None);
}

// Every family at every index 0..10 on random shapes (not kagi charts: level runs, strokes
// the wrong way), every option combination and random last-index fields: no read leaves
// points 0..i. The view ends at i, so a read past it throws as well.
TEST(KagiRules, NoReadOutsideThePointsForAnyShapeAndIndex) {
    const KagiFamily families[] = {CheckRuleRosaSell, CheckRuleRosaBuy,  CheckRuleRokuSell,
                                   CheckRuleRokuBuy,  CheckRuleRoweSell, CheckRuleRoweBuy,
                                   CheckRuleRoaSell,  CheckRuleRoaBuy};
    std::mt19937 random(20261210);
    for (int shape = 0; shape < 60; ++shape) {
        std::vector<double> prices(11);
        for (double& p : prices) p = 100 + 10 * DrawInt(random, 1, 6);
        const KagiPoints points(prices);
        for (int32_t i = 0; i <= 10; ++i) {
            for (int bits = 0; bits < 128; ++bits) {
                const KagiJudgeOptions options = JudgeOptionsOf(bits);
                KagiRuleState state;
                if (shape % 2) {
                    state.LastRosaSell12 = state.LastRosaBuy12 = DrawInt(random, 0, 10);
                    state.LastRokuSellGap = state.LastRokuBuyGap = DrawInt(random, 0, 10);
                    state.LastRoweSell = state.LastRoweBuy = DrawInt(random, 0, 10);
                    state.LastRoaSell = state.LastRoaBuy = DrawInt(random, 0, 10);
                }
                for (KagiFamily family : families) {
                    EXPECT_NO_THROW(family(points.Upto(i), i, state, options))
                        << "shape " << shape << " i " << i << " options " << bits;
                }
            }
        }
    }
}

// Random kagi charts: at every falling stroke the sell families on the prices and the buy
// families on the negated prices give the same names and leave mirrored states. The ろあ
// plain and second forms are compared as one, since only their factor is not mirrored.
TEST(KagiRules, MirrorHoldsOnRandomKagiCharts) {
    std::mt19937 random(7);
    const auto bit = [&random] { return DrawInt(random, 0, 1) == 1; };
    auto roaAsOne = [](KagiRuleState state) {
        std::string& text = state.EvalRuleText;
        for (const std::string second : {"ろあ売②", "ろあ買②"}) {
            const size_t at = text.find(second);
            if (at != std::string::npos) text.erase(at + second.size() - 3, 3);
        }
        return state;
    };
    int named = 0;
    for (int chart = 0; chart < 200; ++chart) {
        std::vector<double> prices{1000};
        for (int k = 1; k < 60; ++k) {
            const double step = 10.0 * DrawInt(random, 1, 12);
            prices.push_back(prices.back() + (k % 2 ? step : -step));
        }
        const KagiPoints points(prices);
        const KagiPoints negated = points.Negated();
        KagiJudgeOptions options;
        options.NotLongLine = bit();
        options.RepeatUnlimited = bit();
        options.NewPriceBeyondThree = bit();
        options.SecondUnlimited = bit();
        options.ConsiderThird = bit();
        options.MountainUnlimited = bit();
        KagiRuleState sell, buy;
        for (int32_t i = 3; i <= points.Last(); ++i) {
            if (!(prices[i - 1] > prices[i - 2])) continue;  // rising strokes run buy rules
            sell.EvalRuleText.clear();
            buy.EvalRuleText.clear();
            for (const FamilyPair& f : {kRosa, kRoku, kRowe, kRoa}) {
                f.sell(points.Upto(i), i, sell, options);
                f.buy(negated.Upto(i), i, buy, options);
            }
            named += !sell.EvalRuleText.empty();
            const std::string where = "chart " + std::to_string(chart) + " i " + std::to_string(i);
            EXPECT_EQ(roaAsOne(buy), roaAsOne(Mirrored(sell))) << where;
        }
    }
    EXPECT_GT(named, 500);  // the charts do exercise the rules
}
