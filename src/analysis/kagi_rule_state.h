#pragma once
// What the kagi rule evaluation and its four families share: the view of the kagi point
// prices, the judgement options and the evaluation state that carries from stroke to stroke.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "analysis/series.h"

// T[k]: the price of kagi point k (the Open of point k), read-only. A mirrored view
// negates every price, so a sell rule read on it is the buy rule of the original.
class KagiPrices {
  public:
    KagiPrices(const SeriesPoint* points, int32_t count, bool mirrored = false)
        : points_(points),
          count_(count),
          limit_(static_cast<uint32_t>(count < 0 ? 0 : count)),
          sign_(mirrored ? -1.0 : 1.0) {}
    double operator[](int32_t k) const {
        CheckIndex(k);
        return At(k);
    }
    // A family must test the lowest index it needs; a read outside is a fault.
    void CheckIndex(int32_t k) const {
        if (static_cast<uint32_t>(k) >= limit_) [[unlikely]]
            ThrowOutOfRange();
    }
    // Without the range test: only for a loop that has checked its highest index and whose
    // lowest index is kept at 0 or above by the loop itself.
    double At(int32_t k) const { return sign_ * points_[k].Open; }
    int32_t Count() const { return count_; }
    bool IsMirrored() const { return sign_ < 0; }
    KagiPrices Mirrored() const { return KagiPrices(points_, count_, sign_ > 0); }

  private:
    [[noreturn]] static void ThrowOutOfRange() { throw std::out_of_range("kagi point index"); }

    const SeriesPoint* points_;
    int32_t count_;
    uint32_t limit_;  // count_, or 0 when negative: one unsigned test covers both ends
    double sign_;
};

// The options of the kagi judgement settings that the families test (true = chosen).
// Defaults are those of a new settings record.
struct KagiJudgeOptions {
    bool NotLongLine = false;         // OPT_Not長線
    bool RepeatUnlimited = false;     // OPT_連続無制限
    bool NewPriceBeyondThree = true;  // OPT_新値三超
    bool SecondUnlimited = true;      // OPT_第二無制限
    bool ConsiderThird = true;        // OPT_第三考慮
    bool MountainUnlimited = true;    // OPT_山無制限
    bool AdoptSecond = true;          // OPT_第二採用
    bool TwoTicks = true;             // OPT_二文 (else OPT_三文)
};

struct KagiRuleState {
    std::string EvalRuleText;
    double Ref2 = 0;
    double Ref3 = 0;
    int32_t SellRun = 0;
    int32_t BuyRun = 0;
    bool InSellSignal = false;
    bool InBuySignal = false;
    int32_t LastRosaSell12 = 0, LastRosaBuy12 = 0;
    int32_t LastRosaSell345 = 0, LastRosaBuy345 = 0;
    int32_t LastRokuSell2 = 1, LastRokuBuy2 = 1;
    int32_t LastRokuSellGap = 0, LastRokuBuyGap = 0;
    int32_t LastRoweSell = 0, LastRoweBuy = 0;
    int32_t LastRoaSell = 0, LastRoaBuy = 0;

    bool operator==(const KagiRuleState&) const = default;
};

// One rule family: evaluates point i of T and appends at most one rule name to
// state.EvalRuleText, updating the run counters and its own last-index fields.
using KagiFamily = void (*)(const KagiPrices& T, int32_t i, KagiRuleState& state,
                            const KagiJudgeOptions& options);
