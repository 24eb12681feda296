// ctest-labels: dialogs
#include "maintenance/watch_number_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "foundation/selection.h"
#include "foundation/state.h"
#include "maintenance/commands.h"
#include "maintenance/state.h"
#include "ui/input_boxes.h"
#include "views/chart_view_fixture.h"

namespace {

constexpr const char* kInvalid = "注目指定番号が不正です。";

class WatchNumberDialogTest : public ChartViewFixture {
  protected:
    void SetUp() override {
        ChartViewFixture::SetUp();
        InstallMaintenanceCommands();
    }
    // The open dialog; a closed one waits for its deletion and is not it.
    FRM_注目* Dialog() { return static_cast<FRM_注目*>(IssueJobs().ChuumokuDialog.data()); }
    QLineEdit* Box() { return Dialog()->NumberBox(); }
    void Click(const char* name) { Dialog()->findChild<QPushButton*>(name)->click(); }
    void Spin(bool up) {
        auto* spinner = Dialog()->findChild<UpDownSpinner*>("UPD_注目");
        (up ? spinner->UpButton() : spinner->DownButton())->click();
    }
    std::string Text() { return Box()->text().toStdString(); }
    bool Open() { return Dialog() != nullptr && Dialog()->isVisible(); }
    std::string WatchCell(int row) { return SelectionWindow().Grid().TextMatrix(row, 3); }
};

TEST_F(WatchNumberDialogTest, OpensOnTheRowsNumberAndStepsWithinOneToHundred) {
    SelectionWindow().Grid().SetTextMatrix(2, 3, "25");
    SelectRows(2, 4);
    Press(15);
    ASSERT_TRUE(Open());
    EXPECT_EQ(Text(), "25");
    Click("CMD_cancel");
    EXPECT_FALSE(Open());

    SelectRows(3, 4);
    Press(15);
    EXPECT_EQ(Text(), "1");
    struct Step {
        const char* text;
        bool up;
        const char* after;
    };
    for (const Step& s : std::vector<Step>{{"100", true, "100"},
                                           {"1", false, "1"},
                                           {"", true, "1"},
                                           {"", false, "1"},
                                           {"7", false, "6"}}) {
        Box()->setText(s.text);
        Spin(s.up);
        EXPECT_EQ(Text(), s.after) << s.text << s.up;
    }
    // Digits only, three at most.
    Box()->clear();
    QTest::keyClicks(Box(), "a1b234");
    EXPECT_EQ(Text(), "123");
    Click("CMD_cancel");
}

TEST_F(WatchNumberDialogTest, OkRefusesWhatIsNotOneToHundredAndRegistersTheSelection) {
    SelectRows(2, 4);
    Press(15);
    for (const char* text : {"", "0", "101"}) {
        Box()->setText(text);
        sink.Expect(MsgKind::Warn, kInvalid);
        Click("CMD_OK");
        EXPECT_TRUE(sink.AllShown()) << text;
        EXPECT_TRUE(Open()) << text;
    }
    // The confirmation's cancel keeps the dialog with its number.
    Box()->setText("007");
    sink.Expect(MsgKind::OkCancel, "3銘柄を注目登録しますか？", kAnswerCancel);
    Click("CMD_OK");
    EXPECT_TRUE(Open());
    EXPECT_EQ(Text(), "007");

    sink.Expect(MsgKind::OkCancel, "3銘柄を注目登録しますか？")
        .Expect(MsgKind::Info, "処理が終了しました。");
    Click("CMD_OK");
    EXPECT_TRUE(sink.AllShown());
    EXPECT_FALSE(Open());
    EXPECT_TRUE(MainFrame().isEnabled());
    for (int row = 2; row <= 4; ++row) EXPECT_EQ(WatchCell(row), "7") << row;
}

TEST_F(WatchNumberDialogTest, AChartViewAsksForItsOneIssueAndARowPastTheListGivesOne) {
    SelectRows(1, 3);
    Press(5);
    Press(25);
    ASSERT_EQ(IssueSelection().CurrentIssuePos, 1);
    SelectionWindow().Grid().SetTextMatrix(2, 3, "42");
    Press(15);
    ASSERT_TRUE(Open());
    EXPECT_EQ(Text(), "42");
    sink.Expect(MsgKind::OkCancel, "1銘柄を注目登録しますか？", kAnswerCancel);
    Click("CMD_OK");
    Click("CMD_cancel");

    // After a search the shown issue can lie past the list's rows: no cell to read.
    IssueSelection().CurrentIssuePos = SelectionWindow().Grid().Rows() + 5;
    EXPECT_EQ(InitialChuumokuNumber(), "1");
}

TEST_F(WatchNumberDialogTest, TheListWithoutSelectionRefusesAndTextDataIgnoresTheButton) {
    SelectionWindow().Grid().SetRow(0);
    ClearSelectedRows();
    sink.Expect(MsgKind::Warn, "対象となる銘柄を選択してください。");
    Press(15);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_FALSE(Open());

    SelectRows(1, 2);
    TextData().TextDataMode = -1;
    Press(15);
    EXPECT_FALSE(Open());
    TextData().TextDataMode = 0;
}

}  // namespace
