#include "analysis/kagi_families.h"

// Placeholder bodies: no rule holds until the families are written.
void CheckRuleRosaSell(const KagiPrices&, int32_t, KagiRuleState&, const KagiJudgeOptions&) {}
void CheckRuleRosaBuy(const KagiPrices&, int32_t, KagiRuleState&, const KagiJudgeOptions&) {}
void CheckRuleRokuSell(const KagiPrices&, int32_t, KagiRuleState&, const KagiJudgeOptions&) {}
void CheckRuleRokuBuy(const KagiPrices&, int32_t, KagiRuleState&, const KagiJudgeOptions&) {}
void CheckRuleRoweSell(const KagiPrices&, int32_t, KagiRuleState&, const KagiJudgeOptions&) {}
void CheckRuleRoweBuy(const KagiPrices&, int32_t, KagiRuleState&, const KagiJudgeOptions&) {}
void CheckRuleRoaSell(const KagiPrices&, int32_t, KagiRuleState&, const KagiJudgeOptions&) {}
void CheckRuleRoaBuy(const KagiPrices&, int32_t, KagiRuleState&, const KagiJudgeOptions&) {}
