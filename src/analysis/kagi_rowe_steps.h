#pragma once
// The steps of the ろゑ family under their own names, each in a sell and a buy form. A step
// that holds appends its name to state.EvalRuleText and sets the side's LastRowe field.
#include <cstdint>

#include "analysis/kagi_rule_state.h"

// ③ and ④: the long line ending at p, against the rise into q.
bool CheckRoweLineSell(const KagiPrices& T, int32_t i, int32_t p, int32_t q, bool composite,
                       KagiRuleState& state);
bool CheckRoweLineBuy(const KagiPrices& T, int32_t i, int32_t p, int32_t q, bool composite,
                      KagiRuleState& state);

// ⑥: the long line two tops back.
bool CheckRoweLineSixSell(const KagiPrices& T, int32_t i, int32_t p, int32_t q, bool composite,
                          KagiRuleState& state);
bool CheckRoweLineSixBuy(const KagiPrices& T, int32_t i, int32_t p, int32_t q, bool composite,
                         KagiRuleState& state);

// ①, ② and ⑤ after the gap above top d (r = d + 2); k is the pass of the gap search.
enum class GapShape { None = -1, Named = 0, Unnamed = 1 };
GapShape CheckRoweGapSell(const KagiPrices& T, int32_t i, int32_t r, int32_t d, int32_t k,
                          bool composite, KagiRuleState& state, const KagiJudgeOptions& options);
GapShape CheckRoweGapBuy(const KagiPrices& T, int32_t i, int32_t r, int32_t d, int32_t k,
                         bool composite, KagiRuleState& state, const KagiJudgeOptions& options);
