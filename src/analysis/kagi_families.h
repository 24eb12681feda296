#pragma once
// The method's four rule families, each with a sell and a buy form.
#include "analysis/kagi_rule_state.h"

void CheckRuleRosaSell(const KagiPrices& T, int32_t i, KagiRuleState& state,
                       const KagiJudgeOptions& options);
void CheckRuleRosaBuy(const KagiPrices& T, int32_t i, KagiRuleState& state,
                      const KagiJudgeOptions& options);
void CheckRuleRokuSell(const KagiPrices& T, int32_t i, KagiRuleState& state,
                       const KagiJudgeOptions& options);
void CheckRuleRokuBuy(const KagiPrices& T, int32_t i, KagiRuleState& state,
                      const KagiJudgeOptions& options);
void CheckRuleRoweSell(const KagiPrices& T, int32_t i, KagiRuleState& state,
                       const KagiJudgeOptions& options);
void CheckRuleRoweBuy(const KagiPrices& T, int32_t i, KagiRuleState& state,
                      const KagiJudgeOptions& options);
void CheckRuleRoaSell(const KagiPrices& T, int32_t i, KagiRuleState& state,
                      const KagiJudgeOptions& options);
void CheckRuleRoaBuy(const KagiPrices& T, int32_t i, KagiRuleState& state,
                     const KagiJudgeOptions& options);

// The eight families in the order they run; tests replace entries to inject results.
struct KagiFamilyTable {
    KagiFamily RosaSell, RokuSell, RoweSell, RoaSell;
    KagiFamily RosaBuy, RokuBuy, RoweBuy, RoaBuy;
};
KagiFamilyTable DefaultKagiFamilies();
