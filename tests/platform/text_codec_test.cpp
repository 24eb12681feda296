// ctest-labels: util
#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/number_format.h"
#include "platform/twips.h"

TEST(Cp932, RoundTripsJapaneseAndSubstitutesTheUnencodable) {
    const std::string text = "株価ｶﾅ～①ABC";
    const std::string bytes = ToCp932(text);
    EXPECT_EQ(bytes.size(), 2u + 2 + 2 + 2 + 2 + 3);
    EXPECT_EQ(FromCp932(bytes), text);
    EXPECT_EQ(ToCp932("a😀b"), "a?b");
    EXPECT_EQ(ToCp932("\\"), "\\");  // 0x5C stays a backslash
    std::string decoded;
    EXPECT_FALSE(DecodeCp932Strict(std::string("\x81", 1), decoded));
    EXPECT_TRUE(DecodeCp932Strict(ToCp932("関門"), decoded));
    EXPECT_EQ(decoded, "関門");
}

TEST(Cp932, WidthTable) {
    EXPECT_EQ(Cp932Width(U'A'), 1);
    EXPECT_EQ(Cp932Width(U'ｱ'), 1);
    EXPECT_EQ(Cp932Width(U'あ'), 2);
    EXPECT_EQ(Cp932Width(U'😀'), 1);       // written as "?"
    EXPECT_EQ(Cp932Width(U'\u0E01'), 1);  // Thai: not in CP932
}

TEST(VbFormat, NumberFormats) {
    struct Case {
        double value;
        const char* format;
        const char* expected;
    } cases[] = {
        {13.996, "#0.##", "14."},
        {13.994, "#0.##", "13.99"},
        {1.005, "#0.##", "1.01"},
        {0.5, "#0.##", "0.5"},
        {-2.345, "#0.##", "-2.35"},
        {1234567, "#,##0", "1,234,567"},
        {0, "#,##0", "0"},
        {999.5, "##0", "1000"},
        {12.25, "0.0", "12.3"},
        {-0.04, "0.0", "0.0"},
        {5, "#.#####", "5."},
        {0.5, "#.#####", ".5"},
        {20240105, "0000/00/00", "2024/01/05"},
        {0, "0000/00/00", "0000/00/00"},
        {7, "00", "07"},
        {1234.5, "###0", "1235"},
        {2.5, "0.0#", "2.5"},
        {2.125, "0.0#", "2.13"},
        {1000000, "###,##0", "1,000,000"},
        {999999.995, "0.00", "1000000.00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatNumber(c.value, c.format), c.expected) << c.value << " " << c.format;
}

TEST(VbFormat, RoundingAndReading) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.6), 3);
    EXPECT_DOUBLE_EQ(RoundDecimalHalfAway(1.005, 2), 1.01);
    EXPECT_DOUBLE_EQ(RoundDecimalHalfAway(-1.005, 2), -1.01);
    EXPECT_DOUBLE_EQ(ValNumber(" 12.5abc"), 12.5);
    EXPECT_DOUBLE_EQ(ValNumber("14."), 14.0);
    EXPECT_DOUBLE_EQ(ValNumber("-3"), -3.0);
    EXPECT_DOUBLE_EQ(ValNumber(""), 0.0);
    EXPECT_EQ(PlainNumber(12.5), "12.5");
    EXPECT_EQ(PlainNumber(1000), "1000");
}

TEST(Twips, Conversions) {
    EXPECT_EQ(TwipsToPixels(1440), 96);
    EXPECT_EQ(PixelsToTwips(2), 30);
    EXPECT_DOUBLE_EQ(TwipsToDots(1440, 600), 600.0);
}
