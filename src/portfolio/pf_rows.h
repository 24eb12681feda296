#pragma once
// The rows of the portfolio window: one record per entry of the shown list, the cells it
// shows, their valuation at the current price, the totals, and the sort by a column. The
// records keep each entry exactly as stored; the cells are only ever drawn from them, so
// neither a sort nor the rounding of the shown numbers changes the portfolio.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "portfolio/state.h"

// Columns of the grid.
enum PfColumn : int {
    kPfColRowKey = 1,
    kPfColDisplayOrder = 2,
    kPfColIssueId = 3,
    kPfColCode = 4,
    kPfColName = 5,
    kPfColMarket = 6,
    kPfColQuantity = 7,
    kPfColUnitPrice = 8,
    kPfColPrice = 9,
    kPfColProfit = 10,
    kPfColRate = 11,
    kPfColTarget = 12,
    kPfColStop = 13,
    kPfColDate = 14,
};
inline constexpr int kPfGridCols = 15;
inline constexpr int kPfTabCount = 4;
inline constexpr const char* kPfNoValueText = "－";

// The tab captions as stored: "「買い」－分類 1 " and the others.
std::string PfTabCaption(int tab);
// Tabs 0 and 1 are the bought lists; any other tab counts as sold.
bool IsBuyTab(int tab);

// A profit or loss and its rate as the grid shows them, each with its colour.
struct PfValueText {
    std::string Profit;
    std::string Rate;
    bool ProfitNegative = false;
    bool RateNegative = false;
};
// Columns 10 and 11 from the texts of columns 7, 8 and 9 as shown: "－" for both unless
// the quantity and the unit price are not 0 and the price is a number.
PfValueText ValuePfCells(std::string_view quantity, std::string_view unitPrice,
                         std::string_view price, bool buy);
// LBL_PAL and LBL_Rate from the shown rows (each of kPfGridCols cells).
PfValueText PfTotalsOf(const std::vector<std::vector<std::string>>& rows, bool buy);

struct PfRow {
    PfEntry Entry;
    int32_t RowKey = 0;        // the entry's place in the list when the grid was filled
    int64_t DisplayOrder = 0;  // the market's 表示順; 0 for an issue not found
    std::string Code;          // 証券コード, or the first four characters of the ID
    std::string Name;
    std::string Market;
    std::string Price;   // column 9 as shown: a number, "－", or "0" for an issue not found
    bool Valued = true;  // false for an issue not found, until a sort by 損益 or 損益率
};

// The kPfGridCols cells of a row.
std::vector<std::string> PfRowCells(const PfRow& row, bool buy);
// Sorts the rows by a column (4 to 14) as its title press does: stably, by the column's
// key in the given direction, equal keys by code and then by the market's display order,
// always ascending. Sorting by 損益 or 損益率 values every row. False for another column.
bool SortPfRows(std::vector<PfRow>& rows, int column, bool descending, bool buy);

// The first entry, in list order, without a quantity (column 7) or else without a unit
// price (column 8): row is its 1-based place in the list. False when every entry has both.
bool FindIncompleteEntry(const std::vector<PfEntry>& entries, int& row, int& col);
