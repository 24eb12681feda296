#pragma once
// The observation list on paper: "先行観測機能一覧" with the direction shown, and one ruled
// row per issue of the observation window's grid: code, name, market, line price,
// observation and rule. Wider paper widens the name column by ListPageOffsetX and moves
// every column right of it by as much.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "printing/list_page.h"

class FlexGrid;
struct PrintSettei;

// The cells of one observation row that the list prints.
struct LeadObsListCells {
    std::string Code, Name, Market, Price, Observation, Rule;
};

// "先行観測機能一覧 (順方向)" for order 0, "(逆方向)" for any other.
std::string LeadObsListTitle(int16_t order);
// The five inner rules of the title box and of every row, left to right.
std::vector<double> LeadObsListRules(double offsetX);
// The six column titles at their x.
std::vector<PlacedText> LeadObsListTitles(double offsetX);
// A row's texts as printed: the name widened, then cut to 9 characters or filled to 18
// half-width places on A4 portrait (18 and 36 elsewhere), the price right-aligned, the rest
// whole.
std::vector<PlacedText> LeadObsListRowTexts(const LeadObsListCells& cells, double offsetX);

// The observation list printer over its grid; the order is read for every page head.
ListPrinter LeadObsListPrinter(const FlexGrid& grid, std::function<int16_t()> order);
// Prints rows first..last of the open observation window's grid; false with the failure's
// description, the document ended and nothing of it kept.
bool PrintLeadObsList(int32_t firstRow, int32_t lastRow, const PrintSettei& settings,
                      std::string& error);
