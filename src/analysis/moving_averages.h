#pragma once
// The two simple moving averages of the close on a candlestick series and the close's
// deviation from each. A day counts only when its close and its volume are positive.
#include <cstdint>
#include <vector>

#include "analysis/series.h"

// The average of period p at every point of a series: -1 before a full window, for
// period 0, and for a window without a valid day; a negative period spans the whole series.
// The divisor is the number of valid days in the window, not p.
std::vector<double> MovingAverageOfCloses(const std::vector<SeriesPoint>& points, int32_t count,
                                          int32_t period);
// (close - average) / average * 100 at two decimals; 0 when the average, the close or the
// volume is not positive.
double MaDeviation(const SeriesPoint& point, double average);

// Ma1 and Ma2 of every point from MaPeriods(0) and MaPeriods(1).
bool CalcMovingAverages(SeriesRecord& record);
// Ma1Deviation and Ma2Deviation of every point; run after CalcMovingAverages.
bool CalcMaDeviation(SeriesRecord& record);
// The same of the newest point only, where only it is recorded; nothing without points.
void CalcNewestMaDeviation(SeriesRecord& record);
