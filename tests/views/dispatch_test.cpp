// ctest-labels: dispatch
// The command dispatcher and the checks of the command routines, in the main frame offscreen
// on the synthetic market. The windows the commands open belong to other folders: recording
// stand-ins take their place in the routines the selection window's owners install.
#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QToolBar>
#include <memory>
#include <vector>

#include "foundation/database.h"
#include "foundation/selection.h"
#include "ui/frame_access.h"
#include "views/chart_view_fixture.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/issue_search_commands.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kSelectIssue = "対象となる銘柄を選択してください。";

enum class Mode { List, Chart, TextList, TextChart };

class DispatchTest : public ChartViewFixture {
  protected:
    void SetUp() override {
        ChartViewFixture::SetUp();
        SelectionRoutines& r = Selection().Routines;
        r.ShowDataTable = Record(12);
        r.ShowChuumokuDialog = Record(15);
        r.ShowIssueEdit = Record(16);
        r.PrintCommand = [this] {
            calls.push_back(19);
            printFlags.push_back(Selection().QuickPrintFlag);
        };
        r.ShowPortfolio = [this](int32_t tab) {
            calls.push_back(22);
            tabs.push_back(tab);
        };
        r.RunObservation = [this] {
            calls.push_back(23);
            observationOrders.push_back(Selection().ObservationOrder);
        };
        r.ClearChuumoku = Record(90);
        r.AcquireData = [this](bool web) { calls.push_back(web ? 91 : 92); };
        // The code search is the views' own, installed by the screening commands.
        r.SearchByCode = SearchByCode;
        // The issue search window as the code search presets it: its option and two boxes.
        searchWindow = std::make_unique<QWidget>();
        for (const char* name : {"TXT_Code", "TXT_Name"})
            (new QLineEdit(searchWindow.get()))->setObjectName(QString::fromUtf8(name));
        (new QRadioButton(searchWindow.get()))->setObjectName(QString::fromUtf8("OPT_コード検索"));
        IssueSearch().SearchWindow = [this] { return searchWindow.get(); };
        IssueSearch().ShowSearchWindow = Record(14);
    }

    std::function<void()> Record(int code) {
        return [this, code] {
            calls.push_back(code);
            positions.push_back(IssueSelection().CurrentIssuePos);
        };
    }
    void Enter(Mode mode) {
        TextData().TextDataMode = 0;
        if (Views().ViewKind != kViewList) DoCommand(3);
        SelectRows(2, 3);
        if (mode == Mode::Chart || mode == Mode::TextChart) DoCommand(kViewDaily);
        if (mode == Mode::TextList || mode == Mode::TextChart) TextData().TextDataMode = -1;
        calls.clear();
    }
    bool LineEditing() { return !MainFrame().LineToolbar()->isHidden(); }
    bool PointerIsBack() {
        return !QApplication::overrideCursor() && MainFrame().cursor().shape() == Qt::ArrowCursor;
    }

    std::vector<int> calls;
    std::vector<int> positions;
    std::vector<int> printFlags;
    std::vector<int> tabs;
    std::vector<int> observationOrders;
    std::unique_ptr<QWidget> searchWindow;
};

TEST_F(DispatchTest, EachCodeRunsWhereTheCommandTableLetsIt) {
    struct Case {
        int code;
        bool list, chart, textList, textChart;
    };
    // 18 comes last: line editing, once started, disables the chart's menus.
    const Case cases[] = {
        {12, true, true, true, true},   {14, true, true, true, false},
        {15, true, true, false, false}, {16, true, true, false, false},
        {19, true, true, false, true},  {22, true, true, false, false},
        {23, true, true, false, false}, {18, false, true, false, false},
    };
    // The chart pass comes last for the same reason.
    for (Mode mode : {Mode::List, Mode::TextList, Mode::TextChart, Mode::Chart}) {
        Enter(mode);
        for (const Case& c : cases) {
            const bool expected = mode == Mode::List       ? c.list
                                  : mode == Mode::Chart    ? c.chart
                                  : mode == Mode::TextList ? c.textList
                                                           : c.textChart;
            calls.clear();
            DoCommand(c.code);
            const bool ran = c.code == 18 ? LineEditing() : calls == std::vector<int>{c.code};
            EXPECT_EQ(ran, expected) << "code " << c.code << " in mode " << static_cast<int>(mode);
        }
    }
    EXPECT_TRUE(sink.Shown().empty());
    // The toolbar prints at once, the portfolio opens on its first tab and the observation
    // runs forward.
    for (int flag : printFlags) EXPECT_EQ(flag, -1);
    for (int tab : tabs) EXPECT_EQ(tab, 0);
    for (int order : observationOrders) EXPECT_EQ(order, 0);
}

TEST_F(DispatchTest, TheListWindowsItemsCallTheirRoutinesWithTheirArguments) {
    SelectRows(2, 3);
    // The window hides these menus when it loads; their items work once they are shown.
    for (const char* menu : {"MNU_注目", "MNU_データ取得"})
        SelectionWindow().MenuItem(menu)->setVisible(true);
    struct Item {
        const char* name;
        std::vector<int> calls;
    };
    const Item items[] = {
        {"MNU_銘柄修正", {16}},     {"MNU_注目指定", {15}}, {"MNU_注目取消", {90}},
        {"MNU_データ表", {12}},     {"MNU_印刷", {19}},     {"MNU_DGWeb", {91}},
        {"MNU_メールデータ", {92}}, {"MNU_PF00", {22}},     {"MNU_PF01", {22}},
        {"MNU_PF02", {22}},         {"MNU_PF03", {22}},     {"MNU_順次", {23}},
        {"MNU_逆次", {23}},
    };
    for (const Item& item : items) {
        calls.clear();
        SelectionWindow().MenuItem(item.name)->trigger();
        EXPECT_EQ(calls, item.calls) << item.name;
    }
    EXPECT_EQ(tabs, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(observationOrders, (std::vector<int>{0, -1}));
    EXPECT_EQ(printFlags, std::vector<int>{0});
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(DispatchTest, TheViewCommandsRunInTextDataModeAndStepsDoNothingInTheList) {
    Enter(Mode::TextList);
    for (int code : {2, 24, 25}) {
        IssueSelection().CurrentIssuePos = 1;
        DoCommand(code);
        EXPECT_EQ(Views().ViewKind, kViewList) << code;
    }
    // 全表示 runs in text-data mode and ends it; the steps leave the position alone.
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 1);
    EXPECT_GT(SelectionWindow().Grid().Rows(), 2);
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(DispatchTest, ThePortfolioViewTakesTheListBranchAndOpensNoSecondWindow) {
    Views().ViewKind = kViewPortfolio;
    SelectionWindow().Grid().SetRow(0);
    // 4 to 11 check the list's selection while the portfolio window is open.
    sink.Expect(MsgKind::Warn, kSelectIssue);
    DoCommand(kViewKagi);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Views().ViewKind, kViewPortfolio);

    // The re-dispatch of a resize lays the list out over the new client area.
    MainFrame().resize(900, 700);
    QApplication::processEvents();
    DoCommand(kViewPortfolio);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(Views().ViewKind, kViewPortfolio);
    auto* window = qobject_cast<QMdiSubWindow*>(SelectionWindow().parentWidget());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size(), MainFrame().ClientArea()->viewport()->size());

    Views().ViewKind = kViewList;
    DoCommand(kViewPortfolio);
    EXPECT_EQ(calls, std::vector<int>{22});
}

TEST_F(DispatchTest, BackToTheListReloadsOnlyAfterWatchNumbersWereCleared) {
    FlexGrid& grid = SelectionWindow().Grid();
    const int allRows = grid.Rows();
    SelectRows(2, 2);
    DoCommand(kViewDaily);
    // Without a pending reload the grid's own recordset becomes the list again.
    const RecordsetPtr shown = IssueList().ShownListRecordset;
    IssueList().IssueListRecordset = nullptr;
    DoCommand(3);
    EXPECT_EQ(Views().ViewKind, kViewList);
    EXPECT_EQ(IssueList().IssueListRecordset, shown);
    EXPECT_EQ(grid.Rows(), allRows);

    // With one, all issues are read again and every row is selected.
    SelectRows(2, 2);
    DoCommand(kViewDaily);
    ASSERT_TRUE(ShowIssueList(grid, kListWatched));
    Views().ListReloadPending = -1;
    DoCommand(3);
    EXPECT_EQ(Views().ListReloadPending, 0);
    EXPECT_EQ(grid.Rows(), allRows);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.RowSel(), allRows - 1);
}

TEST_F(DispatchTest, TheWatchedListWithNoneWatchedAndAllIssuesOfAnEmptyTable) {
    FlexGrid& grid = SelectionWindow().Grid();
    SelectionWindow().MenuItem("MNU_注目銘柄")->trigger();
    EXPECT_EQ(grid.Rows(), 1);
    EXPECT_EQ(MainStatusPanel(2), "0 件表示されました。");
    EXPECT_EQ(IssueSelection().SelectedCount(), 0);
    EXPECT_TRUE(PointerIsBack());

    RecordsetPtr none;
    std::string sql = "DELETE FROM TBL銘柄属性";
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, sql, none));
    DoCommand(2);
    EXPECT_EQ(grid.Rows(), 1);
    EXPECT_EQ(MainStatusPanel(2), "0 件表示されました。");
    EXPECT_EQ(IssueSelection().SelectedCount(), 0);
    EXPECT_TRUE(PointerIsBack());
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(DispatchTest, CommandsWithoutASelectionAskForOneAndPutThePointerBack) {
    SelectionWindow().Grid().SetRow(0);
    const char* items[] = {"MNU_データ表", "MNU_鈎足"};
    for (const char* item : items) {
        sink.Expect(MsgKind::Warn, kSelectIssue);
        SelectionWindow().MenuItem(item)->trigger();
        EXPECT_TRUE(sink.AllShown()) << item;
        EXPECT_TRUE(PointerIsBack()) << item;
    }
    sink.Expect(MsgKind::Warn, kSelectIssue);
    DoCommand(12);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_TRUE(calls.empty());
}

TEST_F(DispatchTest, TheChartWindowsItemsHandTheirRoutinesTheShownIssue) {
    SelectRows(2, 4);
    DoCommand(kViewDaily);
    DoCommand(25);
    ASSERT_EQ(IssueSelection().CurrentIssuePos, 1);
    ChartWindow& window = ChartWindowOf(kViewDaily);
    // The 注目 menu is hidden in the chart windows; its items work once it is shown.
    window.MenuItem("MNU_注目")->setVisible(true);
    const std::pair<const char*, int> items[] = {
        {"MNU_データ表", 12}, {"MNU_注目指定", 15}, {"MNU_注目取消", 90}, {"MNU_印刷", 19}};
    for (const auto& [item, code] : items) {
        calls.clear();
        positions.clear();
        Selection().QuickPrintFlag = -1;
        window.MenuItem(item)->trigger();
        EXPECT_EQ(calls, std::vector<int>{code}) << item;
        if (code != 19) EXPECT_EQ(positions, std::vector<int>{1}) << item;
    }
    // The menu prints through the print dialog.
    EXPECT_EQ(printFlags, std::vector<int>{0});
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(DispatchTest, ACommandWhoseChartMenuIsDisabledSaysNothing) {
    // A page of several issues has neither a data table nor the code search.
    SelectRows(1, 6);
    DoCommand(105);
    ASSERT_EQ(Views().ViewKind, 105);
    for (int code : {12, 14}) DoCommand(code);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(sink.Shown().empty());
}

}  // namespace
