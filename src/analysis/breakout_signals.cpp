#include "analysis/breakout_signals.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "analysis/dates.h"
#include "analysis/lines_geometry.h"
#include "analysis/lines_model.h"
#include "analysis/lines_storage.h"
#include "foundation/settings.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"

namespace {

constexpr const char* kBuy = "買";
constexpr const char* kSell = "売";

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool Contains(std::string_view text, const char* part) {
    return text.find(part) != std::string_view::npos;
}

// A yyyymmdd number as a day count, for distances in calendar days.
std::chrono::sys_days DayOf(int32_t date) {
    const std::chrono::year_month_day day{std::chrono::year(date / 10000),
                                          std::chrono::month(date / 100 % 100),
                                          std::chrono::day(date % 100)};
    if (!day.ok()) throw std::invalid_argument(kErrTypeMismatch);
    return std::chrono::sys_days(day);
}

// The calendar day of each kagi mark, read from its date text at its first use. Every
// cutting week's day is compared with the marks from the newest on; reading their texts
// again for each cut was most of the search of a long history.
class MarkDays {
  public:
    explicit MarkDays(const LineSearchInput& input)
        : marks_(input.Marks), days_(static_cast<size_t>(std::max(input.MarkCount, 0))) {}
    std::chrono::sys_days operator[](int32_t i) {
        std::optional<std::chrono::sys_days>& day = days_[i];
        if (!day) day = DayOf(DateToNum((*marks_)[i].DateText));
        return *day;
    }

  private:
    const std::vector<RuleHit>* marks_;
    std::vector<std::optional<std::chrono::sys_days>> days_;
};

// Whether the kagi chart has a signal of its own, and its date as yyyymmdd.
bool HasCurrentSignal(const AnalysisResultRec& current) {
    return TrimBlanks(current.LastSignalDate).size() >= 10;
}
int32_t CurrentSignalDate(const AnalysisResultRec& current) {
    return HasCurrentSignal(current) ? DateToNum(TrimBlanks(current.LastSignalDate)) : 0;
}

// What differs between the buy and the sell search.
struct Direction {
    bool Buy;
    const char* Side;

    bool Moves(const SeriesPoint& bar) const {
        return Buy ? bar.Close > bar.Open : bar.Close < bar.Open;
    }
    bool Reaches(double close, double level) const { return Buy ? close >= level : close <= level; }
    double Need(double linePrice, double ticks) const {
        return Buy ? linePrice + ticks : linePrice - ticks;
    }
};

// The newest unsignalled kagi mark of the direction within the day limit of the cut.
// A nearer mark of the other side dated on or after the cut cancels the candidate so far;
// one dated before the cut stops the search.
const RuleHit* ConfirmingMark(const LineSearchInput& input, const Direction& dir, int32_t cut,
                              int64_t dayLimit, MarkDays& markDays) {
    const RuleHit* candidate = nullptr;
    int64_t best = dayLimit + 1;
    std::optional<std::chrono::sys_days> cutDay;  // read at the first mark compared with it
    for (int32_t i = input.MarkCount - 1; i >= 0; --i) {
        const RuleHit& mark = (*input.Marks)[i];
        if (!mark.Side.empty()) break;  // already a signal: the marks before it are older
        if (!cutDay) cutDay = DayOf(cut);
        const int64_t e = (markDays[i] - *cutDay).count();
        const int64_t a = std::llabs(e);
        if (a > dayLimit || a >= best) continue;
        if (Contains(mark.RuleText, dir.Side)) {
            candidate = &mark;
            best = a;
        } else if (e < 0) {
            break;
        } else {
            candidate = nullptr;
            best = dayLimit + 1;
        }
    }
    return candidate;
}

// The first daily bar of the weekly bar's days that closes beyond need; -1 when none, and
// when the week lies before the daily history. The daily bars come from the price table in
// date order, so the week's first day is found by bisection: a scan from the newest day
// for every cutting week made the search of a long history quadratic.
int32_t CutDay(const SeriesRecord& daily, const SeriesPoint& week, const Direction& dir,
               double need) {
    const std::string_view label = TrimBlanks(week.DateText);
    if (label.size() < 10) throw std::invalid_argument(kErrTypeMismatch);
    const int32_t first = FindBarByDateOrdered(daily, DateToNum(label.substr(0, 10)));
    if (first < 0) return -1;
    // The days run up to the last one on or before the week's end; walking forward to it
    // spares a second search from the newest day.
    const int32_t end = DateToNum(label.substr(label.size() - 10));
    for (int32_t k = first; k < daily.Count && DateToNum(daily.Points[k].DateText) <= end; ++k)
        if (dir.Reaches(daily.Points[k].Close, need)) return k;
    return -1;
}

LineSearchResult FindLineSignal(const LineSearchInput& input, const Direction& dir) {
    LineSearchResult result;
    const int32_t current = CurrentSignalDate(input.Current);
    if (HasCurrentSignal(input.Current) && Contains(input.Current.LastSignalSide, dir.Side))
        return result;

    const SeriesRecord& weekly = *input.Weekly;
    const ShasenRec& judgement = weekly.ShasenSlots[0];
    const LineHalf line = dir.Buy ? UpperHalf(judgement) : LowerHalf(judgement);
    // A half-drawn or unanchored line is no line: nothing to cut.
    if (!line.Present() || line.RightIndex <= line.LeftIndex) return result;
    const int32_t kind = weekly.ChartKind;
    const LineEquation equation =
        MakeLineEquation(BarToX(line.LeftIndex, 0, kind), line.LeftPrice,
                         BarToX(line.RightIndex, 0, kind), line.RightPrice);
    const int64_t dayLimit = input.DayLimit >= kNoDayLimitIndex
                                 ? std::numeric_limits<int32_t>::max()
                                 : std::max<int32_t>(input.DayLimit, 0);

    MarkDays markDays(input);
    const int32_t lastBar = std::min(line.RightIndex, weekly.Count - 1);
    for (int32_t b = line.LeftIndex; b <= lastBar; ++b) {
        const SeriesPoint& bar = weekly.Points[b];
        if (!dir.Moves(bar)) continue;
        const double y = EvalLineEquation(equation, BarToX(b, 0, kind));
        if (!dir.Reaches(bar.Close, y)) continue;
        const double need = dir.Need(y, input.TicksNeeded * input.TickSize(y));
        if (!dir.Reaches(bar.Close, need)) continue;

        const SeriesRecord* daily = input.Daily();
        if (!daily) return result;
        const int32_t k = CutDay(*daily, bar, dir, need);
        if (k < 0) continue;
        const std::string& cutText = daily->Points[k].DateText;
        const int32_t cut = DateToNum(cutText);
        result.CutDate = cut;

        const RuleHit* mark = ConfirmingMark(input, dir, cut, dayLimit, markDays);
        if (!mark) continue;
        const int32_t h = DateToNum(mark->DateText);
        // The turn would be older than the kagi chart's own signal.
        if (current > h || current > cut) return result;
        if (h < cut)
            result.Signal = SignalRec{"", cutText, dir.Side};
        else
            result.Signal = SignalRec{mark->RuleText, mark->DateText, dir.Side};
        return result;
    }
    return result;
}

}  // namespace

void AppendSignalHit(const std::string& issueCode, int32_t date) {
    SignalState& signals = Signals();
    signals.SignalHitList.resize(signals.SignalHitCount + 2);
    signals.SignalHitList[signals.SignalHitCount] = SignalHit{issueCode, date};
    ++signals.SignalHitCount;
}

LineSearchResult FindShasenBuySignal(const LineSearchInput& input) {
    return FindLineSignal(input, Direction{true, kBuy});
}

LineSearchResult FindShasenSellSignal(const LineSearchInput& input) {
    return FindLineSignal(input, Direction{false, kSell});
}

ShasenSignalResult SearchShasenSignal(const LineSearchInput& input) {
    const LineSearchResult buy = FindShasenBuySignal(input);
    const LineSearchResult sell = FindShasenSellSignal(input);
    ShasenSignalResult result;
    result.HitDate = std::max(buy.CutDate, sell.CutDate);
    if (buy.Signal && sell.Signal)
        result.Signal = DateToNum(buy.Signal->DateText) > DateToNum(sell.Signal->DateText)
                            ? buy.Signal
                            : sell.Signal;
    else
        result.Signal = buy.Signal ? buy.Signal : sell.Signal;
    return result;
}

std::optional<SignalRec> FindKanmonSignal(const KanmonRec& barrier,
                                          const AnalysisResultRec& current,
                                          const std::vector<RuleHit>& marks, int32_t markCount) {
    const RuleHit* inside = nullptr;
    for (int32_t i = markCount - 1; i >= 0 && !inside; --i)
        if (barrier.Lower <= marks[i].SignalPrice && marks[i].SignalPrice <= barrier.Upper)
            inside = &marks[i];
    if (!inside) return std::nullopt;
    const char* side = Contains(inside->RuleText, kBuy) ? kBuy : kSell;
    if (HasCurrentSignal(current)) {
        if (DateToNum(inside->DateText) < CurrentSignalDate(current)) return std::nullopt;
        if (Contains(current.LastSignalSide, side)) return std::nullopt;
    }
    return SignalRec{inside->RuleText, inside->DateText, side};
}

std::optional<SignalRec> ChooseShasenKanmonSignal(const std::optional<SignalRec>& line,
                                                  const std::optional<SignalRec>& barrier) {
    if (line && barrier)
        return DateToNum(barrier->DateText) > DateToNum(line->DateText) ? barrier : line;
    return line ? line : barrier;
}

bool FindShasenSignal(const SeriesRecord& weekly, int16_t issueKind, const std::string& issueId,
                      const BreakoutSources& sources, const AnalysisResultRec& current,
                      SignalRec& signal, bool& found) {
    const UserSettei& settings = Settei().Record.UserSettei;
    // The daily bars are loaded once for the issue, at the first weekly bar that cuts.
    std::optional<bool> dailyLoaded;
    LineSearchInput input;
    input.Weekly = &weekly;
    input.Daily = [&]() -> const SeriesRecord* {
        if (!dailyLoaded) dailyLoaded = sources.PrepareDailySeries(issueId);
        return *dailyLoaded ? &Series().DailySeries : nullptr;
    };
    input.TickSize = [&](double price) { return sources.GetTickSize(price, issueKind); };
    input.TicksNeeded = settings.CBO_必要文数;
    input.DayLimit = settings.CBO_同時転換;
    input.Current = current;
    input.Marks = &RuleMarks().RuleMarkTable;
    input.MarkCount = RuleMarks().RuleMarkCount;
    return RunTrapped([&] {
        const ShasenSignalResult result = SearchShasenSignal(input);
        if (result.HitDate > 0) AppendSignalHit(issueId, result.HitDate);
        found = result.Signal.has_value();
        if (found) signal = *result.Signal;
    });
}

bool CheckShasenKanmonSignal(const std::string& issueId, bool checkLines, bool checkBarriers,
                             const BreakoutSources& sources, AnalysisResultRec& analysis) {
    const UserSettei& settings = Settei().Record.UserSettei;
    SeriesRecord& weekly = Series().WeeklySeries;
    std::optional<SignalRec> lineSignal;
    std::optional<SignalRec> barrierSignal;
    if (checkLines && settings.CHK_斜線 == 1) {
        if (!sources.PrepareWeeklySeries(issueId)) return false;
        const int16_t kind = GetIssueKind(issueId);
        weekly.ChartKind = kChartWeekly;
        bool judgement = false;
        if (LoadShasenDB(weekly, issueId, judgement) && judgement) {
            SignalRec signal;
            bool found = false;
            if (!FindShasenSignal(weekly, kind, issueId, sources, analysis, signal, found))
                return false;
            if (found) lineSignal = signal;
        }
    }
    if (checkBarriers && settings.CHK_関門 == 1) {
        weekly.ChartKind = kChartWeekly;
        bool judgement = false;
        if (LoadKanmonDB(weekly, issueId, judgement) && judgement) {
            const bool searched = RunTrapped([&] {
                barrierSignal =
                    FindKanmonSignal(weekly.KanmonSlots[0], analysis, RuleMarks().RuleMarkTable,
                                     RuleMarks().RuleMarkCount);
            });
            if (!searched) return false;
        }
    }
    return RunTrapped([&] {
        if (const auto winner = ChooseShasenKanmonSignal(lineSignal, barrierSignal)) {
            analysis.LastSignalDate = winner->DateText;
            analysis.LastSignalSide = winner->Side;
            analysis.LastSignalRule = winner->RuleText;
        }
    });
}

bool CheckShasenKanmonSignal(const std::string& issueId, bool checkLines, bool checkBarriers) {
    return CheckShasenKanmonSignal(issueId, checkLines, checkBarriers, BreakoutSources{},
                                   KagiAnalysis().AnalysisResult);
}
