#pragma once
// A digest of many records for the tests that hold a build or an evaluation against a fixture
// made from earlier code: one line of text per case instead of the whole output.
#include <cstdio>
#include <string>

#include "analysis/kagi_rule_state.h"

// FNV-1a over the text of each record.
class Digest {
  public:
    void Add(const std::string& text) {
        for (unsigned char c : text) {
            hash_ ^= c;
            hash_ *= 1099511628211ULL;
        }
        hash_ ^= 0xff;  // record boundary
        hash_ *= 1099511628211ULL;
        ++records_;
    }
    std::string Text() const {
        char text[48];
        std::snprintf(text, sizeof text, "%016llx %d", static_cast<unsigned long long>(hash_),
                      records_);
        return text;
    }

  private:
    unsigned long long hash_ = 14695981039346656037ULL;
    int records_ = 0;
};

// Every bit of a double.
inline std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

inline std::string StateText(const KagiRuleState& s) {
    std::string text = s.EvalRuleText + "|" + Number(s.Ref2) + " " + Number(s.Ref3);
    for (int32_t v :
         {s.SellRun, s.BuyRun, static_cast<int32_t>(s.InSellSignal),
          static_cast<int32_t>(s.InBuySignal), s.LastRosaSell12, s.LastRosaBuy12, s.LastRosaSell345,
          s.LastRosaBuy345, s.LastRokuSell2, s.LastRokuBuy2, s.LastRokuSellGap, s.LastRokuBuyGap,
          s.LastRoweSell, s.LastRoweBuy, s.LastRoaSell, s.LastRoaBuy})
        text += " " + std::to_string(v);
    return text;
}
