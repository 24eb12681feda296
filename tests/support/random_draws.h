#pragma once
// Seeded test data from the raw words of std::mt19937 only. The engine's output is fixed by
// the standard; its distributions and the maths functions are each library's own, so data
// made with them, and every fixture made from that data, would change with the library.
// Header only: the sanitizer build of the rule tests links no support library.
#include <cstdint>
#include <random>

// A whole number in [lo, hi], as the remainder of one word. The bias, at most
// (hi - lo + 1) / 2^32, is nothing for test data, and a plain remainder keeps the numbers
// that the existing fixtures were drawn with.
inline int DrawInt(std::mt19937& random, int lo, int hi) {
    const uint32_t span = static_cast<uint32_t>(hi - lo) + 1;
    return lo + static_cast<int>(random() % span);
}

// A double in [0, 1) with all 53 bits of its mantissa drawn, from two words.
inline double DrawUnit(std::mt19937& random) {
    const uint64_t high = random() >> 5;                                // 27 bits
    const uint64_t low = random() >> 6;                                 // 26 bits
    return static_cast<double>(high << 26 | low) / 9007199254740992.0;  // 2^53
}

// True `perMille` times in a thousand.
inline bool Chance(std::mt19937& random, int perMille) {
    return DrawInt(random, 0, 999) < perMille;
}

// A bell-shaped move in either direction with a standard deviation of `spread`: the sum of
// three whole numbers from [-spread, spread], which never strays past three spreads.
inline int DrawMove(std::mt19937& random, int spread) {
    return DrawInt(random, -spread, spread) + DrawInt(random, -spread, spread) +
           DrawInt(random, -spread, spread);
}

// A price in whole units moved by a number of hundredths of a percent, in integers: a
// multiplicative walk that never leaves the whole numbers and stays above zero for moves
// above -100 %.
inline int64_t MovedBy(int64_t price, int hundredthsOfPercent) {
    return price + price * hundredthsOfPercent / 10000;
}
