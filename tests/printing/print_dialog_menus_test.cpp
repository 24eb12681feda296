// ctest-labels: printdialog
#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

#include "foundation/state.h"
#include "platform/printers.h"
#include "printing/commands.h"
#include "printing/print_dialog.h"
#include "printing/state.h"
#include "screening/observation_fixture.h"
#include "support/modal.h"
#include "views/chart_view_fixture.h"
#include "views/chart_window.h"

namespace {

std::string PdfText(const std::string& path) {
    QProcess text;
    text.start("pdftotext", {"-layout", QString::fromStdString(path), "-"});
    text.waitForFinished(60000);
    return text.readAllStandardOutput().toStdString();
}

class PrintDialogMenusTest : public ChartViewFixture {
  protected:
    void SetUp() override {
        ChartViewFixture::SetUp();
        InstallPrintingCommands();
        SetPrinterSource([] { return InstalledPrinters{{{kPdfPrinterName, true}}, ""}; });
        Settei().PrinterNames = {kPdfPrinterName};
        PrintSettei& saved = Settei().Record.PrintSettei;
        saved.OPT_縦 = -1;
        saved.OPT_Choice = -1;
        saved.TXT_Count = 1;
        ListPrint().Clock = [] { return QDateTime(QDate(2024, 5, 1), QTime(9, 30)); };
    }
    void TearDown() override {
        SetPrinterSource(nullptr);
        ChartViewFixture::TearDown();
    }
    std::string PrintFile() { return market.Path() + "/" + kPdfPrintFileName; }
    bool Printed() { return QFile::exists(QString::fromStdString(PrintFile())); }
    std::string PrintedText() { return PdfText(PrintFile()); }
    // The dialog that is about to open: what it shows, then OK answered with OK.
    void OkOnTheDialog(bool& opened, bool& countEnabled) {
        AnswerNextModalNamed(QString::fromUtf8(kPrintDialogName), [&](QWidget* dialog) {
            opened = true;
            countEnabled = dialog->findChild<QLineEdit*>(QStringLiteral("TXT_Count"))->isEnabled();
            sink.Expect(MsgKind::OkCancel, kStartPrintSettingsQuestion, kAnswerOk);
            dialog->findChild<QPushButton*>(QStringLiteral("CMD_OK"))->click();
        });
    }
};

TEST_F(PrintDialogMenusTest, TheIssueListMenuPrintsTheSelectedRowsThroughTheDialog) {
    SelectRows(2, 3);
    bool opened = false;
    bool countEnabled = false;
    OkOnTheDialog(opened, countEnabled);
    SelectionWindow().MenuItem("MNU_印刷")->trigger();
    ASSERT_TRUE(opened);
    EXPECT_TRUE(countEnabled);
    EXPECT_TRUE(sink.AllShown());
    const std::string text = PrintedText();
    const FlexGrid& grid = SelectionWindow().Grid();
    EXPECT_NE(text.find(grid.TextMatrix(2, 2)), std::string::npos);
    EXPECT_NE(text.find(grid.TextMatrix(3, 2)), std::string::npos);
    EXPECT_EQ(text.find(grid.TextMatrix(4, 2)), std::string::npos);
}

TEST_F(PrintDialogMenusTest, AChartWindowsMenuOpensTheDialogAndTheToolbarPrintsAtOnce) {
    int printed = 0;
    ChartPrinting().PrintChartsPicture = [&printed](const PrintSettei& settings, std::string&) {
        EXPECT_EQ(settings.CBO_Size, Settei().PrintJob.CBO_Size);
        ++printed;
        return true;
    };
    SelectRows(1, 1);
    Press(5);
    ChartWindow* window = FindChartWindow(5);
    ASSERT_NE(window, nullptr);
    bool opened = false;
    bool countEnabled = true;
    OkOnTheDialog(opened, countEnabled);
    window->MenuItem("MNU_印刷")->trigger();
    ASSERT_TRUE(opened);
    EXPECT_FALSE(countEnabled);  // charts print once
    EXPECT_EQ(printed, 1);

    Settei().PrintJob.CBO_Size = 1;
    sink.Expect(MsgKind::OkCancel, "印刷を開始しますか？", kAnswerOk);
    Press(19);
    EXPECT_EQ(printed, 2);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_FALSE(Printed());
}

class ObservationPrintTest : public ObservationTest {};

TEST_F(ObservationPrintTest, TheObservationWindowsPrintButtonPrintsItsSelectedRows) {
    InstallPrintingCommands();
    SetPrinterSource([] { return InstalledPrinters{{{kPdfPrinterName, true}}, ""}; });
    Settei().PrinterNames = {kPdfPrinterName};
    Settei().Record.PrintSettei.OPT_縦 = -1;
    Settei().Record.PrintSettei.TXT_Count = 1;
    Selection().ObservationOrder = 0;
    ListPrint().Clock = [] { return QDateTime(QDate(2024, 5, 1), QTime(9, 30)); };
    ASSERT_TRUE(QueryIssueList(kListForward, Observation().ObservationRecordset));
    FRM_先行観測 window;
    window.show();
    window.Grid().SetRow(3);
    window.Grid().SetRowSel(2);
    ScriptedSink sink;
    bool opened = false;
    AnswerNextModalNamed(QString::fromUtf8(kPrintDialogName), [&](QWidget* dialog) {
        opened = true;
        sink.Expect(MsgKind::OkCancel, kStartPrintSettingsQuestion, kAnswerOk);
        dialog->findChild<QPushButton*>(QStringLiteral("CMD_OK"))->click();
    });
    window.findChild<QPushButton*>(QStringLiteral("CMD_Print"))->click();
    SetPrinterSource(nullptr);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(sink.AllShown());
    const std::string text = PdfText(market_->Path() + "/" + kPdfPrintFileName);
    EXPECT_NE(text.find("先行観測機能一覧 (順方向)"), std::string::npos) << text;
    for (int row = 1; row < window.Grid().Rows(); ++row) {
        const std::string& code = window.Grid().TextMatrix(row, 2);
        EXPECT_EQ(text.find(code) != std::string::npos, row == 2 || row == 3) << code;
        if (row == 2) EXPECT_NE(text.find(window.Grid().TextMatrix(row, 7)), std::string::npos);
    }
}

}  // namespace
