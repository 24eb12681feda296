#include "analysis/dates.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <string>

namespace {

int32_t DigitsToNum(std::string_view digits) {
    if (digits.empty() || digits.size() > 9) throw std::invalid_argument(kErrTypeMismatch);
    int32_t number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') throw std::invalid_argument(kErrTypeMismatch);
        number = number * 10 + (c - '0');
    }
    return number;
}

std::string_view Piece(std::string_view text, size_t from, size_t count) {
    return from < text.size() ? text.substr(from, count) : std::string_view{};
}

}  // namespace

int32_t DateToNum(std::string_view dateText) {
    std::string digits;
    digits += Piece(dateText, 0, 4);
    digits += Piece(dateText, 5, 2);
    digits += Piece(dateText, 8, 2);
    return DigitsToNum(digits);
}

int32_t DateDigitsToNum(std::string_view dateText) {
    std::string digits;
    for (char c : dateText)
        if (c != '/') digits.push_back(c);
    return DigitsToNum(digits);
}

int32_t FindBarByDate(const std::vector<SeriesPoint>& points, int32_t count, int32_t date) {
    for (int32_t i = count - 1; i >= 0; --i)
        if (DateToNum(points[i].DateText) <= date) return i;
    return -1;
}

int32_t FindBarByDate(const SeriesRecord& record, int32_t date) {
    return FindBarByDate(record.Points, record.Count, date);
}

int32_t FindBarByDateOrdered(const std::vector<SeriesPoint>& points, int32_t count, int32_t date) {
    // The last point on or before the date sits just before the first one after it; among
    // equal dates that is the last of them, as the scan from the end finds.
    if (count <= 0) return -1;
    const auto first = points.begin();
    const auto after = std::partition_point(first, first + count, [date](const SeriesPoint& p) {
        return DateToNum(p.DateText) <= date;
    });
    return static_cast<int32_t>(after - first) - 1;
}

int32_t FindBarByDateOrdered(const SeriesRecord& record, int32_t date) {
    return FindBarByDateOrdered(record.Points, record.Count, date);
}

std::string TodayText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    return text;
}
