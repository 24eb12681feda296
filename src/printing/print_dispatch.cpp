#include "printing/print_dispatch.h"

#include <QWidget>

#include "foundation/state.h"
#include "platform/flex_grid.h"
#include "printing/data_table_print.h"
#include "printing/lead_obs_list_print.h"
#include "printing/list_page.h"
#include "printing/portfolio_list_print.h"
#include "printing/select_list_print.h"
#include "printing/state.h"
#include "ui/state.h"
#include "views/selection_window.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kDataTableFormName = "FRM_データ表";

using ListPrintRoutine = bool (*)(int32_t, int32_t, const PrintSettei&, std::string&);

// The list windows: the caller name each stores, its grid, and its list printer.
struct ListRoute {
    PrintRoute Route;
    const char* Caller;
    const char* GridName;
    ListPrintRoutine Print;
};

constexpr ListRoute kListRoutes[] = {
    {PrintRoute::DataTable, kDataTableFormName, "FGR_日次", PrintDataTable},
    {PrintRoute::SelectList, "FRM_選択", "FGR_該当銘柄", PrintSelectList},
    {PrintRoute::LeadObsList, "FRM_先行観測", "FGR_該当銘柄", PrintLeadObsList},
    {PrintRoute::PortfolioList, "FRM_PF", "FGR_PF", PrintPortfolioList},
};

bool IsChartView(int32_t viewKind) {
    return (viewKind >= kViewKagi && viewKind <= kViewFour) || IsMultiView(viewKind);
}

// The rows of the caller's grid; 0 when its window is not open (its printer then fails).
int32_t GridRowsOf(const ListRoute& route) {
    if (route.Route == PrintRoute::SelectList) return SelectionWindow().Grid().Rows();
    QWidget* window = FindOpenWindow(route.Caller);
    auto* grid = window ? window->findChild<FlexGrid*>(QString::fromUtf8(route.GridName)) : nullptr;
    return grid ? grid->Rows() : 0;
}

}  // namespace

PrintRoute ChoosePrintRoute(int32_t viewKind, const std::string& currentFormName,
                            bool printByRedraw, const std::string& printCaller) {
    if (IsChartView(viewKind)) {
        if (currentFormName == kDataTableFormName) return PrintRoute::DataTable;
        return printByRedraw ? PrintRoute::ChartsRedraw : PrintRoute::ChartsPicture;
    }
    for (const ListRoute& route : kListRoutes) {
        if (printCaller == route.Caller) return route.Route;
    }
    return PrintRoute::None;
}

PrintRows RowsByRange(bool allRows, const PrintSettei& saved, int32_t gridRows) {
    if (!allRows) return {saved.FirstRow, saved.LastRow};
    return {1, gridRows - 1};
}

bool PrintByRedraw() {
    return Settei().Record.UserSettei.OPT_精細 == -1;
}

bool DispatchPrint(bool allRows, const PrintSettei& settings, std::string& error) {
    const PrintSettei& saved = Settei().Record.PrintSettei;
    const PrintRoute route = ChoosePrintRoute(Views().ViewKind, GridWheel().CurrentFormName,
                                              PrintByRedraw(), saved.PrintCaller);
    const ChartPrintHooks& charts = ChartPrinting();
    switch (route) {
        case PrintRoute::ChartsRedraw:
            return !charts.PrintChartsRedraw || charts.PrintChartsRedraw(settings, error);
        case PrintRoute::ChartsPicture:
            // Its result tells only whether it printed; it has told the user why not.
            if (charts.PrintChartsPicture) charts.PrintChartsPicture(settings, error);
            return error.empty();
        case PrintRoute::None:
            return true;
        default:
            break;
    }
    for (const ListRoute& list : kListRoutes) {
        if (list.Route != route) continue;
        const PrintRows rows = RowsByRange(allRows, saved, GridRowsOf(list));
        return list.Print(rows.First, rows.Last, settings, error);
    }
    return true;
}
