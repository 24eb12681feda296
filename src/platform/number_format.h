#pragma once
// The number formatting and integer conversion the program's texts and files rely on.
#include <cstdint>
#include <string>
#include <string_view>

// A numeric format: "0" forces a digit, "#" an optional one, "," between integer
// placeholders groups thousands, "." starts the decimals; any other character is copied.
// Rounds halves away from zero on the decimal form of the value (1.005 → "1.01").
// A format with a decimal point always writes it: FormatNumber(5, "#0.##") is "5.", as the
// files and grids written before expect.
std::string FormatNumber(double value, std::string_view format);

// The value rounded to `decimals` places, halves away from zero on its decimal form.
double RoundDecimalHalfAway(double value, int decimals);

// The integer conversion of a fractional value: the nearest integer, halves to even.
int64_t RoundHalfEven(double value);

// Reads the number at the start of a text: leading blanks, sign, digits, one point;
// stops at the first other character; "" gives 0.
double ValNumber(std::string_view text);

// Writes a double with up to 15 significant digits, no exponent for ordinary values,
// no trailing zeros ("12.5", "1000", "0.001").
std::string PlainNumber(double value);
