#include "printing/select_list_print.h"

#include "foundation/text_utils.h"
#include "platform/flex_grid.h"
#include "printing/list_page.h"
#include "printing/state.h"
#include "views/selection_window.h"

namespace {

constexpr double kPriceRule = 42.2795;
constexpr double kChangeRule = 51.525;
constexpr double kRiseRule = 67.4945;
constexpr double kFallRule = 73.378;

// Grid columns of the issue list.
enum Column {
    kCode = 2,
    kName = 4,
    kMarket = 5,
    kPrice = 6,
    kChange = 7,
    kTurnSide = 9,
    kTurnDate = 10,
    kRise = 11,
    kFall = 12,
    kMemo = 16
};

int MemoLimit(double pageWidth) {
    if (pageWidth == 87.5) return 16;
    if (pageWidth == 128.5) return 44;
    return 60;
}

void PrintSelectListHeader(ListPage& page, int32_t pageIndex, int32_t pageCount) {
    const double offset = ListPrint().ListPageOffsetX;
    PrintRuledListHead(page, "選択銘柄一覧", SelectListRules(offset), SelectListTitles(offset),
                       pageIndex, pageCount);
}

void PrintSelectListRow(ListPage& page, const FlexGrid& grid, int32_t gridRow, int32_t line) {
    const ListPrintState& state = ListPrint();
    const auto cell = [&](int column) { return grid.TextMatrix(gridRow, column); };
    const SelectListCells cells{cell(kCode),   cell(kName),     cell(kMarket),   cell(kPrice),
                                cell(kChange), cell(kTurnSide), cell(kTurnDate), cell(kRise),
                                cell(kFall),   cell(kMemo)};
    PrintRuledListRow(page, line, SelectListRules(state.ListPageOffsetX),
                      SelectListRowTexts(cells, state.ListPageOffsetX, state.ListPageWidth));
}

}  // namespace

std::vector<double> SelectListRules(double offsetX) {
    const double o = offsetX;
    return {15.3835,     o + 29.672, o + 33.8745,   o + kPriceRule, o + kChangeRule,
            o + 55.7275, o + 61.611, o + kRiseRule, o + kFallRule};
}

std::vector<PlacedText> SelectListTitles(double offsetX) {
    const double o = offsetX;
    return {{10, "コード"},          {15.8835, "銘柄名"},     {o + 30.172, "市場"},
            {o + 34.3745, "株価"},   {o + 42.7795, "前日比"}, {o + 52.025, "転換"},
            {o + 56.2275, "転換日"}, {o + 62.111, "上昇率"},  {o + 67.9945, "下落率"},
            {o + 73.878, "メモ"}};
}

std::vector<PlacedText> SelectListRowTexts(const SelectListCells& cells, double offsetX,
                                           double pageWidth) {
    const double o = offsetX;
    const std::string name = FirstCharacters(ToWide(cells.Name), o == 0 ? 8 : 18);
    const std::string side = cells.TurnSide == "買" || cells.TurnSide == "売" ? cells.TurnSide : "";
    const std::string date = IsValidSlashDate(cells.TurnDate)
                                 ? cells.TurnDate.substr(cells.TurnDate.size() - 5)
                                 : std::string(5, ' ');
    const double changeX =
        cells.Change == "－" ? o + kChangeRule - 2 : RightAlignedX(o + kChangeRule, cells.Change);
    return {{11, cells.Code},
            {15.8835, name},
            {o + 30.172, cells.Market},
            {RightAlignedX(o + kPriceRule, cells.Price), cells.Price},
            {changeX, cells.Change},
            {o + 53.025, side},
            {o + 56.7275, date},
            {RightAlignedX(o + kRiseRule, cells.RiseRate), cells.RiseRate},
            {RightAlignedX(o + kFallRule, cells.FallRate), cells.FallRate},
            {o + 73.878, LeftSjis(cells.Memo, MemoLimit(pageWidth))}};
}

ListPrinter SelectListPrinter(const FlexGrid& grid) {
    ListPrinter printer;
    printer.PageHead = PrintSelectListHeader;
    printer.Row = [&grid](ListPage& page, int32_t gridRow, int32_t line) {
        PrintSelectListRow(page, grid, gridRow, line);
    };
    return printer;
}

bool PrintSelectList(int32_t firstRow, int32_t lastRow, const PrintSettei& settings,
                     std::string& error) {
    return RunListPrint(SelectListPrinter(SelectionWindow().Grid()), firstRow, lastRow, settings,
                        error);
}
