// ctest-labels: kagi
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "analysis/kagi.h"
#include "foundation/settings.h"
#include "platform/number_format.h"
#include "support/random_draws.h"
#include "support/scripted_sink.h"

namespace {

// The injected families fire at every point, or only at the prices in this set.
std::set<double> firingPrices;

template <bool Sell, int Family>
void Fires(const KagiPrices& T, int32_t i, KagiRuleState& state, const KagiJudgeOptions&) {
    if (!firingPrices.empty() && !firingPrices.count(T[i])) return;
    state.EvalRuleText += std::string(Family == 0 ? "ろさ" : "ろく") + (Sell ? "売①" : "買②");
    int32_t& run = Sell ? state.SellRun : state.BuyRun;
    ++run;
    (Sell ? state.BuyRun : state.SellRun) = 0;
}
void NoRule(const KagiPrices&, int32_t, KagiRuleState&, const KagiJudgeOptions&) {}
// The options the families were last handed.
KagiJudgeOptions seenOptions;
void SeesOptions(const KagiPrices& T, int32_t i, KagiRuleState& state,
                 const KagiJudgeOptions& options) {
    seenOptions = options;
    Fires<false, 0>(T, i, state, options);
    Fires<false, 1>(T, i, state, options);
}
void ReadsPastTheEnd(const KagiPrices& T, int32_t i, KagiRuleState&, const KagiJudgeOptions&) {
    (void)T[i + 1];
}

const KagiFamilyTable kNoRules = {NoRule, NoRule, NoRule, NoRule, NoRule, NoRule, NoRule, NoRule};
// One rule name per point: never a signal on its own.
const KagiFamilyTable kOneName = {Fires<true, 0>,  NoRule, NoRule, NoRule,
                                  Fires<false, 0>, NoRule, NoRule, NoRule};
// Two names at once: a signal whenever the alternation allows it.
const KagiFamilyTable kTwoNames = {Fires<true, 0>,  Fires<true, 1>,  NoRule, NoRule,
                                   Fires<false, 0>, Fires<false, 1>, NoRule, NoRule};

std::string Day(int n) {
    using namespace std::chrono;
    const year_month_day d{sys_days{2024y / January / 1} + days{n}};
    char text[16];
    std::snprintf(text, sizeof text, "%04d/%02u/%02u", static_cast<int>(d.year()),
                  static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()));
    return text;
}

// Daily bars with these closes, one a day; lows that would be absurd as colours.
std::vector<SeriesPoint> Bars(const std::vector<double>& closes) {
    std::vector<SeriesPoint> bars(closes.size());
    for (size_t n = 0; n < closes.size(); ++n) {
        SeriesPoint& b = bars[n];
        b.Open = b.Close = closes[n];
        b.High = closes[n] + 1;
        b.Low = closes[n] - 1;
        b.Volume = 1000;
        b.DateText = Day(static_cast<int>(n));
    }
    return bars;
}

void Split(std::vector<SeriesPoint>& bars, size_t at, double ratio) {
    bars[at].SplitFlag = kSplitHere;
    bars[at].SplitRatio = ratio;
}

KagiWalkSettings Settings(const KagiFamilyTable& families, bool twoTicks = true) {
    KagiWalkSettings settings;
    settings.Market.Kind = 4;
    settings.Families = families;
    settings.Options.TwoTicks = twoTicks;
    settings.Today = "2026/12/10";
    return settings;
}

// "open>close" per stroke, with "#code/link" on a stroke that a join made or extended.
std::string Path(const KagiChart& chart) {
    std::string text;
    for (const SeriesPoint& s : chart.Strokes) {
        if (!text.empty()) text += ' ';
        text += PlainNumber(s.Open) + ">" + PlainNumber(s.Close);
        if (s.SplitFlag >= kJoinAddedToOpen)
            text += "#" + std::to_string(s.SplitFlag) + "/" + std::to_string(s.JoinLink);
    }
    return text;
}

class KagiWalkTest : public ::testing::Test {
  protected:
    void SetUp() override { firingPrices.clear(); }
};

}  // namespace

TEST_F(KagiWalkTest, ConstructionEdgeCases) {
    auto noValid = Bars({500, 520, 0, 480});
    noValid[0].Volume = noValid[1].Volume = noValid[3].Volume = 0;
    EXPECT_EQ(Path(WalkKagi(noValid, Settings(kNoRules))), "");

    EXPECT_EQ(Path(WalkKagi(Bars({500, 505, 495, 510, 490}), Settings(kNoRules))), "");

    // 510 is within the width of 14; 507 does not turn the line (13 < 14 at 520).
    const KagiChart chart = WalkKagi(Bars({500, 510, 520, 507, 505}), Settings(kNoRules));
    EXPECT_EQ(Path(chart), "500>520 520>505");
    EXPECT_EQ(chart.Strokes[0].DateText, Day(0));
    EXPECT_EQ(chart.Strokes[0].EndDateText, Day(2));
    EXPECT_EQ(chart.Strokes[1].DateText, Day(2));
    EXPECT_EQ(chart.Strokes[1].EndDateText, Day(4));
    for (const SeriesPoint& s : chart.Strokes) {
        EXPECT_EQ(s.High, -1);
        EXPECT_EQ(s.Low, kKagiColourNone);
        EXPECT_EQ(s.JoinLink, -1);
    }

    // The difference is compared at two decimals: 13.996 reaches the width of 14.
    EXPECT_EQ(Path(WalkKagi(Bars({500, 486.004}), Settings(kNoRules))), "500>486.004");
    EXPECT_EQ(Path(WalkKagi(Bars({500, 486.006}), Settings(kNoRules))), "");
}

// A split of 0.5 after the strokes 400>440>400: the chart before it is halved and joined to
// the walk that starts again at the split bar's close.
TEST_F(KagiWalkTest, SplitJoinCodes) {
    struct Case {
        std::vector<double> after;  // the split bar's close, then the next closes
        const char* path;
        int joinedStart, joinedEnd;  // bar days of the joined stroke's dates
    } cases[] = {
        {{200, 240}, "200>220 220>240#16/0", 1, 4},
        {{190, 170}, "200>220 220>170#15/0", 1, 4},
        {{190, 230}, "200>220 220>190#12/0 190>230", 1, 3},
        {{210, 250}, "200>220 220>200 200>250#11/0", 2, 4},
        {{210, 180}, "200>220 220>200 200>210#10/0 210>180", 2, 3},
    };
    for (const Case& c : cases) {
        std::vector<double> closes = {400, 440, 400};
        closes.insert(closes.end(), c.after.begin(), c.after.end());
        auto bars = Bars(closes);
        Split(bars, 3, 0.5);
        const KagiChart chart = WalkKagi(bars, Settings(kNoRules));
        ASSERT_EQ(Path(chart), c.path);
        ASSERT_EQ(chart.Joins.size(), 1u);
        EXPECT_DOUBLE_EQ(chart.Joins[0].OldEndPrice, 200);
        EXPECT_DOUBLE_EQ(chart.Joins[0].NewStartPrice, c.after[0]);
        for (const SeriesPoint& s : chart.Strokes) {
            if (s.JoinLink < 0) continue;
            EXPECT_DOUBLE_EQ(s.SplitRatio, 0.5) << c.path;
            EXPECT_EQ(s.DateText, Day(c.joinedStart)) << c.path;
            EXPECT_EQ(s.EndDateText, Day(c.joinedEnd)) << c.path;
        }
    }
}

// Marks before a split are rescaled with their strokes; a stroke added by the join takes the
// colour of the stroke it continues; the rules start over after the split.
TEST_F(KagiWalkTest, MarksAndColourCarryAcrossASplit) {
    auto bars = Bars({400, 440, 410, 460, 430, 225, 265});
    Split(bars, 5, 0.5);
    const KagiChart chart = WalkKagi(bars, Settings(kTwoNames));
    ASSERT_EQ(Path(chart), "200>220 220>205 205>230 230>215 215>265#11/0");
    EXPECT_EQ(chart.Strokes[2].High, 0);
    ASSERT_EQ(chart.Marks.RuleMarkCount, 1);
    const RuleHit& mark = chart.Marks.RuleMarkTable[0];
    EXPECT_EQ(mark.Side, "買");
    EXPECT_EQ(mark.RuleText, "ろさろく買");
    EXPECT_DOUBLE_EQ(mark.StrokePrice, 230);
    EXPECT_DOUBLE_EQ(mark.SignalPrice, 221);
    EXPECT_EQ(chart.Strokes[3].Low, kKagiColourRed);
    EXPECT_EQ(chart.Strokes[4].Low, kKagiColourRed);
    // The last rule fields and the rule state describe the segment after the split.
    EXPECT_EQ(chart.Last.RuleText, "");
    EXPECT_EQ(chart.Last.SignalSide, "");
    EXPECT_EQ(chart.RuleState.BuyRun, 0);
    EXPECT_FALSE(chart.RuleState.InBuySignal);
}

// A second split reached before the walk after the first one made a stroke: it is applied
// all the same, so the whole chart lies on the newest price level.
TEST_F(KagiWalkTest, SplitBeforeTheSegmentMadeAStroke) {
    auto bars = Bars({400, 440, 400, 205, 103, 123, 103, 123, 103, 123, 103});
    Split(bars, 3, 0.5);
    Split(bars, 4, 0.5);
    const KagiChart chart = WalkKagi(bars, Settings(kNoRules));
    EXPECT_EQ(Path(chart), "100>110 110>100 100>123#15/1 123>103 103>123 123>103 103>123 123>103");
    ASSERT_EQ(chart.Joins.size(), 2u);
    EXPECT_DOUBLE_EQ(chart.Joins[0].OldEndPrice, 100);
    EXPECT_DOUBLE_EQ(chart.Joins[0].NewStartPrice, 102.5);
    EXPECT_DOUBLE_EQ(chart.Joins[1].OldEndPrice, 102.5);
    EXPECT_DOUBLE_EQ(chart.Joins[1].NewStartPrice, 103);
    // The stroke written over the second split bar does not inherit its split flag.
    for (const SeriesPoint& s : chart.Strokes) EXPECT_NE(s.SplitFlag, kSplitHere);

    // Split bars without trades, skipped while the walk looks for its start, still count.
    bars = Bars({400, 440, 400, 205, 103, 100, 120});
    Split(bars, 3, 0.5);
    Split(bars, 4, 0.5);
    bars[3].Volume = bars[4].Volume = 0;
    const KagiChart quiet = WalkKagi(bars, Settings(kNoRules));
    EXPECT_EQ(Path(quiet), "100>110 110>120#16/0");
    ASSERT_EQ(quiet.Joins.size(), 1u);
    EXPECT_DOUBLE_EQ(quiet.Joins[0].OldEndPrice, 100);
}

// Random series with splits and days without trades: the strokes form one connected line,
// and every mark and join a stroke names exists, once.
TEST_F(KagiWalkTest, RandomSeriesStayConnected) {
    std::mt19937 random(11);
    const double ratios[] = {0.5, 2, 0.1, 3, 0.25};
    for (int series = 0; series < 300; ++series) {
        std::vector<double> closes(DrawInt(random, 2, 300));
        int64_t price = 800;
        for (double& close : closes) {
            price = MovedBy(price, DrawMove(random, 400));  // about 4 % a day
            close = static_cast<double>(price);
        }
        auto bars = Bars(closes);
        for (SeriesPoint& bar : bars) {
            const int p = DrawInt(random, 0, 99);
            if (p < 4) bar.Volume = 0;
            if (p >= 96) {
                bar.SplitFlag = kSplitHere;
                bar.SplitRatio = ratios[p % 5];
            }
        }
        const KagiChart chart = WalkKagi(bars, Settings(series % 2 ? kTwoNames : kOneName));
        const auto& strokes = chart.Strokes;
        ASSERT_LE(strokes.size(), bars.size());
        std::vector<int> markUses(chart.Marks.RuleMarkCount);
        for (size_t j = 0; j < strokes.size(); ++j) {
            const SeriesPoint& s = strokes[j];
            if (j + 1 < strokes.size()) {
                ASSERT_EQ(s.Close, strokes[j + 1].Open) << series << " stroke " << j;
                ASSERT_EQ(s.EndDateText, strokes[j + 1].DateText) << series << " stroke " << j;
            }
            ASSERT_LT(s.High, chart.Marks.RuleMarkCount);
            if (s.High >= 0) ++markUses[static_cast<int>(s.High)];
            ASSERT_LT(s.JoinLink, static_cast<int32_t>(chart.Joins.size()));
            ASSERT_NE(s.SplitFlag, kSplitHere) << series << " stroke " << j;
        }
        for (int uses : markUses) ASSERT_EQ(uses, 1) << series;
        for (int32_t m = 0; m < chart.Marks.RuleMarkCount; ++m) {
            const std::string& text = chart.Marks.RuleMarkTable[m].RuleText;
            ASSERT_TRUE(text.ends_with("売") || text.ends_with("買")) << text;
        }
    }
}

TEST_F(KagiWalkTest, OneMarkPerStrokeAndSignalColours) {
    // The stroke from 900 is marked at 1,060 and carries no second mark up to 1,200.
    KagiChart chart = WalkKagi(Bars({1000, 1050, 900, 1060, 1100, 1150, 1200}), Settings(kOneName));
    EXPECT_EQ(Path(chart), "1000>1050 1050>900 900>1200");
    EXPECT_EQ(chart.Strokes[2].High, 0);
    ASSERT_EQ(chart.Marks.RuleMarkCount, 1);
    EXPECT_EQ(chart.Marks.RuleMarkTable[0].DateText, Day(3));
    EXPECT_DOUBLE_EQ(chart.Marks.RuleMarkTable[0].StrokePrice, 1060);
    EXPECT_EQ(chart.Marks.RuleMarkTable[0].Side, "");

    // Buy, sell, buy: each signal colours the strokes opened after it.
    chart = WalkKagi(Bars({1000, 1100, 950, 1150, 900, 1200}), Settings(kTwoNames));
    ASSERT_EQ(chart.Marks.RuleMarkCount, 3);
    EXPECT_EQ(chart.Marks.RuleMarkTable[0].Side, "買");
    EXPECT_EQ(chart.Marks.RuleMarkTable[1].Side, "売");
    EXPECT_EQ(chart.Marks.RuleMarkTable[2].Side, "買");
    const double lows[] = {kKagiColourNone, kKagiColourNone, kKagiColourNone, kKagiColourRed,
                           kKagiColourBlue};
    for (size_t k = 0; k < std::size(lows); ++k) EXPECT_EQ(chart.Strokes[k].Low, lows[k]) << k;
    EXPECT_EQ(chart.Last.SignalSide, "買");
    EXPECT_EQ(chart.Last.SignalDate, Day(5));
    EXPECT_EQ(chart.Last.RuleText, "ろさろく買");
}

// The last stroke rose from 900 to 1,000 (or 1,060) after a fall from 1,050.
TEST_F(KagiWalkTest, ProjectedTurns) {
    struct Case {
        double last;
        const KagiFamilyTable* families;
        bool twoTicks;
        double going, turning;  // the two projected prices
        const char* mark;
        const char* goingText;
    } cases[] = {
        {1000, &kOneName, true, 1052, 898, "", "ろさ買"},
        {1000, &kTwoNames, true, 1052, 898, "転", "ろさろく買"},
        {1000, &kTwoNames, false, 1053, 897, "転", "ろさろく買"},
        {1060, &kTwoNames, true, 1084, 898, "転", "ろさろく買"},
        {1060, &kTwoNames, false, 1084, 897, "転", "ろさろく買"},
    };
    for (const Case& c : cases) {
        // The rules fire only at the hypothetical prices, three ticks beyond.
        firingPrices = {c.last == 1000 ? 1053.0 : 1084.0, 897.0};
        const KagiChart chart =
            WalkKagi(Bars({1000, 1050, 900, c.last}), Settings(*c.families, c.twoTicks));
        ASSERT_TRUE(chart.Forward && chart.Reverse) << c.last;
        EXPECT_DOUBLE_EQ(chart.Forward->Price, c.going) << c.last << c.twoTicks;
        EXPECT_DOUBLE_EQ(chart.Reverse->Price, c.turning) << c.last << c.twoTicks;
        EXPECT_EQ(chart.Forward->Mark, c.mark);
        EXPECT_EQ(chart.Reverse->Mark, c.mark);
        EXPECT_EQ(chart.Forward->RuleText, c.goingText);
        EXPECT_EQ(chart.Forward->DateText, "2026/12/10");
        EXPECT_EQ(chart.Marks.RuleMarkCount, 0) << "projected marks are taken back";
    }

    // Two strokes: no projection.
    firingPrices.clear();
    const KagiChart two = WalkKagi(Bars({1000, 1050, 900}), Settings(kTwoNames));
    EXPECT_FALSE(two.Forward || two.Reverse);

    // Every bar a turn: the turning point lies past the last bar.
    const KagiChart zigzag =
        WalkKagi(Bars({1000, 1100, 1000, 1100, 1000, 1100}), Settings(kOneName));
    EXPECT_EQ(zigzag.Strokes.size(), 5u);
    ASSERT_TRUE(zigzag.Reverse);
    EXPECT_DOUBLE_EQ(zigzag.Reverse->Price, 998);
    ASSERT_TRUE(zigzag.Forward);
    EXPECT_DOUBLE_EQ(zigzag.Forward->Price, 1125);
}

TEST(KagiProjection, ObservationMarks) {
    struct Case {
        const char* side;
        const char* rule;
        bool twoTicks;
        const char* lastSignal;
        const char* mark;
        double price;
    } cases[] = {
        {"買", "ろさ買", true, "", "転", 2}, {"買", "ろさ買", false, "", "転", 3},
        {"", "ろさ買", false, "", "", 2},    {"", "ろさ買", true, "買", "順", 2},
        {"", "ろく売", true, "買", "逆", 2}, {"", "ろく売", true, "売", "順", 2},
    };
    for (const Case& c : cases) {
        RuleHit hit;
        hit.Side = c.side;
        hit.RuleText = c.rule;
        const ObservationRec r =
            SetProjectionMark(hit, 2, 3, c.twoTicks, c.lastSignal, "2026/01/05");
        EXPECT_EQ(r.Mark, c.mark) << c.rule << c.lastSignal;
        EXPECT_DOUBLE_EQ(r.Price, c.price);
        EXPECT_EQ(r.RuleText, c.rule);
        EXPECT_EQ(r.DateText, "2026/01/05");
    }
}

class BuildKagiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        firingPrices.clear();
        ApplySetteiDefaults(Settei().Record, std::chrono::year{2026} / 12 / 10);
        KagiAnalysis().Today = [] { return std::string("2026/12/10"); };
    }
    static void LoadBars(const std::vector<double>& closes) {
        SeriesRecord& kagi = Series().KagiSeries;
        kagi.Points = Bars(closes);
        kagi.Count = static_cast<int32_t>(closes.size());
        kagi.Points.emplace_back();  // the loaders' spare element
    }
};

TEST_F(BuildKagiTest, FillsTheSharedRecords) {
    KagiAnalysis().Families = kTwoNames;
    AnalysisResultRec& result = KagiAnalysis().AnalysisResult;
    result.ForwardObservation.RuleText = "before";
    result.LatestDate = "2026/12/09";
    LoadBars({1000, 1100, 950, 1150, 900, 1200});

    ASSERT_TRUE(BuildKagi("1301011"));
    EXPECT_EQ(KagiWidth().KagiIssueKind, 4);
    EXPECT_EQ(Series().KagiSeries.Count, 5);
    EXPECT_EQ(Series().DailySeries.Count, 5);
    EXPECT_EQ(Series().KagiSeries.Points[4].Close, 1200);
    EXPECT_EQ(Series().DailySeries.Points[4].Close, 1200);
    EXPECT_EQ(Series().KagiJoinCount, 0);
    EXPECT_EQ(RuleMarks().RuleMarkCount, 3);
    EXPECT_EQ(result.LastRuleText, "ろさろく買");
    EXPECT_EQ(result.LastSignalSide, "買");
    EXPECT_EQ(result.LastSignalDate, Day(5));
    EXPECT_EQ(result.LatestDate, "");
    // The last stroke has its mark, so only the turn is projected.
    EXPECT_EQ(result.ForwardObservation.RuleText, "before");
    EXPECT_EQ(result.ReverseObservation.RuleText, "ろさろく売");
    EXPECT_EQ(result.ReverseObservation.Mark, "転");
    EXPECT_DOUBLE_EQ(result.ReverseObservation.Price, 898);
    EXPECT_EQ(result.ReverseObservation.DateText, "2026/12/10");

    // An issue without bars gives an empty chart.
    Series().KagiSeries = SeriesRecord{};
    ASSERT_TRUE(BuildKagi("1301011"));
    EXPECT_EQ(Series().KagiSeries.Count, 0);
    EXPECT_EQ(RuleMarks().RuleMarkCount, 0);
}

// The signal ticks and the judgement options are those of the settings record in force.
TEST_F(BuildKagiTest, ReadsTheOptionsOfTheSettingsRecord) {
    struct Case {
        bool chosen;  // every option that the families test, and two ticks
        double turning;
    } cases[] = {{true, 898}, {false, 897}};
    for (const Case& c : cases) {
        const int16_t on = c.chosen ? -1 : 0, off = c.chosen ? 0 : -1;
        UserSettei& user = Settei().Record.UserSettei;
        user.OPT_二文 = on;
        user.OPT_三文 = off;
        KagiJudgeSettei& judge = Settei().Record.KagiJudgeSettei;
        judge.OPT_Not長線 = judge.OPT_連続無制限 = judge.OPT_新値三超 = judge.OPT_第二無制限 =
            judge.OPT_第三考慮 = judge.OPT_山無制限 = judge.OPT_第二採用 = on;
        judge.OPT_長線無制限 = judge.OPT_Not連続 = judge.OPT_新値三迄 = judge.OPT_第二三迄 =
            judge.OPT_第三無制限 = judge.OPT_山三のみ = judge.OPT_第二不採用 = off;
        KagiAnalysis().Families = kTwoNames;
        KagiAnalysis().Families.RosaBuy = SeesOptions;
        KagiAnalysis().Families.RokuBuy = NoRule;
        seenOptions = KagiJudgeOptions{};
        LoadBars({1000, 1100, 950, 1150, 900, 1200});

        ASSERT_TRUE(BuildKagi("1301011"));
        EXPECT_EQ(seenOptions.TwoTicks, c.chosen);
        for (bool option :
             {seenOptions.NotLongLine, seenOptions.RepeatUnlimited, seenOptions.NewPriceBeyondThree,
              seenOptions.SecondUnlimited, seenOptions.ConsiderThird, seenOptions.MountainUnlimited,
              seenOptions.AdoptSecond})
            EXPECT_EQ(option, c.chosen);
        EXPECT_DOUBLE_EQ(KagiAnalysis().AnalysisResult.ReverseObservation.Price, c.turning);
    }
}

TEST_F(BuildKagiTest, AFailureIsShownAndLeavesNoHalfBuiltChart) {
    KagiAnalysis().Families = kNoRules;
    KagiAnalysis().Families.RosaBuy = ReadsPastTheEnd;
    // The records of a chart built before.
    Series().DailySeries.Count = 7;
    RuleMarks().RuleMarkCount = 3;
    LoadBars({1000, 1050, 900, 1060});
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "kagi point index");
    EXPECT_FALSE(BuildKagi("1301011"));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Series().KagiSeries.Count, 0);
    EXPECT_EQ(Series().DailySeries.Count, 7);
    EXPECT_EQ(RuleMarks().RuleMarkCount, 3);
}
