#pragma once
// The number formatting and integer conversion the program's texts and files rely on.
#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

// The description of a conversion whose result does not fit its integer.
inline constexpr const char* kNumberOverflowText = "オーバーフローしました。";

// A numeric format: "0" forces a digit, "#" an optional one, "," between integer
// placeholders groups thousands, "." starts the decimals; any other character is copied.
// Rounds halves away from zero on the decimal form of the value (1.005 → "1.01").
// A format with a decimal point always writes it: FormatNumber(5, "#0.##") is "5.", as the
// files and grids written before expect. A value that is not finite writes "".
std::string FormatNumber(double value, std::string_view format);

// The whole number a value holds, in plain decimal digits however large it is ("1" and
// 300 zeros for 1e300); "" for a value that is not finite.
std::string WholeNumberText(double whole);

// The value rounded to `decimals` places, halves away from zero on its decimal form.
double RoundDecimalHalfAway(double value, int decimals);

// True when the whole part of value (toward zero) fits Int; infinity and NaN never do.
template <std::integral Int>
bool FitsWhole(double value) {
    // Both bounds are 0 or powers of two, exact as doubles, so they compare without rounding.
    const double lowest = static_cast<double>(std::numeric_limits<Int>::min());
    const double pastHighest = std::ldexp(1.0, std::numeric_limits<Int>::digits);
    const double whole = std::trunc(value);
    return whole >= lowest && whole < pastHighest;
}

// The whole part of value (toward zero), as a stored whole number is read. A value that
// does not fit Int throws std::overflow_error(kNumberOverflowText): a cast would give any
// number at all.
template <std::integral Int>
Int WholeOf(double value) {
    if (!FitsWhole<Int>(value)) throw std::overflow_error(kNumberOverflowText);
    return static_cast<Int>(value);
}

// The integer conversion of a fractional value: the nearest integer, halves to even;
// throws as WholeOf does.
template <std::integral Int = int64_t>
Int RoundHalfEven(double value) {
    return WholeOf<Int>(std::nearbyint(value));
}

// Reads the number at the start of a text: leading blanks, sign, digits, one point;
// stops at the first other character; "" gives 0.
double ValNumber(std::string_view text);

// Writes a double with up to 15 significant digits, no exponent for ordinary values,
// no trailing zeros ("12.5", "1000", "0.001"); every digit of a large one; "" for a value
// that is not finite.
std::string PlainNumber(double value);
