// ctest-labels: datatable integrity
// The price data table window: opened from the list and from a chart view, stepping
// through the selection, the in-grid editors and the wheel; and the saves on SQLite.
#include <QWheelEvent>

#include "data_table_save_cases.h"
#include "support/modal.h"
#include "ui/state.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, DataTableTest, testing::Values(TestEngine::Sqlite));

namespace {

std::string Caption(const std::string& id) {
    const RecordsetPtr& list = IssueList().IssueListRecordset;
    for (int position = 0; position < list->RecordCount(); ++position) {
        const auto& row = list->Row(position);
        auto text = [&](const char* name) { return FieldText(row.at(list->FieldIndex(name))); };
        if (text("銘柄ID") == id)
            return text("証券コード") + "  " + text("略称") + "  " + text("銘柄名");
    }
    return {};
}

}  // namespace

TEST_P(DataTableTest, OpenedFromTheListItStepsThroughTheSelection) {
    SelectIssues(kLongIssue, kEmptyIssue);
    WithTable([&](FRM_データ表& window) {
        EXPECT_EQ(window.windowTitle().toStdString(), "ﾃﾞｰﾀ表");
        EXPECT_EQ(window.parentWidget(), &MainFrame());
        EXPECT_EQ(GridWheel().CurrentFormName, "FRM_データ表");
        EXPECT_EQ(Label(window, "LBL_Name"), Caption(kLongIssue));
        EXPECT_EQ(Label(window, "LBL_位置"), "1");
        EXPECT_EQ(Label(window, "LBL_選択数"), "3");
        EXPECT_TRUE(window.findChild<QWidget*>("UPD_Name")->isEnabled());
        FlexGrid& grid = window.Grid();
        ASSERT_EQ(grid.Rows(), 41);
        EXPECT_EQ(grid.RowCells(1),
                  (FlexGrid::GridRow{"", "", "2024/02/09", "139", "0", "129", "144", "1,039"}));
        EXPECT_EQ(grid.TextMatrix(40, kDtColDate), "2024/01/01");
        EXPECT_EQ(grid.Row(), 1);
        EXPECT_EQ(grid.Col(), kDtColDate);

        window.UPD_Name_DownClick();  // the first issue: nothing, nothing asked
        EXPECT_EQ(Label(window, "LBL_位置"), "1");
        window.UPD_Name_UpClick();
        EXPECT_EQ(Label(window, "LBL_位置"), "2");
        EXPECT_EQ(Label(window, "LBL_Name"), Caption(kOneRowIssue));
        EXPECT_EQ(window.TableIssueId, kOneRowIssue);
        EXPECT_EQ(grid.Rows(), 2);
        window.UPD_Name_UpClick();
        EXPECT_EQ(window.TableIssueId, kEmptyIssue);
        EXPECT_EQ(grid.Rows(), 1) << "an issue without rows: the header only";
        EXPECT_FALSE(grid.isEnabled());
        window.UPD_Name_UpClick();  // the last issue: nothing
        EXPECT_EQ(Label(window, "LBL_位置"), "3");
    });
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 2);
}

TEST_P(DataTableTest, OneSelectedIssueIsOneOfOne) {
    WithIssueTable(kOneRowIssue, [&](FRM_データ表& window) {
        EXPECT_EQ(Label(window, "LBL_位置"), "1");
        EXPECT_EQ(Label(window, "LBL_選択数"), "1");
        TypeValue(window, 1, kDtColVolume, "7");
        window.UPD_Name_UpClick();
        window.UPD_Name_DownClick();
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColVolume), "7") << "no step, no question";
    });
}

TEST_P(DataTableTest, OpenedFromAChartViewItShowsThatViewsIssue) {
    // The chart needs every price of its rows.
    Run("UPDATE TBL日次 SET 高値 = 150, 終値 = 140, 出来高 = 1 WHERE 銘柄ID = ? AND 日付 >= ?",
        {std::string(kLongIssue), int64_t{20240208}});
    SelectIssues(kLongIssue, kOneRowIssue);
    DoCommand(5);
    ASSERT_EQ(Views().ViewKind, 5);
    DoCommand(25);
    ASSERT_EQ(IssueSelection().CurrentIssuePos, 1);
    WithTable([&](FRM_データ表& window) {
        EXPECT_EQ(Label(window, "LBL_Name"), Caption(kOneRowIssue));
        EXPECT_EQ(Label(window, "LBL_位置"), "1");
        EXPECT_EQ(Label(window, "LBL_選択数"), "1");
        EXPECT_FALSE(window.findChild<QWidget*>("UPD_Name")->isEnabled());
        EXPECT_EQ(window.Grid().Rows(), 2);
    });
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 1);
}

TEST_P(DataTableTest, CancelOnTheSpinnerMovesOnCancelOnOkKeepsTheWindow) {
    SelectIssues(kLongIssue, kOneRowIssue);
    WithTable([&](FRM_データ表& window) {
        TypeValue(window, 1, kDtColVolume, "5000");
        window.DeleteRows(3, 3);
        sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerCancel);
        window.UPD_Name_UpClick();
        EXPECT_EQ(window.TableIssueId, kOneRowIssue);
        EXPECT_TRUE(window.Rows().DeletedDates().empty());
        window.UPD_Name_DownClick();  // nothing changed on this issue: no question
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColVolume), "1,039") << "the edit is gone";
        EXPECT_EQ(window.Grid().Rows(), 41);

        TypeValue(window, 1, kDtColVolume, "5000");
        sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerCancel);
        window.CMD_OK_Click();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColState), "Change");
        window.CMD_cancel_Click();
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(StoredRow(kLongIssue, 20240209)[4], FieldValue{1039.0});
    EXPECT_EQ(StoredCount(kLongIssue), 40);
}

TEST_P(DataTableTest, TheTextEditorTakesDigitsAndRefusesAZeroClose) {
    WithIssueTable(kOneRowIssue, [&](FRM_データ表& window) {
        // An emptied box is 0: an open may be 0, and the low follows it down.
        TypeValue(window, 1, kDtColOpen, "");
        EXPECT_EQ(window.Grid().RowCells(1),
                  (FlexGrid::GridRow{"", "Change", "2024/01/05", "0", "520", "0", "510", "100"}));
        // Signs and separators cannot be typed.
        TypeValue(window, 1, kDtColHigh, "-1,2x3");
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColHigh), "123");
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColClose), "123");

        sink_.Expect(MsgKind::Warn, kDtAboveZero);
        TypeValue(window, 1, kDtColClose, "");
        EXPECT_TRUE(TextEditor(window)->isVisible()) << "a refused value keeps the editor";
        EXPECT_EQ(window.EditRefused, -1);
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColClose), "123");
        QTest::keyClick(TextEditor(window), Qt::Key_Escape);
        EXPECT_FALSE(TextEditor(window)->isVisible());
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColClose), "123");
        EXPECT_EQ(TextEditor(window)->maxLength(), 9);
        TypeValue(window, 1, kDtColVolume, "123456789012345");
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColVolume), "12,345,678,901");
    });
    EXPECT_TRUE(sink_.AllShown());
}

TEST_P(DataTableTest, TheDateEditorMovesARowOnlyWhenConfirmed) {
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        const FlexGrid::GridRow before = window.Grid().RowCells(2);
        PickDate(window, 2, QDate(2024, 2, 8));  // the same date: closes silently
        sink_.Expect(MsgKind::Warn, kDtDuplicateDate);
        PickDate(window, 2, QDate(2024, 2, 9));
        sink_.Expect(MsgKind::OkCancel, kDtRedateQuestion, kAnswerCancel);
        PickDate(window, 2, QDate(2024, 3, 1));
        EXPECT_FALSE(DateEditor(window)->isVisible());
        EXPECT_EQ(window.Grid().RowCells(2), before);
        EXPECT_EQ(window.Grid().Rows(), 41);
        EXPECT_TRUE(window.Rows().DeletedDates().empty());

        // Moved back in time, it finds its place in the date order.
        sink_.Expect(MsgKind::OkCancel, kDtRedateQuestion, kAnswerOk);
        PickDate(window, 1, QDate(2023, 12, 31));
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColDate), "2024/02/08");
        EXPECT_EQ(window.Grid().TextMatrix(40, kDtColDate), "2023/12/31");
        EXPECT_EQ(window.Grid().TextMatrix(40, kDtColState), "Add");
        EXPECT_EQ(window.Grid().Row(), 40);
    });
    EXPECT_TRUE(sink_.AllShown());
}

TEST_P(DataTableTest, TheWheelDoesNotScrollOverARefusedValue) {
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        FlexGrid& grid = window.Grid();
        auto turn = [&grid] {
            const QPointF at(10, 10);
            QWheelEvent wheel(at, grid.viewport()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(grid.viewport(), &wheel);
        };
        grid.SetRow(1);
        grid.SetCol(kDtColVolume);
        window.FGR_日次_DblClick();
        TextEditor(window)->setText("0");
        sink_.Expect(MsgKind::Warn, kDtAboveZero);
        turn();
        EXPECT_EQ(grid.TopRow(), 1);
        EXPECT_TRUE(TextEditor(window)->isVisible());
        EXPECT_EQ(GridWheel().EditRejected, -1);

        TextEditor(window)->setText("42");
        turn();
        EXPECT_EQ(grid.TopRow(), 2);
        EXPECT_FALSE(TextEditor(window)->isVisible());
        EXPECT_EQ(grid.TextMatrix(1, kDtColVolume), "42");
    });
    EXPECT_TRUE(sink_.AllShown());
}

TEST_P(DataTableTest, AFailedLoadShowsNoRowsAndAllowsNoAdding) {
    SelectIssues(kLongIssue, kOneRowIssue);
    WithTable([&](FRM_データ表& window) {
        auto* add = window.findChild<QWidget*>("CMD_Add");
        EXPECT_TRUE(add->isEnabled());
        window.DeleteRows(1, 1);
        Run("ALTER TABLE TBL日次 RENAME TO TBL日次_退避");
        sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerCancel).Expect(MsgKind::Warn);
        window.UPD_Name_UpClick();
        EXPECT_EQ(window.TableIssueId, kOneRowIssue);
        EXPECT_EQ(window.Grid().Rows(), 1) << "no row of the issue before";
        EXPECT_FALSE(window.Grid().isEnabled());
        EXPECT_FALSE(add->isEnabled());
        EXPECT_TRUE(window.Rows().DeletedDates().empty());
        window.CMD_OK_Click();  // nothing to save over rows never read
        EXPECT_FALSE(window.isVisible());
        Run("ALTER TABLE TBL日次_退避 RENAME TO TBL日次");
    });
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(StoredCount(kLongIssue), 40);
    EXPECT_EQ(StoredCount(kOneRowIssue), 1);
}
