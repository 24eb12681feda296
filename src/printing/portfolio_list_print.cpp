#include "printing/portfolio_list_print.h"

#include <QTabBar>
#include <QWidget>

#include "platform/flex_grid.h"
#include "platform/surface.h"
#include "printing/state.h"

namespace {

constexpr double kNarrowWidth = 87.5;
constexpr double kWidening = 4.1;  // each numeric column on wider paper
constexpr const char* kNoValue = "－";

// Grid columns of FGR_PF that the list prints.
enum Column {
    kCode = 4,
    kName = 5,
    kMarket = 6,
    kQuantity = 7,
    kUnitPrice = 8,
    kCurrent = 9,
    kProfit = 10,
    kRate = 11
};

// The right edges of the quantity, unit price, current price and profit columns (R7 to R10).
std::vector<double> NumericEdges(double offsetX, double pageWidth) {
    const double widen = pageWidth != kNarrowWidth ? kWidening : 0;
    const double o = offsetX;
    return {o + 47.3225 + widen, o + 56.568 + 2 * widen, o + 65.8135 + 3 * widen,
            o + 75.8995 + 4 * widen};
}

// A valuation cell: "－" stands 2 left of the edge, a number ends 0.5 left of it.
PlacedText Valuation(double edge, const std::string& text) {
    return {text == kNoValue ? edge - 2 : RightAlignedX(edge, text), text};
}

void PrintPortfolioListHeader(ListPage& page, int tab, int32_t pageIndex, int32_t pageCount) {
    const ListPrintState& state = ListPrint();
    PrintRuledListHead(page, PortfolioListTitle(tab),
                       PortfolioListRules(state.ListPageOffsetX, state.ListPageWidth),
                       PortfolioListTitles(state.ListPageOffsetX, state.ListPageWidth), pageIndex,
                       pageCount);
}

}  // namespace

std::string PortfolioListTitle(int tab) {
    const bool buy = tab == 0 || tab == 1;
    return std::string("ポートフォリオ登録銘柄一覧") +
           (buy ? "：「買い」- 分類" : "：「売り」- 分類") +
           std::to_string(buy ? tab + 1 : tab - 1);
}

std::vector<double> PortfolioListRules(double offsetX, double pageWidth) {
    std::vector<double> rules{15.3835, offsetX + 34.715, offsetX + 38.9175};
    for (double edge : NumericEdges(offsetX, pageWidth)) rules.push_back(edge);
    return rules;
}

std::vector<PlacedText> PortfolioListTitles(double offsetX, double pageWidth) {
    const std::vector<double> edge = NumericEdges(offsetX, pageWidth);
    return {{10, "コード"},
            {15.8835, "銘柄名"},
            {offsetX + 35.215, "市場"},
            {offsetX + 39.4175, "購入株数"},
            {edge[0] + 0.5, "購入単価"},
            {edge[1] + 0.5, "現在値"},
            {edge[2] + 0.5, "損益"},
            {edge[3] + 0.5, "損益率"}};
}

std::vector<PlacedText> PortfolioListRowTexts(const PortfolioListCells& cells, double offsetX,
                                              double pageWidth) {
    const std::vector<double> edge = NumericEdges(offsetX, pageWidth);
    return {{11, cells.Code},
            {15.8835, FitListName(cells.Name, offsetX == 0 ? 10 : 20)},
            {offsetX + 35.215, cells.Market},
            {RightAlignedX(edge[0], cells.Quantity), cells.Quantity},
            {RightAlignedX(edge[1], cells.UnitPrice), cells.UnitPrice},
            Valuation(edge[2], cells.Current),
            Valuation(edge[3], cells.Profit),
            Valuation(pageWidth, cells.Rate)};
}

ListPrinter PortfolioListPrinter(const FlexGrid& grid, std::function<int()> tab) {
    ListPrinter printer;
    printer.PageHead = [tab](ListPage& page, int32_t pageIndex, int32_t pageCount) {
        PrintPortfolioListHeader(page, tab(), pageIndex, pageCount);
    };
    printer.Row = [&grid](ListPage& page, int32_t gridRow, int32_t line) {
        const auto cell = [&](int column) { return grid.TextMatrix(gridRow, column); };
        const PortfolioListCells cells{cell(kCode),     cell(kName),      cell(kMarket),
                                       cell(kQuantity), cell(kUnitPrice), cell(kCurrent),
                                       cell(kProfit),   cell(kRate)};
        const ListPrintState& state = ListPrint();
        PrintRuledListRow(page, line,
                          PortfolioListRules(state.ListPageOffsetX, state.ListPageWidth),
                          PortfolioListRowTexts(cells, state.ListPageOffsetX, state.ListPageWidth));
    };
    return printer;
}

bool PrintPortfolioList(int32_t firstRow, int32_t lastRow, const PrintSettei& settings,
                        std::string& error) {
    QWidget* window = FindOpenWindow("FRM_PF");
    auto* grid = window ? window->findChild<FlexGrid*>(QStringLiteral("FGR_PF")) : nullptr;
    auto* tabs = window ? window->findChild<QTabBar*>(QStringLiteral("STB_PF")) : nullptr;
    if (!grid || !tabs) {
        error = kMissingObjectError;
        return false;
    }
    const auto tab = [tabs] { return tabs->currentIndex(); };
    return RunListPrint(PortfolioListPrinter(*grid, tab), firstRow, lastRow, settings, error);
}
