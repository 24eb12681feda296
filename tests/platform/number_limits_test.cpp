// ctest-labels: util
// The number texts and integer conversions at the edges of what a double holds. Built a
// second time with the address and float-cast sanitizers (see tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "platform/number_format.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Digits(const char* lead, size_t zeros) {
    return lead + std::string(zeros, '0');
}

}  // namespace

TEST(NumberLimits, FormattingWritesFiniteValuesWhole) {
    const struct {
        double value;
        const char* format;
        std::string expected;
    } cases[] = {
        {kInf, "###0", ""},
        {-kInf, "##0", ""},
        {kNaN, "#,##0", ""},
        {kInf, "0.00", ""},
        {1e300, "##0", Digits("1", 300)},
        {-1e300, "0", Digits("-1", 300)},
        {1e20, "#,##0", "100,000,000,000,000,000,000"},
        {99999999999999999999.0, "###0", Digits("1", 20)},
        {1.7976931348623157e308, "0", Digits("179769313486232", 294)},
        {4.9e-324, "0.00", "0.00"},
        {-1e-300, "0.0", "0.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumber(c.value, c.format), c.expected) << c.value << " " << c.format;
}

TEST(NumberLimits, PlainAndWholeNumberTexts) {
    const struct {
        double value;
        std::string plain;
        std::string whole;
    } cases[] = {
        {kInf, "", ""},
        {-kInf, "", ""},
        {kNaN, "", ""},
        {1e300,
         "1000000000000000052504760255204420248704468581108159154915854115511802457988908195"
         "7863713750804478640437044438328838781769425232353604305756447921847867069828483872"
         "0092657580373783023379478809005936895323497079994508111903896764088007465274278014"
         "2494579258788820056842838115669472196386865459400540160",
         Digits("1", 300)},
        {-1e20, "-100000000000000000000", Digits("-1", 20)},
        {12.5, "12.5", "12"},
        {-12.5, "-12.5", "-12"},
        {9223372036854775808.0, "9223372036854775808", "9223372036854780000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlainNumber(c.value), c.plain) << c.value;
        EXPECT_EQ(WholeNumberText(c.value), c.whole) << c.value;
    }
    EXPECT_TRUE(std::isinf(RoundDecimalHalfAway(-kInf, 2)));
    EXPECT_TRUE(std::isnan(RoundDecimalHalfAway(kNaN, 0)));
    EXPECT_DOUBLE_EQ(RoundDecimalHalfAway(1e300, 0), 1e300);
}

TEST(NumberLimits, IntegerConversionsRefuseWhatTheTypeCannotHold) {
    // 0 stands for an overflow.
    const struct {
        double value;
        int64_t rounded32, whole32, rounded64;
        bool fits32, fits64;
    } cases[] = {
        {2147483647.4, 2147483647, 2147483647, 2147483647, true, true},
        {2147483647.5, 0, 2147483647, 2147483648, true, true},  // rounds up to 2^31
        {2147483648.0, 0, 0, 2147483648, false, true},
        {-2147483648.5, -2147483648, -2147483648, -2147483648, true, true},  // halves to even
        {-2147483648.9, 0, -2147483648, -2147483649, true, true},
        {-2147483649.0, 0, 0, -2147483649, false, true},
        {9223372036854774784.0, 0, 0, 9223372036854774784, false, true},  // below 2^63
        {9223372036854775808.0, 0, 0, 0, false, false},                   // 2^63
        {-9223372036854775808.0, 0, 0, std::numeric_limits<int64_t>::min(), false, true},
        {1e300, 0, 0, 0, false, false},
        {kInf, 0, 0, 0, false, false},
        {-kInf, 0, 0, 0, false, false},
        {kNaN, 0, 0, 0, false, false},
    };
    const auto orZero = [](auto convert) -> int64_t {
        try {
            return convert();
        } catch (const std::overflow_error& error) {
            EXPECT_STREQ(error.what(), kNumberOverflowText);
            return 0;
        }
    };
    for (const auto& c : cases) {
        EXPECT_EQ(orZero([&] { return RoundHalfEven<int32_t>(c.value); }), c.rounded32) << c.value;
        EXPECT_EQ(orZero([&] { return WholeOf<int32_t>(c.value); }), c.whole32) << c.value;
        EXPECT_EQ(orZero([&] { return RoundHalfEven(c.value); }), c.rounded64) << c.value;
        EXPECT_EQ(FitsWhole<int32_t>(c.value), c.fits32) << c.value;
        EXPECT_EQ(FitsWhole<int64_t>(c.value), c.fits64) << c.value;
    }
    EXPECT_EQ(RoundHalfEven<int16_t>(-32768.4), -32768);
    EXPECT_THROW(RoundHalfEven<int16_t>(32767.5), std::overflow_error);
}
