#include "printing/lead_obs_list_print.h"

#include <QWidget>

#include "platform/flex_grid.h"
#include "platform/surface.h"
#include "printing/state.h"
#include "views/state.h"

namespace {

constexpr double kPriceRule = 44.801;

// Grid columns of the observation list.
enum Column { kCode = 2, kName = 3, kMarket = 4, kPrice = 5, kObservation = 6, kRule = 7 };

void PrintLeadObsListHeader(ListPage& page, int16_t order, int32_t pageIndex, int32_t pageCount) {
    const double offset = ListPrint().ListPageOffsetX;
    PrintRuledListHead(page, LeadObsListTitle(order), LeadObsListRules(offset),
                       LeadObsListTitles(offset), pageIndex, pageCount);
}

}  // namespace

std::string LeadObsListTitle(int16_t order) {
    return std::string("先行観測機能一覧") + " (" + (order == 0 ? "順方向" : "逆方向") + ")";
}

std::vector<double> LeadObsListRules(double offsetX) {
    const double o = offsetX;
    return {15.3835, o + 32.1935, o + 36.396, o + kPriceRule, o + 49.0035};
}

std::vector<PlacedText> LeadObsListTitles(double offsetX) {
    const double o = offsetX;
    return {{10, "コード"},           {15.8835, "銘柄名"},  {o + 32.6935, "市場"},
            {o + 36.896, "引線価格"}, {o + 45.301, "観測"}, {o + 49.5035, "法則名"}};
}

std::vector<PlacedText> LeadObsListRowTexts(const LeadObsListCells& cells, double offsetX) {
    const double o = offsetX;
    return {{11, cells.Code},
            {15.8835, FitListName(cells.Name, o == 0 ? 9 : 18)},
            {o + 32.6935, cells.Market},
            {RightAlignedX(o + kPriceRule, cells.Price), cells.Price},
            {o + 46.301, cells.Observation},
            {o + 49.5035, cells.Rule}};
}

ListPrinter LeadObsListPrinter(const FlexGrid& grid, std::function<int16_t()> order) {
    ListPrinter printer;
    printer.PageHead = [order](ListPage& page, int32_t pageIndex, int32_t pageCount) {
        PrintLeadObsListHeader(page, order(), pageIndex, pageCount);
    };
    printer.Row = [&grid](ListPage& page, int32_t gridRow, int32_t line) {
        const auto cell = [&](int column) { return grid.TextMatrix(gridRow, column); };
        const LeadObsListCells cells{cell(kCode),  cell(kName),        cell(kMarket),
                                     cell(kPrice), cell(kObservation), cell(kRule)};
        const double offset = ListPrint().ListPageOffsetX;
        PrintRuledListRow(page, line, LeadObsListRules(offset), LeadObsListRowTexts(cells, offset));
    };
    return printer;
}

bool PrintLeadObsList(int32_t firstRow, int32_t lastRow, const PrintSettei& settings,
                      std::string& error) {
    QWidget* window = FindOpenWindow("FRM_先行観測");
    auto* grid = window ? window->findChild<FlexGrid*>(QStringLiteral("FGR_該当銘柄")) : nullptr;
    if (!grid) {
        error = kMissingObjectError;
        return false;
    }
    const auto order = [] { return Selection().ObservationOrder; };
    return RunListPrint(LeadObsListPrinter(*grid, order), firstRow, lastRow, settings, error);
}
