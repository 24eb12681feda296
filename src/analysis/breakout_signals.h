#pragma once
// Breakout signals of the weekly judgement line and barrier. A weekly bar that cuts the
// judgement line by the set number of ticks, confirmed by a kagi rule of the same
// direction within the set number of days, is a simultaneous turn of kagi and weekly
// chart; a kagi rule whose reference price lies inside the judgement barrier is a barrier
// signal. The newer one replaces the kagi chart's own signal in the analysis result.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/kagi_evaluation.h"
#include "analysis/rule_marks.h"
#include "analysis/series.h"
#include "analysis/series_loading.h"
#include "analysis/state.h"

struct SignalRec {
    std::string RuleText;  // the confirming kagi mark's rule; empty when dated by the cut
    std::string DateText;  // yyyy/mm/dd
    std::string Side;      // "買" or "売"
};

void AppendSignalHit(const std::string& issueCode, int32_t date);

// "日数制限無し" and beyond in the list of CBO_同時転換: no day limit.
constexpr int16_t kNoDayLimitIndex = 16;

// What one line search reads.
struct LineSearchInput {
    const SeriesRecord* Weekly = nullptr;  // its ShasenSlots(0) is the judgement line
    // The issue's daily bars in date order, loaded at most once per issue; nullptr when
    // loading failed.
    std::function<const SeriesRecord*()> Daily;
    // The tick at a price for the issue's kind.
    std::function<double(double)> TickSize;
    int32_t TicksNeeded = 0;    // CBO_必要文数
    int32_t DayLimit = 0;       // CBO_同時転換; kNoDayLimitIndex or more: no limit
    AnalysisResultRec Current;  // the kagi chart's own newest signal
    const std::vector<RuleHit>* Marks = nullptr;
    int32_t MarkCount = 0;
};

struct LineSearchResult {
    std::optional<SignalRec> Signal;
    int32_t CutDate = 0;  // yyyymmdd of the last daily cut met, 0 when none
};

// The two line searches: a rising weekly bar through the upper judgement line, a falling
// one through the lower. A bad date text throws std::invalid_argument.
LineSearchResult FindShasenBuySignal(const LineSearchInput& input);
LineSearchResult FindShasenSellSignal(const LineSearchInput& input);

struct ShasenSignalResult {
    std::optional<SignalRec> Signal;
    int32_t HitDate = 0;  // the cut day for the cut list, 0 when no bar cut the line
};
// Both searches and the choice between them (buy when its date is the later). Throws as
// the searches do.
ShasenSignalResult SearchShasenSignal(const LineSearchInput& input);

// The newest mark whose signal price lies inside the barrier, unless it is older than or
// on the same side as the kagi chart's own signal.
std::optional<SignalRec> FindKanmonSignal(const KanmonRec& barrier,
                                          const AnalysisResultRec& current,
                                          const std::vector<RuleHit>& marks, int32_t markCount);

// The later of the two signals; the line signal wins a tie.
std::optional<SignalRec> ChooseShasenKanmonSignal(const std::optional<SignalRec>& line,
                                                  const std::optional<SignalRec>& barrier);

// --- The check of one issue in the analysis run -------------------------------------------

// The loaders and the tick table the check runs on: the weekly and daily preparers fill
// Series().WeeklySeries and Series().DailySeries (mode 1) and report their own failures.
struct BreakoutSources {
    std::function<bool(const std::string& issueId)> PrepareWeeklySeries =
        [](const std::string& issueId) { return ::PrepareWeeklySeries(issueId, 1); };
    std::function<bool(const std::string& issueId)> PrepareDailySeries =
        [](const std::string& issueId) { return ::PrepareDailySeries(issueId, 1); };
    std::function<double(double price, int16_t issueKind)> GetTickSize =
        [](double price, int16_t issueKind) { return ::GetTickSize(price, issueKind); };
};

// Both line searches over the weekly series' judgement line, the cut list and the choice
// of the signal. False only after a trapped run-time error, which it reports.
bool FindShasenSignal(const SeriesRecord& weekly, int16_t issueKind, const std::string& issueId,
                      const BreakoutSources& sources, const AnalysisResultRec& current,
                      SignalRec& signal, bool& found);

// The line and barrier checks the settings ask for; the newer signal replaces the kagi
// chart's own in analysis. False when the weekly series cannot be prepared or the line
// search failed with an error; the analysis run stops then.
bool CheckShasenKanmonSignal(const std::string& issueId, bool checkLines, bool checkBarriers,
                             const BreakoutSources& sources, AnalysisResultRec& analysis);
// The same over the price tables and the kagi chart's AnalysisResult, as the run calls it.
bool CheckShasenKanmonSignal(const std::string& issueId, bool checkLines, bool checkBarriers);
