#pragma once
// Rule evaluations over seeded charts for the digest tests: turning prices of three kinds,
// every family swept point by point on both sides, and a chart grown bar by bar as the walk
// grows it. Each evaluation goes into the digest with the names and the whole rule state.
#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/kagi.h"
#include "analysis/kagi_digest.h"
#include "analysis/kagi_families.h"
#include "support/random_draws.h"

inline std::vector<SeriesPoint> Points(const std::vector<double>& prices) {
    std::vector<SeriesPoint> points(prices.size());
    for (size_t k = 0; k < prices.size(); ++k) points[k].Open = prices[k];
    return points;
}

// Turning prices of a kagi chart in steps of 10: short strokes make ties between tops and
// between bottoms; a drift that changes now and then makes long runs of new highs and lows.
inline std::vector<double> KagiTurns(std::mt19937& random, int count) {
    std::vector<double> prices{1000};
    int drift = 0;
    for (int k = 1; k < count; ++k) {
        if (k % 25 == 1) drift = DrawInt(random, -2, 2);
        int up = DrawInt(random, 1, 6) + std::max(drift, 0);
        int down = DrawInt(random, 1, 6) + std::max(-drift, 0);
        const double step = 10.0 * (k % 2 ? up : down);
        prices.push_back(prices.back() + (k % 2 ? step : -step));
    }
    return prices;
}

// Spells of long strokes one way and of narrow ranges: gaps followed by tops that stay close
// to the top after the gap, as mountains, falling or rising tops.
inline std::vector<double> SpellTurns(std::mt19937& random, int count) {
    std::vector<double> prices{1000};
    int spell = 0;
    for (int k = 1; k < count; ++k) {
        if (DrawInt(random, 0, 5) == 0) spell = DrawInt(random, 0, 3);
        const bool up = k % 2;
        int size = DrawInt(random, 1, 3);
        if ((spell == 1 && up) || (spell == 2 && !up) || spell == 3) size += 12;
        prices.push_back(prices.back() + (up ? 10.0 : -10.0) * size);
    }
    return prices;
}

// Any prices at all, from a handful of levels: shapes that no kagi walk makes.
inline std::vector<double> AnyPrices(std::mt19937& random, int count) {
    std::vector<double> prices;
    for (int k = 0; k < count; ++k) prices.push_back(10.0 * DrawInt(random, 1, 6));
    return prices;
}

// Every point from 3 on, as the walk calls the families: the side of the stroke's direction
// with the state carried on; the other side as well on a copy, as a caller may read it.
inline void SweepFamilies(Digest& digest, const std::vector<double>& prices,
                          const KagiJudgeOptions& options) {
    const KagiFamilyTable f = DefaultKagiFamilies();
    const KagiFamily sell[4] = {f.RosaSell, f.RokuSell, f.RoweSell, f.RoaSell};
    const KagiFamily buy[4] = {f.RosaBuy, f.RokuBuy, f.RoweBuy, f.RoaBuy};
    const char* const names[4] = {"rosa", "roku", "rowe", "roa"};
    const std::vector<SeriesPoint> points = Points(prices);
    KagiRuleState state;
    ResetKagiRuleState(state);
    for (int32_t i = 3; i < static_cast<int32_t>(points.size()); ++i) {
        const KagiPrices T(points.data(), i + 1);
        const bool falling = T[i - 1] > T[i - 2];
        KagiRuleState other = state;
        std::string record = "point " + std::to_string(i);
        for (int side = 0; side < 2; ++side) {
            KagiRuleState& s = side == 0 ? state : other;
            const bool selling = (side == 0) == falling;
            const KagiFamily* families = selling ? sell : buy;
            for (int n = 0; n < 4; ++n) {
                s.EvalRuleText.clear();
                try {
                    families[n](T, i, s, options);
                } catch (const std::out_of_range&) {
                    s.EvalRuleText += "<out of range>";
                }
                record += std::string("\n  ") + (selling ? "sell " : "buy ") + names[n] + " " +
                          RuleStateText(s);
            }
        }
        digest.Add(record);
    }
}

// A kagi chart grown as the walk grows it: the newest point moves on in the stroke's
// direction for a few bars and is evaluated at each while its stroke has no mark.
inline void GrowChart(Digest& digest, std::mt19937& random, int strokes,
                      const KagiJudgeOptions& options) {
    const KagiMarket market;
    const KagiFamilyTable families = DefaultKagiFamilies();
    KagiRuleState state;
    ResetKagiRuleState(state);
    RuleMarkState marks;
    KagiEvaluator ev{state, marks, options, market, families};
    std::vector<SeriesPoint> points(strokes + 2);
    points[0].Open = 1000;
    points[1].Open = 1030;
    int drift = 0;
    for (int32_t i = 2; i <= strokes; ++i) {
        if (i % 20 == 2) drift = DrawInt(random, -2, 2);
        const double way = i % 2 ? 1 : -1;  // the stroke into point i falls when i is even
        const int bars = DrawInt(random, 1, 6);
        double price = points[i - 1].Open;
        bool marked = false;
        for (int b = 0; b < bars; ++b) {
            price += way * 5.0 * (DrawInt(random, 1, 4) + std::max(way * drift, 0.0));
            points[i].Open = price;
            if (marked || i < 3) continue;
            const int32_t r = RecordKagiRuleHit(ev, points.data(), i + 1, i);
            std::string record =
                "point " + std::to_string(i) + " " + Number(price) + " mark " + std::to_string(r);
            if (r >= 0) {
                const RuleHit& hit = marks.RuleMarkTable[r];
                record += " " + hit.RuleText + " " + hit.Side + " " + Number(hit.SignalPrice) +
                          " " + Number(hit.StrokePrice);
                marked = true;
            }
            digest.Add(record + "\n  " + RuleStateText(state));
        }
    }
}
