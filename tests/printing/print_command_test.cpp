// ctest-labels: dispatch printing
// 印刷 from the toolbar and from the menus: the printer check, the flag that says whether to
// ask or to open the print dialog, and the chart views' branch, which reaches the chart
// printing through its routine.
#include <gtest/gtest.h>

#include <QApplication>

#include "foundation/state.h"
#include "platform/printers.h"
#include "printing/commands.h"
#include "views/chart_view_fixture.h"
#include "views/chart_views.h"
#include "views/chart_window.h"

namespace {

class PrintCommandTest : public ChartViewFixture {
  protected:
    void SetUp() override {
        ChartViewFixture::SetUp();
        InstallPrintingCommands();
        Settei().PrinterNames = {kPdfPrinterName};
        Selection().Routines.PrintChartView = [this] {
            flags.push_back(Selection().QuickPrintFlag);
            busy.push_back(MainFrame().cursor().shape() == Qt::WaitCursor);
        };
    }
    void TearDown() override {
        SetPrinterSource(nullptr);
        ChartViewFixture::TearDown();
    }
    std::vector<int> flags;
    std::vector<bool> busy;
};

TEST_F(PrintCommandTest, AChartViewPrintsAtOnceFromTheToolbarAndThroughTheDialogFromItsMenu) {
    SelectRows(2, 2);
    DoCommand(6);
    Press(19);
    ChartWindowOf(6).MenuItem("MNU_印刷")->trigger();
    EXPECT_EQ(flags, (std::vector<int>{-1, 0}));
    EXPECT_EQ(busy, (std::vector<bool>{true, true}));
    EXPECT_EQ(MainFrame().cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(PrintCommandTest, WithoutAnyPrinterNothingPrintsAndTheFlagIsCleared) {
    // Not even the PDF printer: the source lists nothing.
    SetPrinterSource([] { return InstalledPrinters{}; });
    SelectRows(2, 2);
    for (int view : {3, 5}) {
        if (view != 3) DoCommand(view);
        sink.Expect(MsgKind::Info, "出力可能なﾌﾟﾘﾝﾀが存在しません。");
        Press(19);
        EXPECT_TRUE(sink.AllShown()) << view;
        EXPECT_EQ(Selection().QuickPrintFlag, 0) << view;
    }
    EXPECT_TRUE(flags.empty());
}

TEST_F(PrintCommandTest, ThePdfPrinterCountsAsAPrinter) {
    SetPrinterSource([] { return InstalledPrinters{{{kPdfPrinterName, false}}, ""}; });
    SelectRows(2, 2);
    DoCommand(5);
    Press(19);
    EXPECT_EQ(flags, std::vector<int>{-1});
    EXPECT_TRUE(sink.Shown().empty());
}

}  // namespace
