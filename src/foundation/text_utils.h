#pragma once
// Text, date and issue-kind utilities shared by every subsystem. Texts are UTF-8;
// byte counts are counted on their code page 932 form.
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/recordset.h"

// The instrument kind of an issue ID (1 to 7); decides scaling, tick sizes and widths.
int16_t GetIssueKind(std::string_view issueId);

int32_t LenSjis(std::string_view text);
// The longest leading part whose CP932 length is at most limit; never splits a character.
std::string LeftSjis(std::string_view text, int limit);

// Half-width to full-width ("ｶﾞ" → "ガ", "A" → "Ａ") and back.
std::string ToWide(std::string_view text);
std::string ToNarrow(std::string_view text);

// Characters 1-4, "/", 5-6, "/", 7-8: "20240105" → "2024/01/05".
std::string SlashDate(std::string_view text);
std::string FormatSlashDate(std::chrono::year_month_day date);
// The number yyyymmdd as "0000/00/00"; a negative number keeps its sign in front.
std::string FormatDateNumber(int32_t number);
// Accepts "", eight digits of a real date and "yyyy/mm/dd" of a real date; the out value
// becomes the date as yyyy/mm/dd (untouched for ""). Every other text is refused.
bool CheckDateText(std::string_view text, std::string& date);
// True when the text "yyyy/mm/dd" names a real day.
bool IsValidSlashDate(std::string_view text);

// Value of field resultIndex in the first record whose field keyIndex equals key;
// the recordset stays on that record, or at its end when none matched.
std::string FindFieldValue(Recordset& recordset, int resultIndex, int keyIndex,
                           std::string_view key);
// As FindFieldValue with the key field limited to 0 or 1.
std::string FindFieldValue2(Recordset& recordset, int resultIndex, int keyIndex,
                            std::string_view key);

// The truth of a stored value: Null, 0, "" and "False" are false.
bool IsTrueValue(const FieldValue& test);
template <typename T>
T IIfNull(const FieldValue& test, const T& a, const T& b) {
    return IsTrueValue(test) ? a : b;
}

// Null becomes "" (kind 1), 0 (kind 2) or the empty value (any other kind).
FieldValue ReplaceNull(int kind, const FieldValue& value);
std::string JoinWithSpaces(std::string_view a, std::string_view b, std::string_view c);
// Drops every key but "0"-"9" and Backspace by setting it to 0.
void FilterDigitKey(int& keyCode);
template <typename T>
void DoNothing(const T&) {}

// The text without the spaces around it (TABs and other blanks stay).
std::string TrimSpaces(std::string_view text);
// Characters of a UTF-8 text, whatever their width: its bytes that are not continuation bytes.
int32_t CharacterCount(std::string_view text);
// The first count characters of a UTF-8 text.
std::string FirstCharacters(std::string_view text, int32_t count);
// The numeric test of a box's text: an optional sign, digits with grouping commas, an
// optional decimal point and digits, blanks around, and a finite value.
bool IsNumericText(std::string_view text);
// The value of a text that passes IsNumericText.
double NumericValue(std::string_view text);

// Lines of a file: CR LF ends a line, and so does a lone CR or LF from another editor.
// A last line without its line end still counts.
std::vector<std::string_view> TextLines(std::string_view text);
// The text split at every occurrence of separator (not empty); the part after the last one
// is included, empty or not.
std::vector<std::string_view> SplitAt(std::string_view text, std::string_view separator);
