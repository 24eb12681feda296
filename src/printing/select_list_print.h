#pragma once
// The issue list on paper: "選択銘柄一覧" with code, name, market, price, change, turn side
// and date, rise and fall rates and memo, one ruled row per issue of the list grid. Wider
// paper widens the name column by ListPageOffsetX and lets the memo run to ListPageWidth.
#include <cstdint>
#include <string>
#include <vector>

#include "printing/list_page.h"

struct PrintSettei;

// The cells of one issue row that the list prints.
struct SelectListCells {
    std::string Code, Name, Market, Price, Change, TurnSide, TurnDate, RiseRate, FallRate, Memo;
};

// The nine inner rules of the title box and of every row, left to right.
std::vector<double> SelectListRules(double offsetX);
// The ten column titles at their x.
std::vector<PlacedText> SelectListTitles(double offsetX);
// A row's texts as printed: the name widened and cut to 8 or 18 characters, the memo cut
// to 16, 44 or 60 CP932 bytes by the page width, a turn side other than "買" and "売"
// left out, a turn date shown mm/dd or as five blanks, numbers right-aligned.
std::vector<PlacedText> SelectListRowTexts(const SelectListCells& cells, double offsetX,
                                           double pageWidth);

class FlexGrid;
struct ListPrinter;

// The issue list printer over a list grid.
ListPrinter SelectListPrinter(const FlexGrid& grid);
// Prints rows first..last of the issue list grid with the settings; false with the
// failure's description, the document ended and nothing of it kept.
bool PrintSelectList(int32_t firstRow, int32_t lastRow, const PrintSettei& settings,
                     std::string& error);
