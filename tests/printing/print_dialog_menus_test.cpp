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
#include "support/modal.h"
#include "views/chart_view_fixture.h"
#include "views/chart_window.h"

namespace {

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
    std::string PrintedText() {
        QProcess text;
        text.start("pdftotext", {"-layout", QString::fromStdString(PrintFile()), "-"});
        text.waitForFinished(60000);
        return text.readAllStandardOutput().toStdString();
    }
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

}  // namespace
