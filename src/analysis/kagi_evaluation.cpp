#include "analysis/kagi_evaluation.h"

#include <chrono>
#include <cstring>

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

// The prices of points i - 2, i - 1 and i, with one range test for all three.
struct ThreePrices {
    double turn, last, now;
};
ThreePrices PricesAt(const KagiPrices& T, int32_t i) {
    T.CheckIndex(i - 2);
    T.CheckIndex(i);
    return {T.At(i - 2), T.At(i - 1), T.At(i)};
}

// What every evaluation leaves before its break test: the references two and three ticks of
// the price of the turn that is to be broken, and no names. Gives the two ticks.
double SetTurnReferences(KagiEvaluator& ev, double turn) {
    KagiRuleState& s = ev.State;
    const double tick = GetTickSize(turn, ev.Market.Kind, ev.Market.TextTick);
    s.Ref2 = 2 * tick;
    s.Ref3 = 3 * tick;
    s.EvalRuleText.clear();
    return s.Ref2;
}

// The evaluation itself: true when the break test holds, the names then in EvalRuleText.
bool EvaluateInto(KagiEvaluator& ev, const SeriesPoint* points, int32_t count, int32_t i,
                  KagiBreakTest& test) {
    const KagiPrices T(points, count);
    const ThreePrices p = PricesAt(T, i);
    KagiRuleState& s = ev.State;
    test = {p.turn, p.last, SetTurnReferences(ev, p.turn)};
    if (!test.HoldsAt(p.now)) return false;

    const KagiFamilyTable& f = ev.Families;
    if (p.last > p.turn) {
        const KagiFamily sell[4] = {f.RosaSell, f.RokuSell, f.RoweSell, f.RoaSell};
        RunFamilies(sell, ev, T, i);
        s.Ref2 = p.turn - s.Ref2;
        s.Ref3 = p.turn - s.Ref3;
    } else {
        const KagiFamily buy[4] = {f.RosaBuy, f.RokuBuy, f.RoweBuy, f.RoaBuy};
        RunFamilies(buy, ev, T, i);
        s.Ref2 = p.turn + s.Ref2;
        s.Ref3 = p.turn + s.Ref3;
    }
    return true;
}

// The length of the UTF-8 sequence that starts at p (before end), or 0 when it is not a
// whole one.
size_t SequenceLength(const unsigned char* p, const unsigned char* end) {
    const size_t length = *p < 0x80 ? 1 : *p >= 0xf0 ? 4 : *p >= 0xe0 ? 3 : *p >= 0xc0 ? 2 : 0;
    if (length == 0 || static_cast<size_t>(end - p) < length) return 0;
    for (size_t k = 1; k < length; ++k)
        if ((p[k] & 0xc0) != 0x80) return 0;
    return length;
}

// The three bytes at p as one number, to compare whole characters at once.
uint32_t Bytes3(const unsigned char* p) {
    return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
}

// ① .. ⑥ are E2 91 A0 .. E2 91 A5.
bool IsCircledNumber(uint32_t bytes3) {
    return bytes3 - 0xe291a0 <= 5;
}
bool IsCircledNumber(const unsigned char* p) {
    return IsCircledNumber(Bytes3(p));
}

// Any bytes at all: each circled number taken out in turn, then the side.
std::string NormaliseRawText(std::string text) {
    for (const char* number : {"①", "②", "③", "④", "⑤", "⑥"}) RemoveAll(text, number);
    const std::string& side = text.find(kSell) != std::string::npos ? kSell : kBuy;
    RemoveAll(text, side);
    return text + side;
}

// The text as the families write it: three-byte characters only. When it is, out gets the
// stored form and the result is true.
bool NormaliseThreeByteText(const std::string& text, std::string& out) {
    const size_t size = text.size();
    if (size % 3 != 0) return false;
    const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = begin + size;
    const uint32_t sell = Bytes3(reinterpret_cast<const unsigned char*>(kSell.data()));
    const uint32_t buy = Bytes3(reinterpret_cast<const unsigned char*>(kBuy.data()));
    size_t sells = 0, buys = 0, numbers = 0;
    for (const auto* p = begin; p < end; p += 3) {
        const uint32_t c = Bytes3(p);
        // A lead byte 1110xxxx and two continuation bytes 10xxxxxx.
        if ((c & 0xf0c0c0) != 0xe08080) return false;
        sells += c == sell;
        buys += c == buy;
        numbers += IsCircledNumber(c);
    }
    // A whole character's bytes match only where that character starts, so the side found
    // character by character is the one a search of the bytes finds.
    const bool hasSell = sells > 0;
    const uint32_t side = hasSell ? sell : buy;
    // Sized once to what is kept: the stored names are short enough to stay in the string
    // itself, where the text as the families wrote it would not.
    out.resize(size - 3 * (numbers + (hasSell ? sells : buys)) + 3);
    char* write = out.data();
    for (const auto* p = begin; p < end; p += 3) {
        const uint32_t c = Bytes3(p);
        if (IsCircledNumber(c) || c == side) continue;
        std::memcpy(write, p, 3);
        write += 3;
    }
    std::memcpy(write, (hasSell ? kSell : kBuy).data(), 3);
    return true;
}

// NormaliseRuleText into out (not text itself), which keeps its buffer.
void NormaliseRuleTextInto(const std::string& text, std::string& out) {
    if (NormaliseThreeByteText(text, out)) return;
    // In whole UTF-8 text, as the families write it, taking out whole characters never makes
    // a new match: one pass then takes out just what the removals one after another would.
    // Other bytes take that slow way.
    const std::string& side = text.find(kSell) != std::string::npos ? kSell : kBuy;
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    const auto* kept = p;  // the start of the bytes kept and not yet appended
    while (p < end) {
        const size_t length = SequenceLength(p, end);
        if (length == 0) {
            out = NormaliseRawText(text);
            return;
        }
        if (length == 3 && (IsCircledNumber(p) || std::memcmp(p, side.data(), 3) == 0)) {
            out.append(reinterpret_cast<const char*>(kept), p - kept);
            kept = p + length;
        }
        p += length;
    }
    out.append(reinterpret_cast<const char*>(kept), end - kept);
    out += side;
}

// The mark of point i once its break test has held: one mark, dated date, when a family
// named a rule, with the signal side when the alternation gives one; its index, else -1.
int32_t RecordEvaluatedHit(KagiEvaluator& ev, const SeriesPoint* points, int32_t count, int32_t i,
                           const std::string& date) {
    const std::string& text = ev.State.EvalRuleText;
    if (text.empty()) return -1;
    KagiRuleState& s = ev.State;
    const ThreePrices p = PricesAt(KagiPrices(points, count), i);
    const double ref = ev.Options.TwoTicks ? s.Ref2 : s.Ref3;
    const std::string* side = nullptr;
    // A signal needs two rule names of one direction in a row, the break of the chosen
    // number of ticks, and the last signal on the other side.
    if (p.last > p.turn) {
        if (s.SellRun > 1 && p.now <= ref && !s.InSellSignal) {
            side = &kSell;
            s.InSellSignal = true;
            s.InBuySignal = false;
        }
    } else if (s.BuyRun > 1 && p.now >= ref && !s.InBuySignal) {
        side = &kBuy;
        s.InSellSignal = false;
        s.InBuySignal = true;
    }

    RuleMarkState& marks = ev.Marks;
    const int32_t index = marks.RuleMarkCount;
    if (static_cast<int32_t>(marks.RuleMarkTable.size()) <= index)
        marks.RuleMarkTable.resize(index + 1);
    RuleHit& hit = marks.RuleMarkTable[index];
    NormaliseRuleTextInto(text, hit.RuleText);
    if (side)
        hit.Side = *side;
    else
        hit.Side.clear();
    hit.DateText = date;
    hit.SignalPrice = side ? ref : s.Ref2;
    hit.StrokePrice = p.now;
    marks.RuleMarkCount = index + 1;
    return index;
}

}  // namespace

std::string EvaluateKagiRules(KagiEvaluator& ev, const SeriesPoint* points, int32_t count,
                              int32_t i) {
    KagiBreakTest test;
    if (!EvaluateInto(ev, points, count, i, test)) return {};
    return ev.State.EvalRuleText;
}

std::string NormaliseRuleText(std::string text) {
    std::string stored;
    NormaliseRuleTextInto(text, stored);
    return stored;
}

int32_t RecordKagiRuleHit(KagiEvaluator& ev, const SeriesPoint* points, int32_t count, int32_t i) {
    KagiBreakTest test;
    if (!EvaluateInto(ev, points, count, i, test)) return -1;
    return RecordEvaluatedHit(ev, points, count, i, points[i].DateText);
}

KagiMovingPointRules::KagiMovingPointRules(KagiEvaluator& ev)
    // Only a text-data series takes its tick from outside the tick tables.
    : ev_(ev), ticksNonNegative_(!(ev.Market.Kind == 5 && ev.Market.TextTick < 0)) {}

int32_t KagiMovingPointRules::Evaluate(const SeriesPoint* points, int32_t count,
                                       const std::string& date) {
    const int32_t i = count - 1;
    unsettled_ = false;
    if (!EvaluateInto(ev_, points, count, i, test_)) {
        phase_ = Phase::Unbroken;
        return -1;
    }
    phase_ = Phase::Settled;
    return RecordEvaluatedHit(ev_, points, count, i, date);
}

void KagiMovingPointRules::Settle() {
    if (!unsettled_) return;
    SetTurnReferences(ev_, unsettledTurn_);
    unsettled_ = false;
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

void ResetKagiRuleState() {
    KagiAnalysisState& state = KagiAnalysis();
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
