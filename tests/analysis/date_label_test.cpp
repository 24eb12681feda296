// ctest-labels: series
#include "analysis/date_label.h"

#include <gtest/gtest.h>

#include <sstream>

#include "foundation/text_utils.h"

TEST(DateLabel, DaysAndPeriodsAreNumbersWrittenOutAsText) {
    const DateLabel day = DateLabel::Day(20240105);
    EXPECT_TRUE(day.IsDay());
    EXPECT_EQ(day.First(), 20240105);
    EXPECT_EQ(day.Last(), 20240105);
    EXPECT_EQ(day.Text(), "2024/01/05");

    const DateLabel period = DateLabel::Period(20240226, 20240301);
    EXPECT_TRUE(period.IsPeriod());
    EXPECT_EQ(period.First(), 20240226);
    EXPECT_EQ(period.Last(), 20240301);
    EXPECT_EQ(period.Text(), "2024/02/26～2024/03/01");
}

TEST(DateLabel, ATextSpellingADayOrAPeriodIsHeldAsItsNumbers) {
    struct Case {
        const char* text;
        bool day;
        bool period;
        int32_t first;
        int32_t last;
    };
    const Case cases[] = {
        {"2024/01/05", true, false, 20240105, 20240105},
        {"0000/00/00", true, false, 0, 0},
        {"2024/03/11～2024/03/15", false, true, 20240311, 20240315},
        {"", false, false, 0, 0},
        {"d5", false, false, 0, 0},
        {"2024/1/05", false, false, 0, 0},
        {"2024-01-05", false, false, 0, 0},
        {"2024/01/05～", false, false, 0, 0},
        {"2024/01/05~2024/01/06", false, false, 0, 0},
        {"2024/0a/05", false, false, 0, 0},
    };
    for (const Case& c : cases) {
        DateLabel label;
        label = c.text;
        EXPECT_EQ(label.IsDay(), c.day) << c.text;
        EXPECT_EQ(label.IsPeriod(), c.period) << c.text;
        EXPECT_EQ(label.IsText(), !c.day && !c.period) << c.text;
        EXPECT_EQ(label.First(), c.first) << c.text;
        EXPECT_EQ(label.Last(), c.last) << c.text;
        EXPECT_EQ(label.Text(), c.text);
        EXPECT_EQ(DateLabel(std::string(c.text)), label) << c.text;
    }
}

TEST(DateLabel, NumbersBeyondEightDigitsReadAsTheDateFormatWritesThem) {
    for (int32_t date : {5, 99999999, 100000000, 123456789, -20240105}) {
        EXPECT_EQ(DateLabel::Day(date).Text(), FormatDateNumber(date)) << date;
        EXPECT_EQ(DateLabel::Day(date).IsDay(), date >= 0 && date <= 99999999) << date;
    }
    EXPECT_TRUE(DateLabel::Period(20240101, 123456789).IsText());
    EXPECT_EQ(DateLabel::Period(20240101, 123456789).Text(),
              "2024/01/01～" + FormatDateNumber(123456789));
}

TEST(DateLabel, ComparesCopiesAndJoinsAsItsText) {
    DateLabel text;
    text = "x";
    DateLabel copy = text;
    EXPECT_EQ(copy, text);
    copy += "y";
    EXPECT_EQ(copy, "xy");
    EXPECT_EQ(text, "x");

    DateLabel day = DateLabel::Day(20240105);
    EXPECT_EQ(day, "2024/01/05");
    EXPECT_EQ(day, std::string("2024/01/05"));
    EXPECT_NE(day, DateLabel::Day(20240106));
    EXPECT_NE(day, DateLabel::Period(20240105, 20240105));
    EXPECT_EQ(day.substr(0, 7), "2024/01");
    EXPECT_EQ(day + "～" + DateLabel::Day(20240106), "2024/01/05～2024/01/06");
    day += "～2024/01/12";
    EXPECT_TRUE(day.IsPeriod());
    EXPECT_EQ(day.Last(), 20240112);

    const std::string asText = day;
    EXPECT_EQ(asText, "2024/01/05～2024/01/12");
    std::ostringstream out;
    out << day;
    EXPECT_EQ(out.str(), asText);

    EXPECT_FALSE(day.empty());
    day.clear();
    EXPECT_TRUE(day.empty());
    EXPECT_EQ(day, "");
    EXPECT_EQ(day, DateLabel());
}
