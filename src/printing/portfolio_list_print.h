#pragma once
// The portfolio list on paper: the list of the portfolio window's current tab under
// "ポートフォリオ登録銘柄一覧", one ruled row per entry with code, name, market, quantity,
// unit price, current price, profit or loss and its rate. Wider paper widens the name
// column by ListPageOffsetX and each of the four numeric columns by 4.1 more.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "printing/list_page.h"

class FlexGrid;
struct PrintSettei;

// The cells of one portfolio row that the list prints.
struct PortfolioListCells {
    std::string Code, Name, Market, Quantity, UnitPrice, Current, Profit, Rate;
};

// The title of tab 0 to 3: the buy lists 1 and 2, then the sell lists 1 and 2.
std::string PortfolioListTitle(int tab);
// The seven inner rules of the title box and of every row, left to right; the numeric
// columns take their wide set when the page is wider than A4 portrait's.
std::vector<double> PortfolioListRules(double offsetX, double pageWidth);
// The eight column titles at their x.
std::vector<PlacedText> PortfolioListTitles(double offsetX, double pageWidth);
// A row's texts as printed: the name widened, then cut to 10 characters or filled to 20
// half-width places on A4 portrait (20 and 40 elsewhere), the numbers right-aligned, a
// valuation of "－" placed 2 left of its column's right edge.
std::vector<PlacedText> PortfolioListRowTexts(const PortfolioListCells& cells, double offsetX,
                                              double pageWidth);

// The portfolio list printer over its grid; the tab is read for every page head.
ListPrinter PortfolioListPrinter(const FlexGrid& grid, std::function<int()> tab);
// Prints rows first..last of the open portfolio window's grid; false with the failure's
// description, the document ended and nothing of it kept.
bool PrintPortfolioList(int32_t firstRow, int32_t lastRow, const PrintSettei& settings,
                        std::string& error);
