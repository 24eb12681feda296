#pragma once
// The price data table on paper: the issue caption, the column titles and one ruled row per
// price row (date, open, high, low, close, volume). The table keeps A4 portrait's geometry
// on every paper; only the rows per page and the stamp follow the paper.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "printing/select_list_print.h"

class FlexGrid;
struct ListPrinter;
struct PrintSettei;

// The five inner rules of the title box and of every row.
std::vector<double> DataTableRules();
std::vector<PlacedText> DataTableTitles();
// Cells of grid columns 2 to 7 at their x: the date left-aligned, the rest right-aligned.
std::vector<PlacedText> DataTableRowTexts(const std::vector<std::string>& cells);

// The data table printer over its grid; the caption is read for every page.
ListPrinter DataTablePrinter(const FlexGrid& grid, std::function<std::string()> caption);
// Prints rows first..last of the open price data table window; false with the failure's
// description, the document ended and nothing of it kept.
bool PrintDataTable(int32_t firstRow, int32_t lastRow, const PrintSettei& settings,
                    std::string& error);
