// ctest-labels: series
// The bar on or before a date: the scan from the newest point and the bisection over
// points in date order give the same index on every edge.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "analysis/dates.h"
#include "series_points.h"
#include "support/random_draws.h"

namespace {

struct FindCase {
    const char* name;
    std::vector<const char*> dates;
    int32_t date;
    int32_t index;
};

SeriesRecord DatedRecord(const std::vector<const char*>& dates) {
    std::vector<Bar> bars;
    for (const char* date : dates) bars.push_back({date, 1, 1, 1, 1, 1});
    return MakeRecord(bars);  // with the loaders' spare point, which has no date
}

const std::vector<const char*> kWeek = {"2024/01/04", "2024/01/05", "2024/01/09", "2024/01/10"};
// 2024/01/05 stored twice.
const std::vector<const char*> kTwice = {"2024/01/04", "2024/01/05", "2024/01/05", "2024/01/09"};

const FindCase kCases[] = {
    {"no points", {}, 20240104, -1},
    {"one point, before it", {"2024/01/04"}, 20240103, -1},
    {"one point, on it", {"2024/01/04"}, 20240104, 0},
    {"one point, after it", {"2024/01/04"}, 20240105, 0},
    {"before the first", kWeek, 20231231, -1},
    {"the day before the first", kWeek, 20240103, -1},
    {"on the first", kWeek, 20240104, 0},
    {"on a middle bar", kWeek, 20240105, 1},
    {"in a gap: the earlier bar", kWeek, 20240107, 1},
    {"the last day of a gap", kWeek, 20240108, 1},
    {"on the last", kWeek, 20240110, 3},
    {"after the last", kWeek, 20240111, 3},
    {"far after the last", kWeek, 20991231, 3},
    {"a year's gap", {"2022/12/30", "2024/01/04"}, 20230615, 0},
    {"duplicates: the last of them", kTwice, 20240105, 2},
    {"duplicates, then a gap", kTwice, 20240108, 2},
    {"the day before duplicates", kTwice, 20240104, 0},
    {"all points on one day", {"2024/01/05", "2024/01/05", "2024/01/05"}, 20240105, 2},
    {"all points on one day, before it", {"2024/01/05", "2024/01/05"}, 20240104, -1},
    // Weekly and monthly points are dated by the start of their period.
    {"a period label's start", {"2024/01/01～2024/01/05", "2024/01/08～2024/01/12"}, 20240107, 0},
    {"on a period's start", {"2024/01/01～2024/01/05", "2024/01/08～2024/01/12"}, 20240108, 1},
};

TEST(FindBarByDate, EdgesGiveTheSameIndexScannedAndBisected) {
    for (const FindCase& c : kCases) {
        const SeriesRecord record = DatedRecord(c.dates);
        EXPECT_EQ(FindBarByDate(record, c.date), c.index) << c.name;
        EXPECT_EQ(FindBarByDateOrdered(record, c.date), c.index) << c.name;
    }
}

TEST(FindBarByDate, OnlyCountedPointsAreSearched) {
    SeriesRecord record = DatedRecord(kWeek);
    record.Count = 2;  // the points after the count are stale
    EXPECT_EQ(FindBarByDate(record, 20240110), 1);
    EXPECT_EQ(FindBarByDateOrdered(record, 20240110), 1);
    EXPECT_EQ(FindBarByDateOrdered(record.Points, 0, 20240110), -1);
}

TEST(FindBarByDate, OutOfOrderPointsAreLeftToTheScan) {
    // The scan from the newest point stops at the first point on or before the date, wherever
    // the older points lie; that is the answer for a series of unknown order.
    const SeriesRecord record = DatedRecord({"2024/01/09", "2024/01/04", "2024/01/10"});
    EXPECT_EQ(FindBarByDate(record, 20240109), 1);
    EXPECT_EQ(FindBarByDate(record, 20240110), 2);
}

std::string DateOfDay(int day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", 2000 + day / 372, 1 + day / 31 % 12,
                  1 + day % 31);
    return text;
}

int32_t NumOfDay(int day) {
    return (2000 + day / 372) * 10000 + (1 + day / 31 % 12) * 100 + 1 + day % 31;
}

TEST(FindBarByDate, RandomOrderedSeriesAgreeOnEveryDay) {
    std::mt19937 random(20240105);
    for (int series = 0; series < 200; ++series) {
        SeriesRecord record;
        int day = DrawInt(random, 0, 40);
        const int count = DrawInt(random, 0, 60);
        for (int n = 0; n < count; ++n) {
            SeriesPoint point;
            point.DateText = DateOfDay(day);
            record.Points.push_back(point);
            // Now and then a day stored twice; else the next bar up to a few weeks on.
            if (!Chance(random, 100)) day += DrawInt(random, 1, 25);
        }
        record.Count = count;
        for (int probe = 0; probe <= day + 5; ++probe)
            ASSERT_EQ(FindBarByDateOrdered(record, NumOfDay(probe)),
                      FindBarByDate(record, NumOfDay(probe)))
                << "series " << series << " day " << probe;
    }
}

}  // namespace
