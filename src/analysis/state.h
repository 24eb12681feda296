#pragma once
// The shared records of the analysis, one owner for them all: the series every chart, print
// and analysis works on, the period builder's state, the kagi chart's rule marks and result
// block, the reversal width of the chart being built, the lines and barriers with their
// overlays and kept rows, and the breakout cut list. Each record lives for the whole run;
// ResetAnalysisState gives every one of them the values of a fresh start. The records are
// the calling thread's own: the main thread's are the program's.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analysis/dates.h"
#include "analysis/kagi_families.h"
#include "analysis/kagi_rule_state.h"
#include "analysis/lines_records.h"
#include "analysis/rule_marks.h"
#include "analysis/series.h"
#include "foundation/number_rows.h"

// --- Series ----------------------------------------------------------------------------------

// The series of the four charts, the loaders' work arrays and the kagi join lines.
struct SeriesState {
    SeriesRecord DailySeries;
    SeriesRecord WeeklySeries;
    SeriesRecord MonthlySeries;
    SeriesRecord KagiSeries;
    std::vector<SeriesPoint> PeriodWorkSeries;
    int32_t PeriodWorkCount = 0;
    std::vector<SeriesPoint> TextDataSeries;
    int32_t TextDataCount = 0;
    std::vector<KagiJoinRec> KagiJoinTable;
    int32_t KagiJoinCount = 0;
};

SeriesState& Series();

// The newest daily bar of the issue last loaded, with its change against the day before.
struct LatestBarSummaryRec {
    double Open = 0;
    double Close = 0;
    double High = 0;
    double Low = 0;
    double Volume = 0;
    std::string DateText;
    std::string ChangeText = "－";  // "－" when the change cannot be computed
};

// The period builder's module state and the latest-bar summary.
struct SeriesLoadingState {
    // Results of the last same-week or same-month tests, slots 1 and 2: -1 same, 0 not.
    std::array<int16_t, 3> SamePeriodFlag{};
    int32_t LastStoredEnd = 0;  // end day of the last stored period row, 0 when none
    int32_t FirstNewDate = 0;   // day of the first daily row aggregated, 0 when none
    // -1: the next PreparePeriodRows reads the daily rows before JoinDate (joined loads).
    int16_t ReadBeforeJoinDate = 0;
    int32_t JoinDate = 0;
    // A joined weekly or monthly load's next older listing: its stored periods are sent for
    // (SendReadAhead) as soon as the listing before it has its own.
    std::string NextListingAhead;
    LatestBarSummaryRec LatestBarSummary;
    // The rows of the last daily and period statements, kept so that their storage serves
    // the next load instead of being allocated again.
    NumberRows DailyRows;
    NumberRows PeriodRows;
    // While DailyRowsReadOnce objects live (their number): the rows each daily statement
    // gave, by its text.
    int DailyRowsHolds = 0;
    std::map<std::string, NumberRows, std::less<>> DailyRowsByStatement;
    // While SplitRowsOfLoad objects live (their number): each issue's split rows as read.
    int SplitRowsHolds = 0;
    std::map<std::string, std::vector<SplitRow>, std::less<>> SplitRowsByIssue;
};

SeriesLoadingState& SeriesLoading();

// --- The kagi chart --------------------------------------------------------------------------

// The rule marks of the kagi chart last built: at most one per stroke, read by drawing,
// the read-out, the breakout signals and the news.
struct RuleMarkState {
    std::vector<RuleHit> RuleMarkTable;
    int32_t RuleMarkCount = 0;
};

RuleMarkState& RuleMarks();

// A projected turn: the rule that would fire and at which price.
struct ObservationRec {
    std::string RuleText;
    std::string Mark;      // "転", "順", "逆" or ""
    std::string DateText;  // the day of the computation, yyyy/mm/dd
    double Price = 0;
};

// The per-issue result block of the kagi chart last built, stored by the analysis run.
struct AnalysisResultRec {
    std::string LastRuleText;           // 法則
    std::string LastRuleDate;           // 法則日
    std::string LastSignalRule;         // 転換法則
    std::string LastSignalDate;         // 転換日
    std::string LastSignalSide;         // 転換状況: "売", "買" or ""
    std::string LatestDate;             // 最終日
    double LatestVolume = 0;            // 出来高
    double LatestClose = 0;             // 株価
    int32_t RiseRate = 0;               // 上昇率
    int32_t FallRate = 0;               // 下落率
    std::string ChangeText;             // 前日比
    ObservationRec ForwardObservation;  // the line goes on (順次)
    ObservationRec ReverseObservation;  // the line turns (逆次)
};

// The shared state of the kagi rules: the evaluation state of the chart last built, the
// judgement options in force, the families, the result block and the clock that dates the
// projections.
struct KagiAnalysisState {
    KagiRuleState RuleState;
    KagiJudgeOptions Options;  // as BuildKagi last read them from the settings record
    KagiFamilyTable Families = DefaultKagiFamilies();
    AnalysisResultRec AnalysisResult;
    std::function<std::string()> Today = TodayText;  // the day of the computation
};

KagiAnalysisState& KagiAnalysis();

// The two width factors of a text-data series, from its price step written with up to
// five decimals.
struct KagiWidthFactors {
    double K1 = 0;
    double K2 = 0;
};

// The kind of the issue whose chart is being built and the text-data width factors: set by
// BuildKagi and by the kagi view, read by the width and tick overloads that take no market.
struct KagiWidthState {
    int16_t KagiIssueKind = 4;
    KagiWidthFactors TextDataWidthFactor;
};

KagiWidthState& KagiWidth();

// --- Lines and barriers ----------------------------------------------------------------------

struct LinesState {
    // Indexed by ChartSlotOf: kagi, daily, weekly, monthly. Written only by the loaders.
    std::array<ShasenKanmonSnapshot, 4> ShasenKanmonSnapshots{};
    // Editor state.
    int16_t CurLineSlot = 0;
    int16_t CurKanmonSlot = 0;
    int32_t EditFirstShown = 0;
    int32_t EditLastShown = 0;
    std::array<double, 3> ClickHighs{};
    std::array<double, 3> ClickLows{};
    std::array<ShasenRec, 5> SavedShasenSet{};
    // Set together by every load, used by the next save.
    LineKindCodes Codes;
};

LinesState& Lines();

struct OverlayState {
    // The chart windows' overlays, indexed by ChartSlotOf: kagi, daily, weekly, monthly.
    std::array<PriceOverlay, 4> Overlays{};
    // Panels 4 (barriers) and 5 (lines) of the main frame's status bar.
    std::string KanmonPriceText;
    std::string ShasenPriceText;
};

OverlayState& Overlay();

struct LinesStorageState {
    // Per chart (ChartSlotOf): the issue whose rows were loaded and the rows kept per slot.
    struct Chart {
        std::string IssueId;
        std::array<std::optional<KeptShasenRow>, kLineSlotCount> Kept;
    };
    std::array<Chart, 4> Charts;
};

LinesStorageState& LinesStorage();

// --- Breakout signals ------------------------------------------------------------------------

// One issue whose weekly bar cut the weekly judgement line, with the day of the cut.
struct SignalHit {
    std::string IssueCode;
    int32_t Date = 0;  // yyyymmdd
};

// The cut list; the analysis run empties it at its start.
struct SignalState {
    // Always one spare element behind the last entry; readers use SignalHitCount.
    std::vector<SignalHit> SignalHitList = std::vector<SignalHit>(1);
    int32_t SignalHitCount = 0;
};

SignalState& Signals();

// Every record above as a fresh run has it.
void ResetAnalysisState();
