#pragma once
// How a failed comparison shows a rule state, and the state's text in the digests: every
// field once, the sell and buy fields of a family side by side, prices to the last bit.
// Every test that compares or prints a KagiRuleState includes this header, so gtest never
// falls back to the bytes of the record.
#include <cstdio>
#include <ostream>
#include <string>

#include "analysis/kagi_rule_state.h"

inline std::string RuleStateText(const KagiRuleState& s) {
    char fields[512];
    std::snprintf(fields, sizeof fields,
                  " refs %.17g %.17g sell/buy: runs %d/%d signal %d/%d rosa12 %d/%d rosa345 %d/%d "
                  "roku2 %d/%d rokuGap %d/%d rowe %d/%d roa %d/%d}",
                  s.Ref2, s.Ref3, s.SellRun, s.BuyRun, int{s.InSellSignal}, int{s.InBuySignal},
                  s.LastRosaSell12, s.LastRosaBuy12, s.LastRosaSell345, s.LastRosaBuy345,
                  s.LastRokuSell2, s.LastRokuBuy2, s.LastRokuSellGap, s.LastRokuBuyGap,
                  s.LastRoweSell, s.LastRoweBuy, s.LastRoaSell, s.LastRoaBuy);
    return "{\"" + s.EvalRuleText + "\"" + fields;
}

inline void PrintTo(const KagiRuleState& s, std::ostream* os) {
    *os << RuleStateText(s);
}
