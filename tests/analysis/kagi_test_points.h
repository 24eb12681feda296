#pragma once
// Kagi point prices for the rule tests: the prices are the Open of each point, and the view
// ends at the last point, so a read past the evaluated point fails like one before the first.
#include <initializer_list>
#include <string>
#include <vector>

#include "analysis/kagi_rule_state.h"

class KagiPoints {
  public:
    KagiPoints(std::initializer_list<double> prices) : KagiPoints(std::vector<double>(prices)) {}
    explicit KagiPoints(const std::vector<double>& prices) {
        for (double price : prices) {
            SeriesPoint point;
            point.Open = price;
            points_.push_back(point);
        }
    }
    // The view of points 0..i.
    KagiPrices Upto(int32_t i) const { return KagiPrices(points_.data(), i + 1); }
    KagiPrices All() const { return Upto(Last()); }
    int32_t Last() const { return static_cast<int32_t>(points_.size()) - 1; }
    KagiPoints Negated() const {
        KagiPoints negated = *this;
        for (SeriesPoint& point : negated.points_) point.Open = -point.Open;
        return negated;
    }

  private:
    std::vector<SeriesPoint> points_;
};

// One family run at the last point: the names it appended.
inline std::string RunFamily(KagiFamily family, const KagiPoints& points, KagiRuleState& state,
                             const KagiJudgeOptions& options = {}) {
    state.EvalRuleText.clear();
    family(points.All(), points.Last(), state, options);
    return state.EvalRuleText;
}

inline std::string RunFamily(KagiFamily family, const KagiPoints& points,
                             const KagiJudgeOptions& options = {}) {
    KagiRuleState state;
    return RunFamily(family, points, state, options);
}

// The bits of the default judgement options.
constexpr int kDefaultBits = 4 | 8 | 16 | 32 | 64;

// One of the 128 combinations of the judgement options, a bit each in field order from
// NotLongLine (1) to AdoptSecond (64); TwoTicks keeps its default.
inline KagiJudgeOptions JudgeOptionsOf(int bits) {
    KagiJudgeOptions options;
    options.NotLongLine = bits & 1;
    options.RepeatUnlimited = bits & 2;
    options.NewPriceBeyondThree = bits & 4;
    options.SecondUnlimited = bits & 8;
    options.ConsiderThird = bits & 16;
    options.MountainUnlimited = bits & 32;
    options.AdoptSecond = bits & 64;
    return options;
}
