// ctest-labels: app
#include "views/selection_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/state.h"
#include "platform/flex_grid.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"
#include "ui/grid_wheel.h"
#include "views/list_services.h"
#include "views/main_frame.h"

namespace {

// The menus that work on the database, which a text-data series does not come from.
constexpr const char* kTextDataDisabledMenus[] = {
    "MNU_メールデータ", "MNU_手動分析", "MNU_銘柄情報", "MNU_注目", "MNU_DB", "MNU_先行観測"};

// The selection window shown in the main frame, with routines that record their calls.
class SelectionWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetProgramEnd([this] { ++programEnds; });
        auto& r = Selection().Routines;
        r.ShowKagiView = [this] { calls.push_back("ShowKagiView"); };
        r.ShowDailyView = [this] { calls.push_back("ShowDailyView"); };
        r.PrintCommand = [this] { calls.push_back("PrintCommand"); };
        r.ShowIssueEdit = [this] { calls.push_back("ShowIssueEdit"); };
        r.ShowPortfolio = [this](int32_t tab) {
            calls.push_back("ShowPortfolio" + std::to_string(tab));
        };
        r.RunObservation = [this] { calls.push_back("RunObservation"); };
        ShowSelectionList();
        frame = &MainFrame();
        window = &SelectionWindow();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    }
    void TearDown() override {
        DestroyMainFrame();
        SetProgramEnd(nullptr);
    }

    QAction* Item(const char* name) const {
        QAction* action = window->MenuItem(name);
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    FlexGrid& Grid() const { return window->Grid(); }
    // A hidden item is disabled while hidden; its own setting shows once it is visible.
    bool EnabledWhenShown(const char* name) const {
        QAction* action = Item(name);
        const bool visible = action->isVisible();
        action->setVisible(true);
        const bool enabled = action->isEnabled();
        action->setVisible(visible);
        return enabled;
    }
    // A list of three issues with codes in column 2, as the list fill leaves it.
    void FillGrid() {
        FlexGrid& grid = Grid();
        grid.SetRows(1);
        grid.AddItem("1\t1\t1301\t\tA");
        grid.AddItem("2\t1\t7203\t\tB");
        grid.AddItem("3\t1\t4502\t\tC");
        grid.SetCol(0);
        grid.SetRow(0);
    }
    void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(frame, key, modifiers);
    }

    TempAppFolder folder;
    ScriptedSink sink;
    MDF_メイン* frame = nullptr;
    FRM_選択* window = nullptr;
    std::vector<std::string> calls;
    int programEnds = 0;
};

TEST_F(SelectionWindowTest, MenuBarOfTheFrameShowsTheWindowsMenusInOrder) {
    QStringList captions;
    for (QAction* action : frame->menuBar()->actions()) {
        if (action->isVisible()) captions << action->text();
    }
    EXPECT_EQ(captions,
              (QStringList{"ﾌｧｲﾙ(&F)", "検索(&S)", "罫線(&C)", "編集(&E)", "ﾂｰﾙ(&T)", "ﾍﾙﾌﾟ(&H)"}));
    // The 編集 menu opens with its separator, since the manual analysis above it is hidden.
    QMenu* edit = Item("MNU_編集")->menu();
    ASSERT_NE(edit, nullptr);
    QAction* first = nullptr;
    for (QAction* action : edit->actions()) {
        if (action->isVisible()) {
            first = action;
            break;
        }
    }
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isSeparator());
    EXPECT_EQ(first->objectName(), "区分線e01");
}

// Every row of the menu table is built where the table puts it, in its order, with its
// caption, shortcut and visibility; no two items share a shortcut.
TEST_F(SelectionWindowTest, MenuItemsCarryTheirCaptionsShortcutsAndVisibility) {
    // The Load handler hides these besides the rows created hidden.
    const std::set<std::string> hiddenOnLoad = {"MNU_データ取得", "MNU_DB", "MNU_手動分析"};
    std::map<std::string, QStringList> rowsIn;  // by parent, "" for the menu bar
    std::set<QKeySequence> shortcuts;
    size_t withShortcut = 0;
    for (const MenuRow& row : SelectionMenuTable()) {
        QAction* action = Item(row.name);
        ASSERT_NE(action, nullptr);
        const bool isMenu = row.kind == MenuKind::Top || row.kind == MenuKind::Submenu;
        EXPECT_EQ(action->isSeparator(), row.kind == MenuKind::Separator) << row.name;
        EXPECT_EQ(action->menu() != nullptr, isMenu) << row.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(row.caption)) << row.name;
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromUtf8(row.shortcut))) << row.name;
        EXPECT_EQ(action->isVisible(), !row.hidden && hiddenOnLoad.count(row.name) == 0)
            << row.name;
        rowsIn[row.parent] << QString::fromUtf8(row.name);
        if (action->shortcut().isEmpty()) continue;
        ++withShortcut;
        shortcuts.insert(action->shortcut());
    }
    EXPECT_GT(withShortcut, 0u);
    EXPECT_EQ(shortcuts.size(), withShortcut) << "two items share a shortcut";
    for (const auto& [parent, names] : rowsIn) {
        const QWidget* holder = parent.empty() ? static_cast<QWidget*>(window->MenuBar())
                                               : Item(parent.c_str())->menu();
        ASSERT_NE(holder, nullptr) << parent;
        QStringList built;
        for (const QAction* action : holder->actions()) built << action->objectName();
        EXPECT_EQ(built, names) << parent;
    }
}

TEST_F(SelectionWindowTest, ShortcutsReachOnlyItemsTheUserCanSee) {
    FillGrid();
    Grid().SetRow(1);
    PressKey(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(calls, (std::vector<std::string>{"ShowKagiView"}));
    EXPECT_EQ(IssueSelection().SelectedRows, (std::vector<int32_t>{0}));
    calls.clear();
    // With the header row current nothing is selected: the view is not opened.
    Grid().SetRow(0);
    sink.Expect(MsgKind::Warn, "対象となる銘柄を選択してください。");
    PressKey(Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(calls.empty());
    // Ctrl+I belongs to the hidden data menu: nothing happens.
    int acquired = 0;
    Selection().Routines.AcquireData = [&acquired](bool) { ++acquired; };
    PressKey(Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(acquired, 0);
    PressKey(Qt::Key_B, Qt::ControlModifier);
    PressKey(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(calls, (std::vector<std::string>{"ShowPortfolio0", "RunObservation"}));
    EXPECT_EQ(Selection().ObservationOrder, 0);
    Item("MNU_逆次")->trigger();
    EXPECT_EQ(Selection().ObservationOrder, -1);
}

TEST_F(SelectionWindowTest, ItemsWithoutTheirRoutineYetDoNothing) {
    Selection() = SelectionState{};
    const char* later[] = {
        "MNU_印刷",     "MNU_DGWeb",      "MNU_メールデータ", "MNU_テキストデータ",
        "MNU_複数条件", "MNU_コード検索", "MNU_銘柄名検索",   "MNU_手動分析",
        "MNU_銘柄修正", "MNU_注目指定",   "MNU_注目取消",     "MNU_PF00",
        "MNU_PF03",     "MNU_データ表",   "MNU_ユーザ設定",   "MNU_鈎足判定",
        "MNU_順次",     "MNU_逆次",       "MNU_最適化"};
    for (const char* name : later) Item(name)->trigger();
    EXPECT_EQ(TextData().TextDataMode, 0);
    EXPECT_EQ(programEnds, 0);
    EXPECT_TRUE(MainFrameExists());
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(SelectionWindowTest, DoubleClickAndEnterOpenTheKagiChartOnlyFromADataRow) {
    FillGrid();
    // Right after a fill the current row is the header: Enter does nothing.
    QTest::keyClick(&Grid(), Qt::Key_Return);
    EXPECT_TRUE(calls.empty());

    Grid().SetRow(2);
    QTest::keyClick(&Grid(), Qt::Key_Return);
    EXPECT_EQ(calls, (std::vector<std::string>{"ShowKagiView"}));
    EXPECT_EQ(IssueSelection().SelectedRows, (std::vector<int32_t>{1}));
    calls.clear();

    const QRect cell = Grid().visualRect(Grid().model()->index(2, 2));
    QTest::mouseDClick(Grid().viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(calls, (std::vector<std::string>{"ShowKagiView"}));
    EXPECT_EQ(IssueSelection().SelectedRows, (std::vector<int32_t>{2}));
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 0);
}

TEST_F(SelectionWindowTest, DoubleClickOnTheHeaderOfAnEmptyListDoesNothing) {
    Grid().SetRows(1);
    Grid().SetRow(0);
    QWidget* header = Grid().horizontalHeader()->viewport();
    QTest::mouseDClick(header, Qt::LeftButton, {}, QPoint(header->width() / 2, 5));
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(Grid().Row(), 0);
}

TEST_F(SelectionWindowTest, DoubleClickOnTheHeaderSortsOnceAndOpensTheFirstRow) {
    FillGrid();
    // The first press of a double click is a header click: it sorts and moves to row 1,
    // so the double click that follows opens the issue now at the top.
    QWidget* header = Grid().horizontalHeader()->viewport();
    const QPoint code(Grid().columnViewportPosition(2) + 5, 5);
    QTest::mouseClick(header, Qt::LeftButton, {}, code);
    QTest::mouseDClick(header, Qt::LeftButton, {}, code);
    EXPECT_EQ(Grid().TextMatrix(1, 2), "7203");
    EXPECT_EQ(window->ColumnSortFlags[2], -1);
    EXPECT_EQ(calls, (std::vector<std::string>{"ShowKagiView"}));
    EXPECT_EQ(IssueSelection().SelectedRows, (std::vector<int32_t>{1}));
}

TEST_F(SelectionWindowTest, HeaderClickColumnFollowsTheEdgesAndTheScrolledColumns) {
    // Hidden key columns 0 and 1, then columns 2 .. 16 of 100 twips each.
    std::vector<double> widths = {0, 0};
    for (int c = 2; c <= 16; ++c) widths.push_back(100);
    struct Case {
        int leftCol;
        double x;
        int column;
    };
    const Case cases[] = {
        {1, 0, 2},     {1, 50, 2},    {1, 100, 2},  // a shared edge chooses the lower column
        {1, 100.5, 3}, {1, 1500, 16}, {1, 1500.5, -1}, {1, -1, -1},
        {4, 0, 3},     {4, 1, 4},     {4, 150, 5},     {2, 50, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HeaderClickColumn(widths, c.leftCol, c.x), c.column)
            << "leftCol " << c.leftCol << " x " << c.x;
    }
}

TEST_F(SelectionWindowTest, HeaderClicksSortByColumnAndMoveToTheTop) {
    FillGrid();
    FlexGrid& grid = Grid();
    const double codeX = grid.ColWidth(0) + grid.ColWidth(1) + 10;
    auto codes = [&grid] {
        std::vector<std::string> column;
        for (int r = 1; r < grid.Rows(); ++r) column.push_back(grid.TextMatrix(r, 2));
        return column;
    };
    emit grid.MouseDown(1, 0, codeX, 10);
    EXPECT_EQ(codes(), (std::vector<std::string>{"7203", "4502", "1301"}));
    EXPECT_EQ(window->ColumnSortFlags[2], -1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Col(), 0);
    emit grid.MouseDown(1, 0, codeX, 10);
    EXPECT_EQ(codes(), (std::vector<std::string>{"1301", "4502", "7203"}));

    // Right of the last column: nothing is sorted, but the grid still goes to the top.
    grid.SetRow(3);
    emit grid.MouseDown(1, 0, 1e7, 10);
    EXPECT_EQ(codes(), (std::vector<std::string>{"1301", "4502", "7203"}));
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.TopRow(), 1);

    // Below the header row a click only whitens the background.
    grid.SetBackColor(0x123456);
    grid.SetRow(3);
    emit grid.MouseDown(1, 0, codeX, grid.RowHeight(0) + 50);
    EXPECT_EQ(grid.BackColor(), 0xFFFFFFu);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(codes(), (std::vector<std::string>{"1301", "4502", "7203"}));
}

TEST_F(SelectionWindowTest, HeaderClickOnAScrolledGridSortsTheColumnUnderThePointer) {
    FillGrid();
    FlexGrid& grid = Grid();
    const char* market[] = {"", "3", "1", "2"};
    for (int r = 1; r <= 3; ++r) grid.SetTextMatrix(r, 7, market[r]);
    frame->ClientArea()->activeSubWindow()->resize(400, 300);
    grid.horizontalScrollBar()->setValue(3);
    ASSERT_GT(grid.LeftCol(), 2) << "the grid did not scroll";
    QWidget* header = grid.horizontalHeader()->viewport();
    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(grid.columnViewportPosition(7) + 10, 5));
    EXPECT_EQ(window->ColumnSortFlags[7], -1);
    EXPECT_EQ(grid.TextMatrix(1, 7) + grid.TextMatrix(2, 7) + grid.TextMatrix(3, 7), "321");
}

TEST_F(SelectionWindowTest, DraggingTheBorderBetweenNameAndMarketOnlyResizesTheName) {
    FillGrid();
    FlexGrid& grid = Grid();
    grid.SetTextMatrix(0, 4, "銘柄名");
    grid.SetTextMatrix(0, 5, "市場");
    const char* names[] = {"", "C", "A", "B"};
    for (int r = 1; r <= 3; ++r) grid.SetTextMatrix(r, 4, names[r]);
    const int nameWidth = grid.columnWidth(4);
    QWidget* header = grid.horizontalHeader()->viewport();
    const QPoint border(grid.columnViewportPosition(5), 5);
    QTest::mousePress(header, Qt::LeftButton, {}, border);
    QTest::mouseMove(header, border + QPoint(40, 0));
    QTest::mouseRelease(header, Qt::LeftButton, {}, border + QPoint(40, 0));
    EXPECT_EQ(grid.columnWidth(4), nameWidth + 40);
    EXPECT_EQ(grid.TextMatrix(1, 4) + grid.TextMatrix(2, 4) + grid.TextMatrix(3, 4), "CAB");
    EXPECT_EQ(window->ColumnSortFlags[4], 0);
    EXPECT_EQ(window->ColumnSortFlags[5], 0);
    EXPECT_EQ(grid.Row(), 0);
}

TEST_F(SelectionWindowTest, HeaderClickOnAListWithoutRowsIsHarmless) {
    Grid().SetRows(1);
    emit Grid().MouseDown(1, 0, Grid().ColWidth(0) + Grid().ColWidth(1) + 10, 10);
    EXPECT_EQ(Grid().Rows(), 1);
    EXPECT_EQ(Grid().Col(), 0);
}

TEST_F(SelectionWindowTest, TextDataModeDisablesTheSixMenusAndShowsTheFile) {
    Selection().Routines.ShowTextDataWindow = [] { TextData().TextDataTitle = "sample.txt"; };
    // The text-data item sits in the hidden data menu; its routine is what is tested.
    Item("MNU_テキストデータ")->trigger();
    EXPECT_EQ(TextData().TextDataMode, 0) << "the item cannot be reached while its menu is hidden";

    Item("MNU_データ取得")->setVisible(true);
    Item("MNU_テキストデータ")->trigger();
    ASSERT_EQ(TextData().TextDataMode, -1);
    for (const char* name : kTextDataDisabledMenus) EXPECT_FALSE(EnabledWhenShown(name)) << name;
    EXPECT_TRUE(Item("MNU_罫線")->isEnabled());
    EXPECT_TRUE(Item("MNU_印刷")->isEnabled());
    EXPECT_EQ(Grid().Rows(), 2);
    EXPECT_EQ(Grid().TextMatrix(1, 4), "sample.txt");
    EXPECT_EQ(Grid().BackColor(), Grid().BackColorSel());
    EXPECT_EQ(frame->cursor().shape(), Qt::ArrowCursor);

    // Printing is skipped in text-data mode, but the quick-print flag is still cleared.
    Selection().QuickPrintFlag = -1;
    PressKey(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(Selection().QuickPrintFlag, 0);
    EXPECT_TRUE(calls.empty());
    // The disabled issue menu's shortcut does not reach its item.
    PressKey(Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(calls.empty());

    TextData().TextDataMode = 0;
    UpdateSelectionMenus();
    for (const char* name : kTextDataDisabledMenus) EXPECT_TRUE(EnabledWhenShown(name)) << name;
    PressKey(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(calls, (std::vector<std::string>{"PrintCommand"}));
}

TEST_F(SelectionWindowTest, ClosingTheTextDataWindowWithoutAFileKeepsTheList) {
    Item("MNU_データ取得")->setVisible(true);
    Selection().Routines.ShowTextDataWindow = [] {};
    Item("MNU_テキストデータ")->trigger();
    EXPECT_EQ(TextData().TextDataMode, 0);
    for (const char* name : kTextDataDisabledMenus) EXPECT_TRUE(EnabledWhenShown(name)) << name;
}

TEST_F(SelectionWindowTest, DeleteAndJoinWithoutASelectionWarn) {
    int deleted = 0;
    Selection().Routines.DeleteSelectedIssues = [&deleted] { ++deleted; };
    Item("MNU_銘柄情報")->setVisible(true);
    Item("MNU_銘柄削除")->setVisible(true);
    Item("MNU_銘柄結合")->setVisible(true);
    sink.Expect(MsgKind::Warn, "対象となる銘柄を選択してください。")
        .Expect(MsgKind::Warn, "対象となる銘柄を選択してください。");
    Item("MNU_銘柄削除")->trigger();
    Item("MNU_銘柄結合")->trigger();
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(SelectionWindowTest, TheWindowNamesItselfTheCurrentListWindow) {
    EXPECT_EQ(GridWheel().CurrentFormName, "FRM_選択");
    EXPECT_EQ(frame->windowTitle(), "選択");
    EXPECT_EQ(Views().ViewKind, 3);
}

}  // namespace
