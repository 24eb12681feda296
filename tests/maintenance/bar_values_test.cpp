// ctest-labels: maintenance
// The texts of stored bar values in the price data table.
#include "maintenance/bar_values.h"

#include <gtest/gtest.h>

TEST(BarValues, ThousandsSeparators) {
    const std::pair<FieldValue, const char*> cases[] = {
        {FieldValue{1234567.0}, "1,234,567"},
        {FieldValue{int64_t{950}}, "950"},
        {FieldValue{1234.5}, "1,234.5"},
        {FieldValue{std::string("12345.60")}, "12,345.60"},  // decimals kept as written
        {FieldValue{-1234.25}, "-1,234.25"},
        {FieldValue{-0.5}, "-0.5"},
        {FieldValue{}, ""},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatBarValue(value), text) << text;
}

TEST(BarValues, ADoubleShowsItsDecimals) {
    const std::pair<double, const char*> cases[] = {
        {1234.5, "1,234.5"}, {1300.25, "1,300.25"}, {15000, "15,000"}, {0.1, "0.1"}, {0, "0"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatBarValue(value), text) << text;
}
