// ctest-labels: maintenance issueattr charts
// The issue attribute window: the entry shown, the index rule, the combos by code, the
// code check, stepping, closing and the merge candidates.
#include <QTest>

#include "issue_edit_window_cases.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, IssueAttributes, testing::Values(TestEngine::Sqlite));

TEST_P(IssueAttributes, AnIndexIssueShowsLabelsAndChangesOnlyItsWatchNumberAndMemo) {
    ASSERT_NE(Open(1, 1), nullptr);
    const std::string id = IdOfRow(1);
    ASSERT_EQ(id, "0101100");
    FRM_銘柄修正* window = IssueEditWindow();
    for (const char* label : {"LBL_コード指標", "LBL_銘柄名指標", "LBL_市場指標", "LBL_業種指標"})
        EXPECT_TRUE(Get<QLabel>(label)->isVisibleTo(window)) << label;
    for (const char* input : {"TXT_コード", "TXT_銘柄名"})
        EXPECT_FALSE(Get<QLineEdit>(input)->isVisibleTo(window)) << input;
    EXPECT_FALSE(Get<QComboBox>("CBO_市場")->isVisibleTo(window));
    EXPECT_EQ(TextOf("LBL_コード指標"), "0101");
    EXPECT_EQ(TextOf("LBL_銘柄名指標"), "総合指数");
    EXPECT_EQ(TextOf("LBL_市場指標"), "指標");
    EXPECT_FALSE(Get<QPushButton>("CMD_検索")->isEnabled());
    EXPECT_FALSE(Get<FlexGrid>("FGR_該当銘柄")->isEnabled());
    const std::vector<std::string> before = Stored(id);

    SetWatch(true, "12");
    Type("TXT_メモ", "指数のメモ");
    ScriptedSink sink;
    Press("CMD_OK");
    EXPECT_TRUE(sink.Shown().empty());
    EXPECT_EQ(IssueEditWindow(), nullptr);
    // An index issue has no industry: "00" is stored for it.
    EXPECT_EQ(Stored(id), (std::vector<std::string>{before[0], "12", "100", "00", "指数のメモ"}));
    EXPECT_EQ(FindChuumoku("0101100"), "12");
    EXPECT_EQ(FindMemo("0101100"), "指数のメモ");
    EXPECT_EQ(Grid().TextMatrix(RowOfIssue(id), 3), "12") << "the list is reloaded";
}

TEST_P(IssueAttributes, MarketsAndIndustriesAreShownAndStoredByTheirCodes) {
    // 1306 is listed on 011, which comes after the indices' "100" in display order; 1308's
    // industry 9999 has no row in TBL業種.
    ASSERT_NE(Open(10, 12), nullptr);
    ASSERT_EQ(IdOfRow(10), "1306011");
    EXPECT_EQ(Get<QComboBox>("CBO_市場")->count(), 11) << "every market but the indices'";
    EXPECT_EQ(Get<QComboBox>("CBO_市場")->findText(QStringLiteral("指標")), -1);
    EXPECT_EQ(SelectedCode("CBO_市場"), "011");
    EXPECT_EQ(Get<QComboBox>("CBO_市場")->currentText().toStdString(), "西部市場一部");
    EXPECT_EQ(SelectedCode("CBO_業種"), "3200");
    EXPECT_EQ(Get<QComboBox>("CBO_業種")->currentText().toStdString(), "化学");
    SelectCode("CBO_業種", "0050");
    Press("CMD_適用");
    EXPECT_EQ(Stored("1306011")[2], "011");
    EXPECT_EQ(Stored("1306011")[3], "0050");
    EXPECT_EQ(SelectedCode("CBO_業種"), "0050");
}

TEST_P(IssueAttributes, AnUnlistedMarketOrIndustryKeepsTheEntrysOwnCode) {
    // The list was filled while 040 was listed; the window reads TBL市場 when it opens.
    Daily("DELETE FROM TBL市場 WHERE 市場コード = '040'");
    ASSERT_NE(Open(11, 12), nullptr);
    ASSERT_EQ(IdOfRow(12), "1308040");
    EXPECT_EQ(SelectedCode("CBO_市場"), "012");
    IssueEditWindow()->GoNextIssue();
    EXPECT_EQ(SelectedCode("CBO_市場"), "(none)");
    EXPECT_EQ(SelectedCode("CBO_業種"), "(none)");
    EXPECT_EQ(TextOf("LBL_対象銘柄"), "1308    銘柄1308");
    Type("TXT_銘柄名", "改名");
    ScriptedSink sink;
    Press("CMD_適用");
    EXPECT_TRUE(sink.Shown().empty());
    EXPECT_EQ(Stored("1308040"), (std::vector<std::string>{"改名", "0", "040", "9999", ""}));
}

TEST_P(IssueAttributes, TheCodeCheckTakesFourDigitsFullWidthIncluded) {
    ASSERT_NE(Open(5, 5), nullptr);
    ScriptedSink sink;
    Type("TXT_コード", "１３０１");
    Leave("TXT_コード");
    EXPECT_EQ(TextOf("TXT_コード"), "1301");
    for (const char* refused : {"130", "-130", "13a1", ""}) {
        Type("TXT_コード", refused);
        sink.Expect(MsgKind::Warn, "証券ｺｰﾄﾞを正しく入力してください。");
        Leave("TXT_コード");
        EXPECT_EQ(TextOf("TXT_コード"), refused) << "the text stays as typed";
    }
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(AcceptedSecurityCode("１３０１"), "1301");
}

TEST_P(IssueAttributes, SteppingStopsAtBothEndsAndClosingReloadsOnlyAfterAnApply) {
    ASSERT_NE(Open(5, 7), nullptr);
    FRM_銘柄修正* window = IssueEditWindow();
    QToolButton* up = Get<UpDownSpinner>("UPD_Next")->UpButton();
    QToolButton* down = Get<UpDownSpinner>("UPD_Next")->DownButton();
    EXPECT_EQ(TextOf("LBL_位置"), "1");
    EXPECT_EQ(TextOf("LBL_選択数"), "3");
    down->click();
    EXPECT_EQ(window->EntryPos(), 1);
    up->click();
    up->click();
    EXPECT_EQ(window->EntryPos(), 3);
    EXPECT_EQ(TextOf("TXT_コード"), "1303");

    // A search on the merge tab, then a step that cannot move: the target goes all the same.
    Get<QTabWidget>("STB_銘柄修正")->setCurrentIndex(1);
    Press("CMD_検索");
    FlexGrid* candidates = Get<FlexGrid>("FGR_該当銘柄");
    ASSERT_EQ(candidates->Rows(), 2);
    up->click();
    EXPECT_EQ(window->EntryPos(), 3);
    EXPECT_EQ(candidates->Rows(), 1);

    // Closing without an apply leaves the list as it is.
    Grid().SetTextMatrix(5, 4, "marked");
    Press("CMD_cancel");
    EXPECT_EQ(IssueEditWindow(), nullptr);
    EXPECT_EQ(Grid().TextMatrix(5, 4), "marked");
    EXPECT_EQ(IssueSelection().SelectedCount(), 0);
    EXPECT_TRUE(IssueSelection().IssueWorkArray.empty());
    EXPECT_TRUE(MainFrame().isEnabled());

    // The toolbar's 修正 opens the window as the menu item does.
    SelectRows(5, 5);
    MainFrame().ToolbarButton(16)->trigger();
    ASSERT_NE(IssueEditWindow(), nullptr);
    Press("CMD_適用");
    Press("CMD_cancel");
    EXPECT_EQ(Grid().TextMatrix(5, 4), "銘柄1301");
}

TEST_P(IssueAttributes, TheMergeTabListsTheCodesListingsAndShowsTheChosenOne) {
    // A third listing of 9901, on 中部 (display order 4), ahead of 011 and 012.
    Daily(
        "INSERT INTO TBL銘柄属性 (銘柄ID, 銘柄名, 証券コード, 市場コード, 業種コード) VALUES "
        "('9901030', '中部の移籍銘柄', '9901', '030', '3650')");
    ASSERT_NE(Open(17, 17, 1), nullptr);
    ASSERT_EQ(Get<QTabWidget>("STB_銘柄修正")->currentIndex(), 1);
    for (const char* label : {"LBL_コード", "LBL_市場", "LBL_銘柄名"}) EXPECT_EQ(TextOf(label), "");
    Press("CMD_検索");
    FlexGrid* candidates = Get<FlexGrid>("FGR_該当銘柄");
    ASSERT_EQ(candidates->Rows(), 4);
    std::vector<std::string> markets;
    for (int row = 1; row < 4; ++row) markets.push_back(candidates->TextMatrix(row, 2));
    EXPECT_EQ(markets, (std::vector<std::string>{"中部市場", "西部市場一部", "西部市場二部"}));
    EXPECT_TRUE(IssueSearch().CodeText.empty()) << "the search text is the search's own";

    // Row 0 of the grid is its header: grid row 2 is the model's row 1.
    const QRect second = candidates->visualRect(candidates->model()->index(1, 1));
    QTest::mouseClick(candidates->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(TextOf("LBL_コード"), "9901");
    EXPECT_EQ(TextOf("LBL_市場"), "西部市場一部");
    EXPECT_EQ(TextOf("LBL_銘柄名"), "移籍銘柄");
    EXPECT_EQ(IssueEditWindow()->MergeTargetId(), "9901011");

    // Issues are not merged: OK and 適用 on this tab write and say nothing.
    const std::vector<std::string> before = Stored("9901011");
    ScriptedSink sink;
    Press("CMD_OK");
    Press("CMD_適用");
    EXPECT_TRUE(sink.Shown().empty());
    ASSERT_NE(IssueEditWindow(), nullptr);
    EXPECT_EQ(TextOf("LBL_市場"), "西部市場一部");
    EXPECT_EQ(Stored("9901011"), before);
    EXPECT_FALSE(IssueEditWindow()->Applied());

    // A search that finds nothing.
    Daily("DELETE FROM TBL銘柄属性 WHERE 証券コード = '9901'");
    sink.Expect(MsgKind::Info, "指定された銘柄は見つかりませんでした。");
    Press("CMD_検索");
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(candidates->Rows(), 1);
    EXPECT_EQ(TextOf("LBL_市場"), "");
}

// An apply shows the entry again; the watch box moves the focus only when its tick changes.
TEST_P(IssueAttributes, AnApplyLeavesTheFocusWhereTheUserWasUnlessTheWatchTickChanges) {
    FRM_銘柄修正* window = Open(5, 5);
    ASSERT_NE(window, nullptr);
    ScriptedSink sink;
    QLineEdit* memo = Get<QLineEdit>("TXT_メモ");
    SetWatch(true, "12");
    memo->setFocus();
    Press("CMD_適用");
    EXPECT_EQ(window->focusWidget(), memo) << "the tick stayed on: the focus stays in the memo";
    EXPECT_TRUE(Get<QLineEdit>("TXT_注目")->isEnabled());

    // 150 is no watch number: the tick goes off on reload and the box is disabled.
    SetWatch(true, "150");
    memo->setFocus();
    Press("CMD_適用");
    EXPECT_FALSE(Get<QCheckBox>("CHK_注目")->isChecked());
    EXPECT_FALSE(Get<QLineEdit>("TXT_注目")->isEnabled());
    EXPECT_EQ(TextOf("TXT_注目"), "1");
    EXPECT_TRUE(sink.Shown().empty());
}
