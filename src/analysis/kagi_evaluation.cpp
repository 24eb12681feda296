#include "analysis/kagi_evaluation.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "analysis/kagi_families.h"
#include "foundation/settings.h"

namespace {

const std::string kSell = "売";
const std::string kBuy = "買";

void RemoveAll(std::string& text, const std::string& part) {
    for (size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos))
        text.erase(pos, part.size());
}

void RunFamilies(const KagiFamily (&families)[4], KagiEvaluator& ev, const KagiPrices& T,
                 int32_t i) {
    for (KagiFamily family : families) family(T, i, ev.State, ev.Options);
}

KagiAnalysisState state;

}  // namespace

KagiFamilyTable DefaultKagiFamilies() {
    return {CheckRuleRosaSell, CheckRuleRokuSell, CheckRuleRoweSell, CheckRuleRoaSell,
            CheckRuleRosaBuy,  CheckRuleRokuBuy,  CheckRuleRoweBuy,  CheckRuleRoaBuy};
}

std::string EvaluateKagiRules(KagiEvaluator& ev, const SeriesPoint* points, int32_t count,
                              int32_t i) {
    const KagiPrices T(points, count);
    KagiRuleState& s = ev.State;
    // The tick at the price of the turn that is to be broken.
    const double tick = GetTickSize(T[i - 2], ev.Market.Kind, ev.Market.TextTick);
    s.Ref2 = 2 * tick;
    s.Ref3 = 3 * tick;
    s.EvalRuleText.clear();

    const bool broken = T[i] > T[i - 1] ? T[i] >= T[i - 2] + s.Ref2 : T[i] + s.Ref2 <= T[i - 2];
    if (!broken) return {};

    const KagiFamilyTable& f = ev.Families;
    if (T[i - 1] > T[i - 2]) {
        const KagiFamily sell[4] = {f.RosaSell, f.RokuSell, f.RoweSell, f.RoaSell};
        RunFamilies(sell, ev, T, i);
        s.Ref2 = T[i - 2] - s.Ref2;
        s.Ref3 = T[i - 2] - s.Ref3;
    } else {
        const KagiFamily buy[4] = {f.RosaBuy, f.RokuBuy, f.RoweBuy, f.RoaBuy};
        RunFamilies(buy, ev, T, i);
        s.Ref2 = T[i - 2] + s.Ref2;
        s.Ref3 = T[i - 2] + s.Ref3;
    }
    return s.EvalRuleText;
}

std::string NormaliseRuleText(std::string text) {
    for (const char* number : {"①", "②", "③", "④", "⑤", "⑥"}) RemoveAll(text, number);
    const std::string& side = text.find(kSell) != std::string::npos ? kSell : kBuy;
    RemoveAll(text, side);
    return text + side;
}

int32_t RecordKagiRuleHit(KagiEvaluator& ev, const SeriesPoint* points, int32_t count, int32_t i) {
    const std::string text = EvaluateKagiRules(ev, points, count, i);
    if (text.empty()) return -1;

    KagiRuleState& s = ev.State;
    const KagiPrices T(points, count);
    const double ref = ev.Options.TwoTicks ? s.Ref2 : s.Ref3;
    std::string side;
    // A signal needs two rule names of one direction in a row, the break of the chosen
    // number of ticks, and the last signal on the other side.
    if (T[i - 1] > T[i - 2]) {
        if (s.SellRun > 1 && T[i] <= ref && !s.InSellSignal) {
            side = kSell;
            s.InSellSignal = true;
            s.InBuySignal = false;
        }
    } else if (s.BuyRun > 1 && T[i] >= ref && !s.InBuySignal) {
        side = kBuy;
        s.InSellSignal = false;
        s.InBuySignal = true;
    }

    RuleMarkState& marks = ev.Marks;
    const int32_t index = marks.RuleMarkCount;
    if (static_cast<int32_t>(marks.RuleMarkTable.size()) <= index)
        marks.RuleMarkTable.resize(index + 1);
    RuleHit& hit = marks.RuleMarkTable[index];
    hit.RuleText = NormaliseRuleText(text);
    hit.Side = side;
    hit.DateText = points[i].DateText;
    hit.SignalPrice = side.empty() ? s.Ref2 : ref;
    hit.StrokePrice = T[i];
    marks.RuleMarkCount = index + 1;
    return index;
}

void ResetKagiRuleState(KagiRuleState& s) {
    s.SellRun = s.BuyRun = 0;
    s.InSellSignal = s.InBuySignal = false;
    s.LastRosaSell12 = s.LastRosaBuy12 = 0;
    s.LastRosaSell345 = s.LastRosaBuy345 = 0;
    s.LastRokuSell2 = s.LastRokuBuy2 = 1;
    s.LastRokuSellGap = s.LastRokuBuyGap = 0;
    s.LastRoweSell = s.LastRoweBuy = 0;
    s.LastRoaSell = s.LastRoaBuy = 0;
}

KagiAnalysisState& KagiAnalysis() {
    return state;
}

void ResetKagiAnalysis() {
    state = KagiAnalysisState{};
}

void ResetKagiRuleState() {
    ResetKagiRuleState(state.RuleState);
    AnalysisResultRec& result = state.AnalysisResult;
    for (std::string* text : {&result.LastRuleText, &result.LastRuleDate, &result.LastSignalRule,
                              &result.LastSignalDate, &result.LastSignalSide, &result.LatestDate})
        text->clear();
    result.LatestVolume = 0;
    result.LatestClose = 0;
}

KagiJudgeOptions KagiJudgeOptionsFrom(const SetteiRecord& record) {
    constexpr int16_t kChosen = -1;
    const KagiJudgeSettei& j = record.KagiJudgeSettei;
    KagiJudgeOptions options;
    options.NotLongLine = j.OPT_Not長線 == kChosen;
    options.RepeatUnlimited = j.OPT_連続無制限 == kChosen;
    options.NewPriceBeyondThree = j.OPT_新値三超 == kChosen;
    options.SecondUnlimited = j.OPT_第二無制限 == kChosen;
    options.ConsiderThird = j.OPT_第三考慮 == kChosen;
    options.MountainUnlimited = j.OPT_山無制限 == kChosen;
    options.AdoptSecond = j.OPT_第二採用 == kChosen;
    options.TwoTicks = record.UserSettei.OPT_二文 == kChosen;
    return options;
}

std::string TodayText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    return text;
}
