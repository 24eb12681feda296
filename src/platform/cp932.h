#pragma once
// Code page 932, the encoding of every file the program shares with the user.
// Inside the program text is UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

// UTF-8 to CP932; a character CP932 cannot hold becomes "?", as the original platform did.
std::string ToCp932(std::string_view utf8);
// CP932 to UTF-8; a byte sequence that is not CP932 becomes "?".
std::string FromCp932(std::string_view cp932);
// Strict decode: false when any byte sequence is not CP932.
bool DecodeCp932Strict(std::string_view cp932, std::string& utf8);

// Bytes that one Unicode code point takes in CP932: 1 or 2, and 1 for one that
// CP932 cannot hold (it is written as "?"). Table-driven, no conversion per call.
int Cp932Width(char32_t codePoint);

// Splits UTF-8 into code points; invalid bytes come out as U+FFFD.
std::u32string Utf8ToCodePoints(std::string_view utf8);
std::string CodePointsToUtf8(std::u32string_view codePoints);
void AppendUtf8(std::string& out, char32_t codePoint);
// Decodes the code point at pos and advances pos past it.
char32_t NextCodePoint(std::string_view utf8, size_t& pos);
