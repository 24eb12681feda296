#pragma once
// Watch numbers (注目): a number from 1 to 100 the user gives an issue to follow it. These
// routines check and step the text of a watch-number box; the watch-number dialog and the
// issue attribute window share them. They take the box's text and give the new text back.
#include <string>
#include <string_view>

inline constexpr int kChuumokuMin = 1;
inline constexpr int kChuumokuMax = 100;

// True when the text is numeric and, as a 16-bit integer (nearest, halves to even), lies
// from 1 to 100. A number a 16-bit integer cannot hold is invalid, not wrapped.
bool ValidateChuumokuNumber(std::string_view text);
// The number of a valid text as whole-number text ("05" and "5.4" give "5"); "" for an
// invalid one.
std::string ChuumokuNumberText(std::string_view text);
// The spinner's steps: one up or down inside 1 … 100; a valid text at its bound stays as
// it is; an invalid text becomes "1".
std::string IncChuumokuNumber(std::string_view text);
std::string DecChuumokuNumber(std::string_view text);
