#pragma once
// The kagi chart of an issue's daily closes: the walk that opens a stroke at every change of
// direction of at least the reversal width, has the rules evaluated at every step, joins the
// chart across share splits and projects the next turns.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/kagi_evaluation.h"
#include "analysis/kagi_width.h"
#include "analysis/rule_marks.h"
#include "analysis/series.h"

// Join codes of a stroke that a split join created or extended.
constexpr int16_t kJoinAddedToOpen = 10;   // added stroke up to the new start
constexpr int16_t kJoinAddedToClose = 11;  // added stroke through the new first stroke
constexpr int16_t kJoinExtendedToOpen = 12;
constexpr int16_t kJoinExtendedThrough = 15;
constexpr int16_t kJoinLevel = 16;  // the new start at the old end's price

struct KagiWalkSettings {
    KagiMarket Market;
    KagiJudgeOptions Options;
    KagiFamilyTable Families = DefaultKagiFamilies();
    std::string Today;  // yyyy/mm/dd: the date of the projections
};

// The last mark and the last signal of a segment.
struct KagiLastRule {
    std::string RuleText, RuleDate;
    std::string SignalRule, SignalDate, SignalSide;
};

// What one build produces.
struct KagiChart {
    std::vector<SeriesPoint> Strokes;
    RuleMarkState Marks;
    std::vector<KagiJoinRec> Joins;
    KagiLastRule Last;  // of the last segment
    // Set only when a projected rule fires.
    std::optional<ObservationRec> Forward;
    std::optional<ObservationRec> Reverse;
    KagiRuleState RuleState;  // as the build leaves it
};

// The walk over daily bars (Close, Volume, DateText, SplitFlag and SplitRatio are read).
// Throws what a rule family throws.
KagiChart WalkKagi(std::vector<SeriesPoint> bars, const KagiWalkSettings& settings);

// The observation record of a projected mark.
ObservationRec SetProjectionMark(const RuleHit& mark, double twoTickPrice, double threeTickPrice,
                                 bool twoTicks, const std::string& lastSignalSide,
                                 const std::string& today);

// The kagi chart of the bars in KagiSeries, with the options of the settings record in force
// and the families and clock in KagiAnalysis(): replaces the points of KagiSeries and DailySeries
// by the strokes, fills RuleMarkTable, the join table, the rule fields of AnalysisResult and, when
// a projected rule fires, its observation records. A failure shows its description and leaves
// KagiSeries empty and the other records untouched.
bool BuildKagi(const std::string& issueId);
