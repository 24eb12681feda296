#pragma once
// A kagi chart as a reviewer reads it: one line per marked stroke, then the last rule and
// signal and the two projections. The golden fixture is written in it, and a digest test
// shows a case that no longer matches in it.
#include <cstdio>
#include <optional>
#include <string>

#include "analysis/kagi.h"

inline std::string DescribedPrice(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

inline std::string DescribedObservation(const char* name, const std::optional<ObservationRec>& o) {
    if (!o) return std::string(name) + ": none\n";
    return std::string(name) + ": " + o->RuleText + " " + (o->Mark.empty() ? "-" : o->Mark) + " " +
           DescribedPrice(o->Price) + " " + o->DateText + "\n";
}

// One line per mark: the stroke it belongs to, its date, side, rule text, stroke price and
// signal price; then the last rule and signal and the two projections.
inline std::string DescribeKagiChart(const KagiChart& chart) {
    std::string text = "strokes " + std::to_string(chart.Strokes.size()) + "\n";
    for (size_t k = 0; k < chart.Strokes.size(); ++k) {
        const int32_t mark = static_cast<int32_t>(chart.Strokes[k].High);
        if (mark < 0) continue;
        // A broken chart is shown as it is, not read past its table.
        if (static_cast<size_t>(mark) >= chart.Marks.RuleMarkTable.size()) {
            text += "stroke " + std::to_string(k) + " names mark " + std::to_string(mark) +
                    ", which is not there\n";
            continue;
        }
        const RuleHit& hit = chart.Marks.RuleMarkTable[mark];
        text += "stroke " + std::to_string(k) + " " + hit.DateText + " " +
                (hit.Side.empty() ? "-" : hit.Side) + " " + hit.RuleText + " " +
                DescribedPrice(hit.StrokePrice) + " " + DescribedPrice(hit.SignalPrice) + "\n";
    }
    text += "marks " + std::to_string(chart.Marks.RuleMarkCount) + "\n";
    text += "last rule: " + chart.Last.RuleText + " " + chart.Last.RuleDate + "\n";
    text += "last signal: " + chart.Last.SignalRule + " " + chart.Last.SignalSide + " " +
            chart.Last.SignalDate + "\n";
    text += DescribedObservation("forward", chart.Forward);
    text += DescribedObservation("reverse", chart.Reverse);
    return text;
}
