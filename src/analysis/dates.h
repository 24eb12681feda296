#pragma once
// Dates inside series are "yyyy/mm/dd" texts; every comparison takes them as the number
// yyyymmdd. These helpers tie the two forms and a stored date to a bar of a series.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/series.h"
#include "foundation/error_texts.h"

// "yyyy/mm/dd" as yyyymmdd, from characters 1-4, 6-7 and 9-10. A text whose pieces are not
// digits throws std::invalid_argument with kErrTypeMismatch; the caller traps it.
int32_t DateToNum(std::string_view dateText);

// The digits of a date text with every "/" removed, as a number ("2024/01/05" → 20240105).
// Throws as DateToNum for anything but digits.
int32_t DateDigitsToNum(std::string_view dateText);

// Scanning from the last point toward the first, the index of the first point dated on or
// before the yyyymmdd date; -1 when there is none.
int32_t FindBarByDate(const std::vector<SeriesPoint>& points, int32_t count, int32_t date);
int32_t FindBarByDate(const SeriesRecord& record, int32_t date);

// The same index by bisection, for points whose dates never decrease (bars read from the
// price tables, which come in date order, and the periods built from them). Where the
// order is not guaranteed, FindBarByDate's scan is the answer.
int32_t FindBarByDateOrdered(const std::vector<SeriesPoint>& points, int32_t count, int32_t date);
int32_t FindBarByDateOrdered(const SeriesRecord& record, int32_t date);

// The local date as yyyy/mm/dd.
std::string TodayText();
