#include "analysis/moving_averages.h"

#include <cmath>

#include "foundation/trap.h"
#include "platform/number_format.h"

namespace {

bool IsValidDay(const SeriesPoint& point) {
    return point.Close > 0 && point.Volume > 0;
}

void SetMaDeviation(SeriesPoint& point) {
    point.Ma1Deviation = MaDeviation(point, point.Ma1);
    point.Ma2Deviation = MaDeviation(point, point.Ma2);
}

// Below 2^53 every sum of whole numbers is exact, whatever the order of the additions.
constexpr double kExactWholeSums = 9007199254740992.0;

// The closes of the valid days are whole and their total is exact: then a running sum over
// the window is the very sum that adding up each window gives.
bool ClosesAddExactly(const std::vector<SeriesPoint>& points, int32_t count) {
    double total = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (!IsValidDay(points[i])) continue;
        if (points[i].Close != std::floor(points[i].Close)) return false;
        total += points[i].Close;
    }
    return total < kExactWholeSums;
}

// The window moved one day at a time: the day entering added, the day leaving taken off.
void RunningAverages(const std::vector<SeriesPoint>& points, int32_t count, int32_t period,
                     std::vector<double>& averages) {
    double sum = 0;
    int32_t valid = 0;
    for (int32_t j = 0; j < count; ++j) {
        if (IsValidDay(points[j])) {
            sum += points[j].Close;
            ++valid;
        }
        if (j >= period && IsValidDay(points[j - period])) {
            sum -= points[j - period].Close;
            --valid;
        }
        if (j >= period - 1 && valid > 0) averages[j] = sum / valid;
    }
}

}  // namespace

std::vector<double> MovingAverageOfCloses(const std::vector<SeriesPoint>& points, int32_t count,
                                          int32_t period) {
    std::vector<double> averages(static_cast<size_t>(count), -1.0);
    if (period < 0) period = count;
    if (period == 0) return averages;
    if (ClosesAddExactly(points, count)) {
        RunningAverages(points, count, period, averages);
        return averages;
    }
    for (int32_t j = period - 1; j < count; ++j) {
        double sum = 0;
        int32_t valid = 0;
        for (int32_t i = j - period + 1; i <= j; ++i) {
            if (!IsValidDay(points[i])) continue;
            sum += points[i].Close;
            ++valid;
        }
        if (valid > 0) averages[j] = sum / valid;
    }
    return averages;
}

double MaDeviation(const SeriesPoint& point, double average) {
    if (!(average > 0) || !IsValidDay(point)) return 0;
    // Two places, as the deviation has always been shown and stored; a value that rounds to
    // nothing is a plain zero, never -0, and one too large for a double is none.
    const double deviation = RoundDecimalHalfAway((point.Close - average) / average * 100, 2);
    return std::isfinite(deviation) && deviation != 0 ? deviation : 0;
}

bool CalcMovingAverages(SeriesRecord& record) {
    return RunTrapped([&] {
        const std::vector<double> first =
            MovingAverageOfCloses(record.Points, record.Count, record.MaPeriods[0]);
        const std::vector<double> second =
            MovingAverageOfCloses(record.Points, record.Count, record.MaPeriods[1]);
        for (int32_t j = 0; j < record.Count; ++j) {
            record.Points[j].Ma1 = first[j];
            record.Points[j].Ma2 = second[j];
        }
    });
}

bool CalcMaDeviation(SeriesRecord& record) {
    return RunTrapped([&] {
        for (int32_t j = 0; j < record.Count; ++j) SetMaDeviation(record.Points[j]);
    });
}

void CalcNewestMaDeviation(SeriesRecord& record) {
    if (record.Count > 0) SetMaDeviation(record.Points[record.Count - 1]);
}
