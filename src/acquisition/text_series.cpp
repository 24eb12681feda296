#include "acquisition/text_series.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <stdexcept>

#include "foundation/text_utils.h"
#include "platform/cp932.h"
#include "platform/file_ends.h"
#include "platform/number_format.h"

namespace {

constexpr std::array<std::string_view, 3> kTickFileWords{"指標", "商品", "為替"};
constexpr size_t kLineFields = 7;

// Positions of the non-empty fields of a line.
enum Field { kCode, kDate, kOpen, kHigh, kLow, kClose, kVolume };

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int ToInt(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// Year, month and day separated by one of "/-.", each part of digits.
bool SplitDateParts(std::string_view text, int& year, int& month, int& day) {
    const size_t firstSep = text.find_first_of("/-.");
    if (firstSep != 4) return false;
    const char sep = text[firstSep];
    const size_t secondSep = text.find(sep, firstSep + 1);
    if (secondSep == std::string_view::npos) return false;
    const std::string_view y = text.substr(0, firstSep);
    const std::string_view m = text.substr(firstSep + 1, secondSep - firstSep - 1);
    const std::string_view d = text.substr(secondSep + 1);
    if (!AllDigits(y) || !AllDigits(m) || !AllDigits(d) || m.size() > 2 || d.size() > 2)
        return false;
    year = ToInt(y);
    month = ToInt(m);
    day = ToInt(d);
    return true;
}

// Two decimals as the one formatting helper writes them, read back as a number.
double TwoDecimals(double value) {
    return std::strtod(FormatNumber(value, "0.00").c_str(), nullptr);
}

}  // namespace

bool HasTickLine(std::string_view fileName) {
    return std::any_of(
        kTickFileWords.begin(), kTickFileWords.end(),
        [fileName](std::string_view w) { return fileName.find(w) != std::string_view::npos; });
}

bool PrepareTextLines(int32_t lineCount, bool tickLine, int32_t& count, int32_t& first) {
    const int32_t skipped = tickLine ? 1 : 0;
    if (lineCount - skipped < 1) return false;
    count = std::min(lineCount - skipped, kTextLineWindow);
    first = lineCount - count;
    return true;
}

std::vector<std::string> SplitTextLine(std::string_view line) {
    std::string narrow = ToNarrow(line);
    std::replace_if(
        narrow.begin(), narrow.end(), [](char c) { return c == ' ' || c == '\t'; }, ',');
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t comma; (comma = narrow.find(',', start)) != std::string::npos; start = comma + 1)
        fields.push_back(narrow.substr(start, comma - start));
    fields.push_back(narrow.substr(start));
    return fields;
}

bool ParseTextDate(std::string_view text, std::string& slashDate) {
    int year = 0, month = 0, day = 0;
    if (text.size() == 8 && AllDigits(text)) {
        year = ToInt(text.substr(0, 4));
        month = ToInt(text.substr(4, 2));
        day = ToInt(text.substr(6, 2));
    } else if (!SplitDateParts(text, year, month, day)) {
        return false;
    }
    const std::chrono::year_month_day date{std::chrono::year{year},
                                           std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok()) return false;
    slashDate = FormatSlashDate(date);
    return true;
}

bool ReadTextLine(std::string_view line, SeriesPoint& point) {
    std::vector<std::string> fields;
    for (std::string& field : SplitTextLine(line)) {
        if (!field.empty()) fields.push_back(std::move(field));
    }
    if (fields.size() < kLineFields) return false;
    std::string date;
    if (!ParseTextDate(fields[kDate], date)) return false;
    for (size_t i = kOpen; i <= kVolume; ++i) {
        if (!IsNumericText(fields[i])) return false;
    }
    StoreTextPoint(fields, date, point);
    return true;
}

void StoreTextPoint(const std::vector<std::string>& fields, const std::string& slashDate,
                    SeriesPoint& point) {
    point = SeriesPoint{};
    point.DateText = slashDate;
    point.Open = TwoDecimals(NumericValue(fields[kOpen]));
    point.High = TwoDecimals(NumericValue(fields[kHigh]));
    point.Low = TwoDecimals(NumericValue(fields[kLow]));
    point.Close = TwoDecimals(NumericValue(fields[kClose]));
    point.Volume = NumericValue(fields[kVolume]);
}

TextSeries ReadTextSeries(const std::string& path, std::string_view fileName) {
    TextSeries series;
    // One line more than the window tells whether the price-step line is among the last.
    FileEnds ends;
    std::string error;
    if (!ReadFileEnds(path, kTextLineWindow + 1, kTextLineBytes, ends, error))
        throw std::runtime_error(error);
    const bool tickLine = HasTickLine(fileName);
    const auto lineCount = static_cast<int32_t>(ends.Last.size()) + (ends.Whole ? 0 : 1);
    int32_t count = 0;
    int32_t first = 0;
    if (!PrepareTextLines(lineCount, tickLine, count, first)) return series;
    if (tickLine && !ends.First.Cut) {
        const std::string step = FromCp932(ends.First.Bytes);
        if (IsNumericText(step)) series.tick = NumericValue(step);
    }
    series.points.reserve(count);
    for (size_t i = ends.Last.size() - count; i < ends.Last.size(); ++i) {
        SeriesPoint point;
        // No bar is that long: the line is not looked at.
        if (!ends.Last[i].Cut && ReadTextLine(FromCp932(ends.Last[i].Bytes), point)) {
            series.points.push_back(std::move(point));
        } else {
            ++series.invalidLines;
        }
    }
    series.ok = true;
    return series;
}
