#pragma once
// The run-time error descriptions the program's routines show when they trap a failure,
// the strict conversions that raise them, and the line splitting of text files.
#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr const char* kVbSubscriptOutOfRange = "インデックスが有効範囲にありません。";
inline constexpr const char* kVbTypeMismatch = "型が一致しません。";
inline constexpr const char* kVbOverflow = "オーバーフローしました。";
inline constexpr const char* kVbFileNotFound = "ファイルが見つかりません。";
inline constexpr const char* kVbInvalidNull = "Null の使い方が不正です。";
inline constexpr const char* kVbInputPastEnd = "ファイルの終わりを超えて入力しようとしました。";

// A number written in the plain decimal form, surrounding blanks allowed; anything else
// throws kVbTypeMismatch.
double StrictNumber(std::string_view text);
// The same, rounded to a 32-bit integer with halves to the even one; out of range throws
// kVbOverflow.
int32_t StrictLong(std::string_view text);

// Lines of a file: CR LF ends a line, and so does a lone CR or LF from another editor.
// A last line without its line end still counts.
std::vector<std::string_view> TextLines(std::string_view text);
