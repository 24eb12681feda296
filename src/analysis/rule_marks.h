#pragma once
// A rule mark of the kagi chart: at most one per stroke, read by drawing, the read-out,
// the breakout signals and the news.
#include <cstdint>
#include <string>
#include <vector>

struct RuleHit {
    std::string Side;        // "売", "買" or "" when the mark is not a signal
    double SignalPrice = 0;  // the reference price of the break
    double StrokePrice = 0;  // the kagi price when the mark was recorded
    std::string DateText;    // yyyy/mm/dd
    std::string RuleText;    // e.g. "ろさ売", "ろあ買"
};
