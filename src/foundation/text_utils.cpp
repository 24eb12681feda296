#include "foundation/text_utils.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <unordered_map>

#include "foundation/state.h"
#include "platform/cp932.h"
#include "platform/message_box.h"

int16_t GetIssueKind(std::string_view issueId) {
    if (TextData().TextDataMode == -1) {
        const std::string& title = TextData().TextDataTitle;
        for (const char* word : {"指標", "商品", "為替"})
            if (title.find(word) != std::string::npos) return 5;
        return 4;
    }
    if (issueId.size() < 3) return 4;
    const std::string_view market = issueId.substr(issueId.size() - 3);
    if (market == "100") {
        if (issueId == "0101100") return 1;
        if (issueId == "0301100") return 7;
        if (issueId == "0315100") return 3;
        return 2;
    }
    if (market == "040") return 6;
    return 4;
}

int32_t LenSjis(std::string_view text) {
    int32_t total = 0;
    for (size_t pos = 0; pos < text.size();) total += Cp932Width(NextCodePoint(text, pos));
    return total;
}

std::string LeftSjis(std::string_view text, int limit) {
    int total = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t next = pos;
        const int width = Cp932Width(NextCodePoint(text, next));
        if (total + width > limit) break;
        total += width;
        pos = next;
    }
    return std::string(text.substr(0, pos));
}

namespace {

// Half-width katakana U+FF61..U+FF9F and their full-width forms.
constexpr std::array<char32_t, 63> kWideKana = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};
constexpr char32_t kHalfVoiced = 0xFF9E;
constexpr char32_t kHalfSemiVoiced = 0xFF9F;

bool TakesVoicedMark(char32_t wide) {
    return (wide >= 0x30AB && wide <= 0x30C8 && wide != 0x30C3) ||
           (wide >= 0x30CF && wide <= 0x30DB && (wide - 0x30CF) % 3 == 0) || wide == 0x30A6;
}
bool TakesSemiVoicedMark(char32_t wide) {
    return wide >= 0x30CF && wide <= 0x30DB && (wide - 0x30CF) % 3 == 0;
}
char32_t Voiced(char32_t wide) {
    return wide == 0x30A6 ? 0x30F4 : wide + 1;
}

const std::unordered_map<char32_t, std::u32string>& NarrowTable() {
    static const auto table = [] {
        std::unordered_map<char32_t, std::u32string> t;
        for (char32_t i = 0; i < kWideKana.size(); ++i) {
            const char32_t wide = kWideKana[i];
            const char32_t half = 0xFF61 + i;
            t[wide] = std::u32string(1, half);
            if (TakesVoicedMark(wide)) t[Voiced(wide)] = {half, kHalfVoiced};
            if (TakesSemiVoicedMark(wide)) t[wide + 2] = {half, kHalfSemiVoiced};
        }
        return t;
    }();
    return table;
}

}  // namespace

std::string ToWide(std::string_view text) {
    const std::u32string in = Utf8ToCodePoints(text);
    std::u32string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const char32_t c = in[i];
        if (c == 0x20) {
            out.push_back(0x3000);
        } else if (c >= 0x21 && c <= 0x7E) {
            out.push_back(c - 0x21 + 0xFF01);
        } else if (c >= 0xFF61 && c <= 0xFF9F) {
            const char32_t wide = kWideKana[c - 0xFF61];
            const char32_t next = i + 1 < in.size() ? in[i + 1] : 0;
            if (next == kHalfVoiced && TakesVoicedMark(wide)) {
                out.push_back(Voiced(wide));
                ++i;
            } else if (next == kHalfSemiVoiced && TakesSemiVoicedMark(wide)) {
                out.push_back(wide + 2);
                ++i;
            } else {
                out.push_back(wide);
            }
        } else {
            out.push_back(c);
        }
    }
    return CodePointsToUtf8(out);
}

std::string ToNarrow(std::string_view text) {
    const auto& table = NarrowTable();
    std::u32string out;
    for (const char32_t c : Utf8ToCodePoints(text)) {
        if (c == 0x3000) {
            out.push_back(0x20);
        } else if (c >= 0xFF01 && c <= 0xFF5E) {
            out.push_back(c - 0xFF01 + 0x21);
        } else if (const auto it = table.find(c); it != table.end()) {
            out += it->second;
        } else {
            out.push_back(c);
        }
    }
    return CodePointsToUtf8(out);
}

std::string SlashDate(std::string_view text) {
    const std::u32string chars = Utf8ToCodePoints(text);
    auto part = [&](size_t from, size_t count) {
        if (from >= chars.size()) return std::string();
        return CodePointsToUtf8(std::u32string_view(chars).substr(from, count));
    };
    return part(0, 4) + "/" + part(4, 2) + "/" + part(6, 2);
}

std::string FormatSlashDate(std::chrono::year_month_day date) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d%02u%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return SlashDate(buffer);
}

std::string FormatDateNumber(int32_t number) {
    const bool negative = number < 0;
    // The magnitude in 64 bits: the lowest 32-bit number has no 32-bit negation.
    const long long magnitude = std::llabs(static_cast<long long>(number));
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%08lld", magnitude);
    std::string digits = buffer;
    std::string text = digits.substr(0, digits.size() - 4) + "/" +
                       digits.substr(digits.size() - 4, 2) + "/" + digits.substr(digits.size() - 2);
    return negative ? "-" + text : text;
}

bool IsValidSlashDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '/' || text[7] != '/') return false;
    for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u})
        if (text[i] < '0' || text[i] > '9') return false;
    auto number = [&](size_t from, size_t count) {
        int n = 0;
        for (size_t i = from; i < from + count; ++i) n = n * 10 + (text[i] - '0');
        return n;
    };
    const std::chrono::year_month_day day{std::chrono::year(number(0, 4)),
                                          std::chrono::month(static_cast<unsigned>(number(5, 2))),
                                          std::chrono::day(static_cast<unsigned>(number(8, 2)))};
    return number(0, 4) >= 100 && day.ok();
}

bool CheckDateText(std::string_view text, std::string& date) {
    if (text.empty()) return true;
    std::string candidate;
    if (text.size() == 8 && text.find_first_not_of("0123456789") == std::string_view::npos)
        candidate = SlashDate(text);
    else
        candidate = std::string(text);
    if (!IsValidSlashDate(candidate)) return false;
    date = candidate;
    return true;
}

namespace {

std::string FindFieldValueIn(Recordset& recordset, int resultIndex, int keyIndex,
                             std::string_view key, int highestKeyIndex) {
    try {
        if (recordset.Eof() || keyIndex < 0 || keyIndex > highestKeyIndex) return "";
        // Compared on the fetched rows, so any character of the key is safe.
        for (recordset.MoveFirst(); !recordset.Eof(); recordset.MoveNext()) {
            if (FieldText(recordset.Field(keyIndex)) == key)
                return FieldText(recordset.Field(resultIndex));
        }
        return "";
    } catch (const std::exception& e) {
        MsgWarn(e.what());
        return "";
    }
}

}  // namespace

std::string FindFieldValue(Recordset& recordset, int resultIndex, int keyIndex,
                           std::string_view key) {
    return FindFieldValueIn(recordset, resultIndex, keyIndex, key, 3);
}

std::string FindFieldValue2(Recordset& recordset, int resultIndex, int keyIndex,
                            std::string_view key) {
    return FindFieldValueIn(recordset, resultIndex, keyIndex, key, 1);
}

bool IsTrueValue(const FieldValue& test) {
    if (IsNull(test)) return false;
    if (const auto* text = std::get_if<std::string>(&test)) {
        if (*text == "True" || *text == "true") return true;
        if (*text == "False" || *text == "false" || text->empty()) return false;
    }
    return FieldNumber(test) != 0.0;
}

FieldValue ReplaceNull(int kind, const FieldValue& value) {
    if (!IsNull(value)) return value;
    if (kind == 1) return std::string();
    if (kind == 2) return int64_t{0};
    return std::monostate{};
}

std::string JoinWithSpaces(std::string_view a, std::string_view b, std::string_view c) {
    std::string out(a);
    out += "  ";
    out += b;
    out += "  ";
    out += c;
    return out;
}

void FilterDigitKey(int& keyCode) {
    if ((keyCode >= '0' && keyCode <= '9') || keyCode == 8) return;
    keyCode = 0;
}

std::string TrimSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return "";
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// Blanks around a typed number: spaces and TABs.
static std::string_view TrimSpacesAndTabs(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool IsNumericText(std::string_view text) {
    text = TrimSpacesAndTabs(text);
    size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    bool digits = false;
    while (at < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[at])) || (text[at] == ',' && digits))) {
        if (text[at] != ',') digits = true;
        ++at;
    }
    if (at < text.size() && text[at] == '.') {
        ++at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            digits = true;
            ++at;
        }
    }
    // 310 digits read as infinity: no box can hold that as a number.
    return digits && at == text.size() && std::isfinite(NumericValue(text));
}

double NumericValue(std::string_view text) {
    std::string plain;
    for (char c : TrimSpacesAndTabs(text))
        if (c != ',') plain.push_back(c);
    return std::strtod(plain.c_str(), nullptr);
}

std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string_view> SplitAt(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

int32_t CharacterCount(std::string_view text) {
    int32_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

std::string FirstCharacters(std::string_view text, int32_t count) {
    size_t end = 0;
    for (int32_t seen = 0; end < text.size(); ++end) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) continue;
        if (seen++ == count) break;
    }
    return std::string(text.substr(0, end));
}
