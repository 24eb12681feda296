// ctest-labels: pfwindow faults
// Rates past a thousand per cent in the portfolio's sort.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/flex_grid.h"
#include "portfolio/pf_rows.h"

namespace {

PfRow SoldAt(const char* code, double unit, const char* price) {
    PfRow row;
    row.Entry = {std::string(code) + "211", 100, unit, 0, 0, 20240105};
    row.Code = code;
    row.Price = price;
    row.DisplayOrder = 1;
    return row;
}

std::vector<std::string> Rates(const std::vector<PfRow>& rows) {
    std::vector<std::string> rates;
    for (const PfRow& row : rows) rates.push_back(PfRowCells(row, false)[kPfColRate]);
    return rates;
}

// The grid reads a thousands separator as the typed numbers do, so a rate of -1,025.0 %
// sorts by its value and not by its characters.
TEST(PfSortFaults, RatesOfAThousandPerCentSortByValue) {
    std::vector<PfRow> rows = {SoldAt("1001", 1000, "11250"), SoldAt("1002", 1000, "1125"),
                               SoldAt("1003", 1000, "900"), SoldAt("1004", 1000, "15000")};
    ASSERT_EQ(Rates(rows), (std::vector<std::string>{"-1,025.0%", "-12.5%", "10.0%", "-1,400.0%"}));
    ASSERT_TRUE(SortPfRows(rows, kPfColRate, true, false));
    EXPECT_EQ(Rates(rows), (std::vector<std::string>{"10.0%", "-12.5%", "-1,025.0%", "-1,400.0%"}));
    ASSERT_TRUE(SortPfRows(rows, kPfColRate, false, false));
    EXPECT_EQ(Rates(rows), (std::vector<std::string>{"-1,400.0%", "-1,025.0%", "-12.5%", "10.0%"}));
    double value = 0;
    for (const auto& [text, number] : {std::pair{"-1,025.0", -1025.0},
                                       {"1,000", 1000.0},
                                       {" 12,345,678 ", 12345678.0},
                                       {"+1,5", 15.0}}) {
        EXPECT_TRUE(ReadGridNumber(text, value)) << text;
        EXPECT_EQ(value, number) << text;
    }
}

}  // namespace
