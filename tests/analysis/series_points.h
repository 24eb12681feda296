#pragma once
// Small series for the analysis tests: daily bars written as one line each.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/series.h"

struct Bar {
    const char* date;  // "yyyy/mm/dd" or a period label
    double open, high, low, close, volume;
};

inline SeriesPoint MakePoint(const Bar& bar) {
    SeriesPoint point;
    point.DateText = bar.date;
    point.Open = bar.open;
    point.High = bar.high;
    point.Low = bar.low;
    point.Close = bar.close;
    point.Volume = bar.volume;
    return point;
}

// A record as the loaders size it: Count valid points and one spare element.
inline SeriesRecord MakeRecord(const std::vector<Bar>& bars) {
    SeriesRecord record;
    for (const Bar& bar : bars) record.Points.push_back(MakePoint(bar));
    record.Count = static_cast<int32_t>(bars.size());
    record.Points.emplace_back();
    return record;
}

inline std::vector<std::string> DatesOf(const SeriesRecord& record) {
    std::vector<std::string> dates;
    for (int32_t i = 0; i < record.Count; ++i) dates.push_back(record.Points[i].DateText);
    return dates;
}

inline std::vector<double> ClosesOf(const SeriesRecord& record) {
    std::vector<double> closes;
    for (int32_t i = 0; i < record.Count; ++i) closes.push_back(record.Points[i].Close);
    return closes;
}

// The prices and volume of a bar, checked together.
inline void ExpectBar(const SeriesPoint& point, const Bar& bar) {
    EXPECT_EQ(point.DateText, bar.date);
    EXPECT_DOUBLE_EQ(point.Open, bar.open);
    EXPECT_DOUBLE_EQ(point.High, bar.high);
    EXPECT_DOUBLE_EQ(point.Low, bar.low);
    EXPECT_DOUBLE_EQ(point.Close, bar.close);
    EXPECT_DOUBLE_EQ(point.Volume, bar.volume);
}
