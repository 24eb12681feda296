#pragma once
// The rule evaluation at a kagi point: the break test, the families of the stroke's
// direction, the alternation of signal sides and the rule mark it records; and the start
// of each segment in the shared rule state and result block (KagiAnalysisState).
#include <cstdint>
#include <functional>
#include <string>

#include "analysis/kagi_families.h"
#include "analysis/kagi_rule_state.h"
#include "analysis/kagi_width.h"
#include "analysis/rule_marks.h"
#include "analysis/series.h"
#include "analysis/state.h"

struct SetteiRecord;

// Everything one evaluation reads and writes.
struct KagiEvaluator {
    KagiRuleState& State;
    RuleMarkState& Marks;
    const KagiJudgeOptions& Options;
    const KagiMarket& Market;
    const KagiFamilyTable& Families;
};

// Evaluates point i (at least 3) of the kagi points 0 .. count-1: returns the rule names the
// families appended ("" when the break test fails or no rule holds) and leaves Ref2 and
// Ref3 holding the reference prices of point i.
std::string EvaluateKagiRules(KagiEvaluator& ev, const SeriesPoint* points, int32_t count,
                              int32_t i);
// Evaluates point i and, when a rule holds, records one mark and returns its index in the
// mark table; else -1.
int32_t RecordKagiRuleHit(KagiEvaluator& ev, const SeriesPoint* points, int32_t count, int32_t i);
// The start values of a segment's rule state.
void ResetKagiRuleState(KagiRuleState& state);

// The rule text as stored: no circled numbers, one side character at the end.
std::string NormaliseRuleText(std::string text);

// The options chosen (-1) in the settings record: the signal ticks of the user settings and
// the tested member of each kagi-judgement pair.
KagiJudgeOptions KagiJudgeOptionsFrom(const SetteiRecord& record);

// Before each segment: the shared rule state and the leading fields of AnalysisResult.
void ResetKagiRuleState();
