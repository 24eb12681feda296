#include "printing/commands.h"

#include <string>

#include "foundation/state.h"
#include "foundation/trap.h"
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "platform/printers.h"
#include "printing/chart_print.h"
#include "printing/print_dialog.h"
#include "printing/print_dispatch.h"
#include "printing/select_list_print.h"
#include "printing/state.h"
#include "ui/frame_access.h"
#include "views/chart_controls.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kStartPrintQuestion = "印刷を開始しますか？";

// Runs a print; false with the description of what it threw.
template <typename Print>
bool RunReporting(Print&& print, std::string& error) {
    try {
        print();
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

void ShowPrintDialogOverFrame() {
    const auto& show = Selection().Routines.ShowPrintDialog;
    if (show) show(MainFrameExists() ? static_cast<QWidget*>(&MainFrame()) : nullptr);
}

}  // namespace

void PrintIssueList() {
    const FlexGrid& grid = SelectionWindow().Grid();
    if (grid.Row() == 0) {
        MsgWarn(kSelectIssueMessage);
        return;
    }
    PrintSettei& print = Settei().Record.PrintSettei;
    GetGridSelRange(grid, print.FirstRow, print.LastRow);
    print.PrintCaller = "FRM_選択";
    if (Selection().QuickPrintFlag == -1) {
        if (MsgOkCancel(kStartPrintQuestion) != kAnswerOk) return;
        std::string error;
        if (!PrintSelectList(print.FirstRow, print.LastRow, Settei().PrintJob, error))
            MsgWarn(error);
        return;
    }
    ShowPrintDialogOverFrame();
}

void PrintChartView() {
    if (Selection().QuickPrintFlag != -1) {
        ShowPrintDialogOverFrame();
        return;
    }
    if (MsgOkCancel(kStartPrintQuestion) != kAnswerOk) return;
    const ChartPrintHooks& charts = ChartPrinting();
    const auto& print = PrintByRedraw() ? charts.PrintChartsRedraw : charts.PrintChartsPicture;
    std::string error;
    if (print && !print(Settei().PrintJob, error) && !error.empty()) MsgWarn(error);
}

void PrintCommand() {
    if (!IsCommandEnabled(19)) return;
    if (QueryPrinters().Printers.empty()) {
        MsgInfo(kNoPrinterMessage);
        Selection().QuickPrintFlag = 0;
        return;
    }
    if (Views().ViewKind == kViewList) {
        WithMainPointer(PrintIssueList);
        return;
    }
    if (const auto& print = Selection().Routines.PrintChartView) WithMainPointer(print);
}

void InstallPrintingCommands() {
    Selection().Routines.PrintCommand = PrintCommand;
    Selection().Routines.ShowPrintDialog = ShowPrintDialog;
    Selection().Routines.PrintChartView = PrintChartView;
    // A failure of the page itself comes back as its description; the picture copy's own
    // failures are reported inside it, and its result is not looked at.
    ChartPrinting().PrintChartsRedraw = [](const PrintSettei& settings, std::string& error) {
        return RunReporting([&] { PrintChartsRedraw(settings); }, error);
    };
    ChartPrinting().PrintChartsPicture = [](const PrintSettei& settings, std::string& error) {
        return RunReporting([&] { PrintChartsPicture(settings); }, error);
    };
}
