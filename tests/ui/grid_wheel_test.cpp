// ctest-labels: grid
#include "ui/grid_wheel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <functional>

#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "support/scripted_sink.h"

namespace {

void Turn(FlexGrid& grid, int delta) {
    const QPointF at(10, 10);
    QWheelEvent event(at, grid.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid.viewport(), &event);
}

// A list window with a grid of `rows` data rows and the two in-grid editors, hidden.
struct ListWindow {
    QWidget window;
    FlexGrid* grid = new FlexGrid;
    QLineEdit* text = new QLineEdit;
    QDateEdit* date = new QDateEdit;

    explicit ListWindow(int rows) {
        window.setObjectName("FRM_データ表");
        grid->setObjectName("FGR_日次");
        text->setObjectName("TXT_Edit");
        date->setObjectName("DPC_Edit");
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(grid);
        layout->addWidget(text);
        layout->addWidget(date);
        text->hide();
        date->hide();
        grid->SetCols(2);
        grid->SetRows(1);
        for (int i = 1; i <= rows; ++i) grid->AddItem(std::to_string(i) + "\tx");
        window.resize(300, 260);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};

class GridWheelTest : public ::testing::Test {};

}  // namespace

TEST_F(GridWheelTest, OneNotchMovesOneRow) {
    ListWindow list(60);
    InstallGridWheel(*list.grid, "FRM_選択");
    Turn(*list.grid, 120);  // nothing above the top
    EXPECT_EQ(list.grid->TopRow(), 1);
    Turn(*list.grid, -120);
    EXPECT_EQ(list.grid->TopRow(), 2);
    Turn(*list.grid, -60);  // half a notch waits for the other half
    EXPECT_EQ(list.grid->TopRow(), 2);
    Turn(*list.grid, -60);
    EXPECT_EQ(list.grid->TopRow(), 3);
    Turn(*list.grid, -240);  // two notches in one turn
    EXPECT_EQ(list.grid->TopRow(), 5);
    Turn(*list.grid, 120);
    EXPECT_EQ(list.grid->TopRow(), 4);
}

TEST_F(GridWheelTest, RowsThatAllFitDoNotScroll) {
    // Header 240 twips, grid 4800 twips: v = 20. Twenty rows fit the selection list
    // (20 >= 20) but count one row short in the other windows (20 < 21).
    FlexGrid grid;
    grid.SetRows(20);
    grid.SetRowHeight(0, 240);
    grid.resize(200, 4800 / 15);
    EXPECT_FALSE(GridHasHiddenRows(grid, "FRM_選択"));
    EXPECT_FALSE(GridHasHiddenRows(grid, ""));
    EXPECT_TRUE(GridHasHiddenRows(grid, "FRM_銘柄検索"));
    grid.SetRows(21);
    EXPECT_TRUE(GridHasHiddenRows(grid, "FRM_選択"));
    ListWindow list(3);
    InstallGridWheel(*list.grid, "FRM_選択");
    Turn(*list.grid, -120);
    EXPECT_EQ(list.grid->TopRow(), 1);
}

TEST_F(GridWheelTest, RefusedEditorValueStopsTheScroll) {
    ListWindow list(60);
    std::string typed;
    int textCommits = 0, dateCommits = 0;
    GridEditors editors;
    editors.window = &list.window;
    // The data table's commit: refuses a non-number with its own message.
    editors.TXT_Edit_LostFocus = [&] {
        ++textCommits;
        GridWheel().EditRejected = 0;
        if (list.text->text() == "abc") {
            MsgWarn("数値を入力してください。");
            GridWheel().EditRejected = -1;
            return;
        }
        list.text->hide();
    };
    editors.DPC_Edit_LostFocus = [&] {
        ++dateCommits;
        list.date->hide();
    };
    InstallGridWheel(*list.grid, "FRM_データ表", editors);

    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "数値を入力してください。");
    list.text->setText("abc");
    list.text->show();
    Turn(*list.grid, -120);
    EXPECT_EQ(list.grid->TopRow(), 1);
    EXPECT_TRUE(sink.AllShown());

    list.text->setText("120");
    Turn(*list.grid, -120);  // committed, then the list moves
    EXPECT_EQ(list.grid->TopRow(), 2);
    EXPECT_EQ(textCommits, 2);

    // The date editor commits and the list moves whatever EditRejected holds.
    GridWheel().EditRejected = -1;
    list.date->show();
    Turn(*list.grid, -120);
    EXPECT_EQ(list.grid->TopRow(), 3);
    EXPECT_EQ(dateCommits, 1);
}

TEST_F(GridWheelTest, StaleRefusalDoesNotStopAnotherWindow) {
    // The portfolio's commit leaves EditRejected alone; a refusal the data table made
    // earlier must not hold its list still.
    ListWindow list(60);
    GridEditors editors;
    editors.window = &list.window;
    editors.TXT_Edit_LostFocus = [&] { list.text->hide(); };
    InstallGridWheel(*list.grid, "FRM_PF", editors);
    GridWheel().EditRejected = -1;
    list.text->show();
    Turn(*list.grid, -120);
    EXPECT_EQ(list.grid->TopRow(), 2);
}

TEST_F(GridWheelTest, TurnDuringACommitAndFailuresLeaveTheWheelWorking) {
    ListWindow list(60);
    GridEditors editors;
    editors.window = &list.window;
    int nested = 0;
    bool fail = false;
    editors.TXT_Edit_LostFocus = [&] {
        if (fail) throw std::runtime_error("commit failed");
        // A wheel turn while the commit runs (as under a message box) does not scroll.
        ++nested;
        Turn(*list.grid, -120);
        Turn(*list.grid, -120);
    };
    InstallGridWheel(*list.grid, "FRM_データ表", editors);
    list.text->show();
    Turn(*list.grid, -120);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(list.grid->TopRow(), 2);

    fail = true;  // a failing commit ends the step silently, without scrolling
    Turn(*list.grid, -120);
    EXPECT_EQ(list.grid->TopRow(), 2);
    fail = false;
    Turn(*list.grid, -120);
    EXPECT_EQ(list.grid->TopRow(), 3);

    list.text->setObjectName("TXT_Other");  // a missing editor: no scroll, no message
    Turn(*list.grid, -120);
    EXPECT_EQ(list.grid->TopRow(), 3);
}
