#include "platform/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Decimal digits of |value| rounded half away from zero to `decimals` places, as an
// integer-part text and a fraction text of exactly `decimals` digits. The value is finite:
// "inf" and "nan" have no exponent to read.
void RoundedDigits(double value, int decimals, std::string& integerPart, std::string& fraction) {
    char buffer[64];
    // Rounding works on the value's 15-significant-digit decimal form, so 1.005 rounds up
    // as it reads.
    std::snprintf(buffer, sizeof buffer, "%.15e", std::fabs(value));
    // buffer: d.ddddddddddddddde±XX
    std::string mantissa;
    mantissa.push_back(buffer[0]);
    const char* p = buffer + 2;
    while (*p && *p != 'e') mantissa.push_back(*p++);
    const int exponent = std::atoi(p + 1);
    // Round the 16-digit mantissa to 15 significant digits first.
    std::string digits = mantissa.substr(0, 15);
    int pointPos = exponent + 1;  // digits before the decimal point
    auto roundUp = [](std::string& d) {
        int i = static_cast<int>(d.size()) - 1;
        while (i >= 0) {
            if (d[i] == '9') {
                d[i] = '0';
                --i;
            } else {
                ++d[i];
                return false;
            }
        }
        d.insert(d.begin(), '1');
        return true;
    };
    if (mantissa.size() > 15 && mantissa[15] >= '5') {
        if (roundUp(digits)) ++pointPos;
    }
    // Place the digits around the point.
    if (pointPos <= 0) {
        digits.insert(0, static_cast<size_t>(-pointPos) + 1, '0');
        pointPos = 1;
    }
    if (static_cast<int>(digits.size()) < pointPos + decimals + 1)
        digits.append(pointPos + decimals + 1 - digits.size(), '0');
    std::string kept = digits.substr(0, pointPos + decimals);
    if (digits[pointPos + decimals] >= '5') {
        if (roundUp(kept)) ++pointPos;
    }
    integerPart = kept.substr(0, pointPos);
    fraction = kept.substr(pointPos);
    const size_t firstNonZero = integerPart.find_first_not_of('0');
    integerPart = firstNonZero == std::string::npos ? "" : integerPart.substr(firstNonZero);
}

bool IsPlaceholder(char c) {
    return c == '0' || c == '#';
}

}  // namespace

std::string FormatNumber(double value, std::string_view format) {
    // Infinity and NaN have no digits to place.
    if (!std::isfinite(value)) return {};
    const size_t point = format.find('.');
    std::string_view integerFormat = format.substr(0, point);
    std::string_view fractionFormat =
        point == std::string_view::npos ? std::string_view{} : format.substr(point + 1);

    // Thousands grouping: a comma with a placeholder on each side.
    bool grouping = false;
    std::string integerPattern;
    for (size_t i = 0; i < integerFormat.size(); ++i) {
        const char c = integerFormat[i];
        if (c == ',' && i > 0 && i + 1 < integerFormat.size() &&
            IsPlaceholder(integerFormat[i - 1]) && IsPlaceholder(integerFormat[i + 1])) {
            grouping = true;
            continue;
        }
        integerPattern.push_back(c);
    }
    int decimals = 0;
    for (char c : fractionFormat)
        if (IsPlaceholder(c)) ++decimals;

    std::string integerDigits, fractionDigits;
    RoundedDigits(value, decimals, integerDigits, fractionDigits);
    const bool negative = value < 0 && (!integerDigits.empty() ||
                                        fractionDigits.find_first_not_of('0') != std::string::npos);

    // Integer part: fill placeholders from the right; surplus digits go with the leftmost.
    std::string integerText;
    int digitIndex = static_cast<int>(integerDigits.size()) - 1;
    int placeholdersLeft = 0;
    for (char c : integerPattern)
        if (IsPlaceholder(c)) ++placeholdersLeft;
    std::string reversed;
    for (int i = static_cast<int>(integerPattern.size()) - 1; i >= 0; --i) {
        const char c = integerPattern[i];
        if (!IsPlaceholder(c)) {
            reversed.push_back(c);
            continue;
        }
        --placeholdersLeft;
        if (placeholdersLeft == 0) {
            // The leftmost placeholder takes every remaining digit.
            if (digitIndex < 0 && c == '0') reversed.push_back('0');
            while (digitIndex >= 0) reversed.push_back(integerDigits[digitIndex--]);
        } else if (digitIndex >= 0) {
            reversed.push_back(integerDigits[digitIndex--]);
        } else if (c == '0') {
            reversed.push_back('0');
        }
    }
    integerText.assign(reversed.rbegin(), reversed.rend());
    if (grouping) {
        // Group the leading run of digits (literals do not occur in grouped formats).
        std::string grouped;
        const int n = static_cast<int>(integerText.size());
        for (int i = 0; i < n; ++i) {
            grouped.push_back(integerText[i]);
            const int remaining = n - 1 - i;
            if (remaining > 0 && remaining % 3 == 0) grouped.push_back(',');
        }
        integerText = grouped;
    }

    std::string fractionText;
    if (point != std::string_view::npos) {
        // Optional trailing digits ("#") are dropped when zero.
        int lastForced = -1, placeholder = 0;
        for (char c : fractionFormat) {
            if (c == '0') lastForced = placeholder;
            if (IsPlaceholder(c)) ++placeholder;
        }
        int keep = decimals;
        while (keep > lastForced + 1 && keep > 0 && fractionDigits[keep - 1] == '0') --keep;
        placeholder = 0;
        fractionText.push_back('.');
        for (char c : fractionFormat) {
            if (IsPlaceholder(c)) {
                if (placeholder < keep) fractionText.push_back(fractionDigits[placeholder]);
                ++placeholder;
            } else {
                fractionText.push_back(c);
            }
        }
    }
    return (negative ? "-" : "") + integerText + fractionText;
}

std::string WholeNumberText(double whole) {
    return FormatNumber(std::trunc(whole), "0");
}

double RoundDecimalHalfAway(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    std::string integerDigits, fractionDigits;
    RoundedDigits(value, decimals, integerDigits, fractionDigits);
    const std::string text = (integerDigits.empty() ? "0" : integerDigits) + "." + fractionDigits;
    const double magnitude = std::strtod(text.c_str(), nullptr);
    return value < 0 ? -magnitude : magnitude;
}

double ValNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::string number;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) number.push_back(text[i++]);
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            number.push_back(c);
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            number.push_back(c);
        } else if (c != ' ') {
            break;
        }
    }
    return number.empty() ? 0.0 : std::strtod(number.c_str(), nullptr);
}

std::string PlainNumber(double value) {
    if (!std::isfinite(value)) return {};
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    if (text.find('e') == std::string::npos) return text;
    // The fixed form of a large value has up to 309 digits before the point.
    text.assign(static_cast<size_t>(std::snprintf(nullptr, 0, "%.6f", value)) + 1, '\0');
    text.resize(static_cast<size_t>(std::snprintf(text.data(), text.size(), "%.6f", value)));
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}
