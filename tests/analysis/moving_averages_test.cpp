// ctest-labels: series
// Moving averages of the close over valid days and the close's deviation from them.
#include "analysis/moving_averages.h"

#include <gtest/gtest.h>

#include <random>

#include "analysis/series_points.h"
#include "support/random_draws.h"

namespace {

SeriesRecord Closes(const std::vector<std::pair<double, double>>& closeAndVolume) {
    SeriesRecord record;
    for (auto [close, volume] : closeAndVolume) {
        SeriesPoint point;
        point.DateText = "2024/01/01";
        point.Close = close;
        point.Volume = volume;
        record.Points.push_back(point);
    }
    record.Count = static_cast<int32_t>(closeAndVolume.size());
    record.Points.emplace_back();
    return record;
}

}  // namespace

TEST(MovingAverages, Windows) {
    const SeriesRecord six = Closes({{10, 1}, {20, 1}, {30, 0}, {40, 1}, {0, 5}, {60, 1}});
    struct Case {
        const char* name;
        const SeriesRecord& record;
        int32_t period;
        std::vector<double> averages;
    } cases[] = {
        {"period 0", six, 0, {-1, -1, -1, -1, -1, -1}},
        {"period 2", six, 2, {-1, 15, 20, 40, 40, 60}},
        {"zero-volume and zero-close days are left out", six, 5, {-1, -1, -1, -1, 70.0 / 3, 40}},
        {"whole series", six, -1, {-1, -1, -1, -1, -1, 130.0 / 4}},
        {"longer than the series", six, 25, {-1, -1, -1, -1, -1, -1}},
        {"no valid day in the window", Closes({{10, 0}, {20, 0}}), 2, {-1, -1}},
        {"empty", Closes({}), 5, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> got =
            MovingAverageOfCloses(c.record.Points, c.record.Count, c.period);
        ASSERT_EQ(got.size(), c.averages.size());
        for (size_t i = 0; i < got.size(); ++i) EXPECT_DOUBLE_EQ(got[i], c.averages[i]) << i;
    }
}

TEST(MovingAverages, FillsTheRecordWithDeviations) {
    SeriesRecord record = Closes({{100, 1}, {100, 1}, {130, 1}, {99, 0}});
    record.MaPeriods = {2, 0, 0};
    ASSERT_TRUE(CalcMovingAverages(record));
    ASSERT_TRUE(CalcMaDeviation(record));
    EXPECT_DOUBLE_EQ(record.Points[2].Ma1, 115);
    EXPECT_DOUBLE_EQ(record.Points[2].Ma1Deviation, 13.04);  // 15 / 115 = 13.043...%
    EXPECT_DOUBLE_EQ(record.Points[0].Ma1, -1);
    EXPECT_DOUBLE_EQ(record.Points[0].Ma1Deviation, 0);
    EXPECT_DOUBLE_EQ(record.Points[3].Ma1, 130);
    EXPECT_DOUBLE_EQ(record.Points[3].Ma1Deviation, 0);  // a day without volume has none
    for (int32_t i = 0; i < record.Count; ++i) {
        EXPECT_DOUBLE_EQ(record.Points[i].Ma2, -1);
        EXPECT_DOUBLE_EQ(record.Points[i].Ma2Deviation, 0);
    }
}

TEST(MovingAverages, DeviationAtTwoDecimals) {
    const std::tuple<double, double, double> cases[] = {
        {110, 100, 10}, {99, 100, -1}, {100, 300, -66.67}, {100, 0, 0}, {100, -1, 0}, {0, 100, 0}};
    for (auto [close, average, deviation] : cases) {
        SeriesPoint point;
        point.Close = close;
        point.Volume = 1;
        EXPECT_DOUBLE_EQ(MaDeviation(point, average), deviation) << close << " " << average;
    }
}

// Each window added up on its own, the way the averages are defined.
static std::vector<double> WindowSums(const SeriesRecord& record, int32_t period) {
    std::vector<double> averages(static_cast<size_t>(record.Count), -1.0);
    for (int32_t j = period - 1; j < record.Count; ++j) {
        double sum = 0;
        int32_t valid = 0;
        for (int32_t i = j - period + 1; i <= j; ++i) {
            const SeriesPoint& point = record.Points[i];
            if (point.Close > 0 && point.Volume > 0) sum += point.Close, ++valid;
        }
        if (valid > 0) averages[j] = sum / valid;
    }
    return averages;
}

// Whole closes, fractional ones (a split-adjusted series) and very large ones, with days
// left out: every average is the window's own sum to the last bit.
TEST(MovingAverages, EveryWindowAsItsOwnSum) {
    std::mt19937 random(25);
    const struct {
        const char* name;
        double scale;  // the closes are whole numbers times this
    } kinds[] = {{"whole", 1}, {"tenths", 0.1}, {"thirds", 1.0 / 3}, {"huge", 1e15}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.name);
        std::vector<std::pair<double, double>> days;
        for (int i = 0; i < 600; ++i)
            days.emplace_back(DrawInt(random, 0, 30000) * kind.scale, Chance(random, 100) ? 0 : 1);
        const SeriesRecord record = Closes(days);
        for (int32_t period : {1, 5, 25, 75}) {
            const std::vector<double> got =
                MovingAverageOfCloses(record.Points, record.Count, period);
            EXPECT_EQ(got, WindowSums(record, period)) << "period " << period;
        }
    }
}
