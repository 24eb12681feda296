#pragma once
// The daily series of a text file: one bar per line, fields "code date open high low close
// volume" separated by commas, blanks or TABs (full-width forms allowed, repeated
// separators counted once). Files whose name contains "指標", "商品" or "為替" hold the
// price step on their first line. At most kTextLineWindow lines are read as bars: the
// last ones of the file, in file order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/series.h"

inline constexpr int32_t kTextLineWindow = 1500;
// A line longer than this is no bar; only this much of it is read.
inline constexpr size_t kTextLineBytes = 4096;

// True for the file names whose first line holds the price step.
bool HasTickLine(std::string_view fileName);
// The lines to read as bars out of lineCount: how many and the index of the first. False
// when no line can be a bar.
bool PrepareTextLines(int32_t lineCount, bool tickLine, int32_t& count, int32_t& first);
// The line made half-width and split at commas, blanks and TABs (empty fields kept).
std::vector<std::string> SplitTextLine(std::string_view line);
// A date with a four-digit year: "yyyy/m/d", "yyyy-m-d", "yyyy.m.d" or "yyyymmdd" of a
// real day, given back as "yyyy/mm/dd".
bool ParseTextDate(std::string_view text, std::string& slashDate);
// One line as a bar; false for an invalid line.
bool ReadTextLine(std::string_view line, SeriesPoint& point);
// The bar of a line's seven checked non-empty fields: prices to two decimals, the volume
// as read, the date as given.
void StoreTextPoint(const std::vector<std::string>& fields, const std::string& slashDate,
                    SeriesPoint& point);

struct TextSeries {
    std::vector<SeriesPoint> points;
    int32_t invalidLines = 0;
    double tick = 0;  // the price step of the first line, 0 when it holds no number
    bool ok = false;  // false when the file has no line that can be a bar
};

// The series of the file at path (code page 932) with this file name, read from the two
// ends of the file in bounded memory. Throws the description of a read failure (a file
// that is not a regular one included).
TextSeries ReadTextSeries(const std::string& path, std::string_view fileName);
