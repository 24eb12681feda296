#pragma once
// Kagi charts built by hand for the drawing tests and the benchmark.
#include <string>
#include <vector>

#include "analysis/rule_marks.h"
#include "analysis/series.h"
#include "drawing/kagi_chart.h"
#include "drawing/series_fixture.h"

// A kagi chart built by hand: strokes, their marks and join lines, as the construction
// leaves them.
struct KagiFixture {
    SeriesRecord record;
    std::vector<RuleHit> marks;
    std::vector<KagiJoinRec> joins;

    KagiTables Tables() const { return {marks, joins}; }

    // n alternating strokes from `start`, one every nine days.
    KagiFixture(int32_t n, double start, uint32_t seed) {
        record.ChartKind = kChartKagi;
        Walk walk(seed);
        QDate date(2007, 1, 4);
        double price = start;
        for (int32_t k = 0; k < n; ++k) {
            SeriesPoint stroke;
            stroke.Open = price;
            const double length = start * 0.04 * (walk.Next() + 1.3);
            price += k % 2 == 0 ? length : -length * 0.9;
            stroke.Close = price;
            stroke.High = -1;
            stroke.DateText = DateText(date);
            date = date.addDays(9);
            stroke.EndDateText = DateText(date);
            record.Points.push_back(stroke);
        }
        record.Count = n;
    }

    // A mark on stroke k with its signal price a third of the way along the stroke.
    void Mark(int32_t k, const std::string& side, const std::string& rule) {
        SeriesPoint& stroke = record.Points[k];
        RuleHit hit;
        hit.Side = side;
        hit.SignalPrice = stroke.Open + (stroke.Close - stroke.Open) / 3;
        hit.StrokePrice = stroke.Close;
        hit.DateText = stroke.EndDateText;
        hit.RuleText = rule;
        stroke.High = static_cast<double>(marks.size());
        marks.push_back(hit);
    }

    // A split join on stroke k: the old listing ends at `oldEnd`, the new starts at `newStart`.
    void Join(int32_t k, int16_t code, double oldEnd, double newStart) {
        SeriesPoint& stroke = record.Points[k];
        stroke.SplitFlag = code;
        stroke.SplitRatio = 1.5;
        stroke.JoinLink = static_cast<int32_t>(joins.size());
        joins.push_back({oldEnd, newStart});
    }

    // The signal colour each stroke opened under, as the construction records it.
    void SetSignalColours() {
        double colour = kKagiColourNone;
        for (int32_t k = 0; k < record.Count; ++k) {
            SeriesPoint& stroke = record.Points[k];
            stroke.Low = colour;
            if (stroke.High >= 0 && !marks[static_cast<size_t>(stroke.High)].Side.empty())
                colour = stroke.Close > stroke.Open ? kKagiColourRed : kKagiColourBlue;
        }
    }
};
