#pragma once
// How a failed comparison shows a rule state, and the state's text in the digests: every
// field once, the sell and buy fields of a family side by side, prices to the last bit.
// Every test that compares or prints a KagiRuleState includes this header, so gtest never
// falls back to the bytes of the record.
#include <cstdio>
#include <ostream>
#include <string>

#include "analysis/kagi_rule_state.h"

inline void PrintTo(const KagiRuleState& s, std::ostream* os) {
    const auto price = [](double value) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", value);
        return std::string(text);
    };
    const auto pair = [](auto sell, auto buy) {
        return std::to_string(sell) + "/" + std::to_string(buy);
    };
    *os << "{\"" << s.EvalRuleText << "\" refs " << price(s.Ref2) << " " << price(s.Ref3)
        << " sell/buy: runs " << pair(s.SellRun, s.BuyRun) << " signal "
        << pair(s.InSellSignal, s.InBuySignal) << " rosa12 "
        << pair(s.LastRosaSell12, s.LastRosaBuy12) << " rosa345 "
        << pair(s.LastRosaSell345, s.LastRosaBuy345) << " roku2 "
        << pair(s.LastRokuSell2, s.LastRokuBuy2) << " rokuGap "
        << pair(s.LastRokuSellGap, s.LastRokuBuyGap) << " rowe "
        << pair(s.LastRoweSell, s.LastRoweBuy) << " roa " << pair(s.LastRoaSell, s.LastRoaBuy)
        << "}";
}
