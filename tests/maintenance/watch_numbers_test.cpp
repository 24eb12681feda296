// ctest-labels: maintenance issuejobs
// The watch-number box: what it takes and how its spinner steps.
#include "maintenance/watch_numbers.h"

#include <gtest/gtest.h>

TEST(WatchNumbers, TheBoxTakesWholeNumbersFromOneToHundredAfterRounding) {
    const struct {
        const char* text;
        const char* number;  // "" when the box is refused
    } cases[] = {
        {"1", "1"},      {"100", "100"}, {"1.4", "1"},  {"100.5", "100"},  // halves to even
        {"99.5", "100"}, {"1.5", "2"},   {"05", "5"},   {" 7 ", "7"},
        {"0", ""},       {"101", ""},    {"0.5", ""},   {"abc", ""},
        {"", ""},        {"100.6", ""},  {"99999", ""}, {"32767.5", ""},  // beyond 16 bits
        {"-1", ""},      {"-32769", ""}, {"5abc", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValidateChuumokuNumber(c.text), *c.number != '\0') << '"' << c.text << '"';
        EXPECT_EQ(ChuumokuNumberText(c.text), c.number) << '"' << c.text << '"';
    }
}

TEST(WatchNumbers, TheSpinnerStepsInsideTheRangeAndResetsWhatItCannotRead) {
    const struct {
        const char* text;
        const char* up;
        const char* down;
    } cases[] = {
        {"1", "2", "1"},     {"100", "100", "99"},     {"7", "8", "6"},   {"abc", "1", "1"},
        {"", "1", "1"},      {"0", "1", "1"},          {"101", "1", "1"}, {"99999", "1", "1"},
        {"1.4", "2", "1.4"}, {"100.5", "100.5", "99"}, {"05", "6", "4"},  {"99", "100", "98"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IncChuumokuNumber(c.text), c.up) << '"' << c.text << '"';
        EXPECT_EQ(DecChuumokuNumber(c.text), c.down) << '"' << c.text << '"';
    }
}
