// ctest-labels: listprint
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "printing/list_print_fixture.h"

namespace {

class IssueListPrintTest : public ListPrintFixture {
  protected:
    std::string PrintedText() {
        QProcess text;
        text.start("pdftotext", {"-layout", QString::fromStdString(PrintFile()), "-"});
        text.waitForFinished(60000);
        return text.readAllStandardOutput().toStdString();
    }
    std::string PrintFile() { return market.Path() + "/" + kPdfPrintFileName; }
    bool Printed() { return QFile::exists(QString::fromStdString(PrintFile())); }
};

TEST_F(IssueListPrintTest, TheToolbarPrintsTheSelectedRowsAfterTheQuestion) {
    SelectRows(2, 4);
    sink.Expect(MsgKind::OkCancel, "印刷を開始しますか？", kAnswerCancel);
    Press(19);
    EXPECT_FALSE(Printed());

    sink.Expect(MsgKind::OkCancel, "印刷を開始しますか？", kAnswerOk);
    Press(19);
    ASSERT_TRUE(sink.AllShown());
    const std::string text = PrintedText();
    for (int row = 2; row <= 4; ++row) EXPECT_NE(text.find(CodeOfRow(row)), std::string::npos);
    EXPECT_EQ(text.find(CodeOfRow(1)), std::string::npos);
    EXPECT_NE(text.find("1 / 1"), std::string::npos);
    const PrintSettei& stored = Settei().Record.PrintSettei;
    EXPECT_EQ(stored.PrintCaller, "FRM_選択");
    EXPECT_EQ(stored.FirstRow, 2);
    EXPECT_EQ(stored.LastRow, 4);
}

TEST_F(IssueListPrintTest, TheMenuHandsTheRangeToThePrintDialogAndNoSelectionIsRefused) {
    int dialogs = 0;
    Selection().Routines.ShowPrintDialog = [&dialogs](QWidget*) { ++dialogs; };
    SelectRows(3, 1);
    SelectionWindow().MenuItem("MNU_印刷")->trigger();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(Settei().Record.PrintSettei.FirstRow, 1);
    EXPECT_EQ(Settei().Record.PrintSettei.LastRow, 3);
    EXPECT_FALSE(Printed());

    SelectionWindow().Grid().SetRow(0);
    sink.Expect(MsgKind::Warn, "対象となる銘柄を選択してください。");
    Press(19);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(dialogs, 1);
}

}  // namespace
