#include "analysis/rule_marks.h"

namespace {
RuleMarkState state;
}

RuleMarkState& RuleMarks() { return state; }
void ResetRuleMarks() { state = RuleMarkState{}; }
