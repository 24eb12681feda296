#pragma once
// Calendar-built series for the line and barrier tests: weeks from Monday 2024/01/08,
// their weekday bars, and the judgement line over them.
#include <chrono>
#include <cstdio>
#include <string>

#include "analysis/kagi_evaluation.h"
#include "analysis/rule_marks.h"
#include "analysis/series.h"

namespace lines_fixture {

// Weekday d (0 Monday) of week w.
inline std::chrono::sys_days Day(int week, int weekday) {
    using namespace std::chrono;
    return sys_days(year{2024} / January / 8) + days(7 * week + weekday);
}

inline std::string DateText(std::chrono::sys_days day) {
    const std::chrono::year_month_day ymd(day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02u/%02u", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    return text;
}

// n points, one a week from the first Monday; weekly points carry "first～last".
inline SeriesRecord WeeklyDatedSeries(int32_t kind, int32_t n) {
    SeriesRecord record;
    record.ChartKind = kind;
    for (int32_t i = 0; i < n; ++i) {
        SeriesPoint point;
        point.DateText = DateText(Day(i, 0));
        if (kind == kChartWeekly) point.DateText += "～" + DateText(Day(i, 0));
        record.Points.push_back(point);
    }
    record.Count = n;
    return record;
}

// Weekly bars and their daily bars. Every week opens at 900 and closes at 950 (under the
// line) unless a test moves it; the daily closes follow the week's close on every day.
struct Market {
    SeriesRecord weekly;
    SeriesRecord daily;

    explicit Market(int weeks, int firstDailyWeek = 0) {
        weekly.ChartKind = kChartWeekly;
        for (int w = 0; w < weeks; ++w) {
            SeriesPoint bar;
            bar.Open = 900;
            bar.Close = 950;
            bar.DateText = DateText(Day(w, 0)) + "～" + DateText(Day(w, 4));
            weekly.Points.push_back(bar);
            for (int d = 0; w >= firstDailyWeek && d < 5; ++d) {
                SeriesPoint day;
                day.Close = 950;
                day.DateText = DateText(Day(w, d));
                daily.Points.push_back(day);
            }
        }
        weekly.Count = static_cast<int32_t>(weekly.Points.size());
        daily.Count = static_cast<int32_t>(daily.Points.size());
    }
    // A week that moves from open to close; its days close at dayClose from weekday cutDay.
    void Week(int w, double open, double close, int cutDay, double dayClose) {
        weekly.Points[w].Open = open;
        weekly.Points[w].Close = close;
        for (SeriesPoint& day : daily.Points)
            for (int d = cutDay; d < 5; ++d)
                if (day.DateText == DateText(Day(w, d))) day.Close = dayClose;
    }
    // The judgement line pair, both lines flat.
    void Line(int32_t left, int32_t right, double upperPrice, double lowerPrice) {
        weekly.ShasenSlots[0] =
            ShasenRec{left, upperPrice, right, upperPrice, left, lowerPrice, right, lowerPrice, 0};
    }
};

inline RuleHit Mark(std::chrono::sys_days day, const std::string& rule,
                    const std::string& side = "", double signalPrice = 0) {
    return RuleHit{side, signalPrice, signalPrice, DateText(day), rule};
}

// The kagi chart's own newest signal in the analysis result.
inline AnalysisResultRec KagiOwn(const std::string& rule = "", const std::string& date = "",
                                 const std::string& side = "") {
    AnalysisResultRec result;
    result.LastSignalRule = rule;
    result.LastSignalDate = date;
    result.LastSignalSide = side;
    return result;
}

}  // namespace lines_fixture
