// ctest-labels: chartmenus
// The chart windows' settings items over the real frame: the dialog modal over the main
// frame, the open view drawn again only when an option it is drawn with changed, the
// window's pointer back afterwards; the about window; 閉じる of one window of a pair.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <functional>
#include <string>
#include <vector>

#include "foundation/settings.h"
#include "foundation/state.h"
#include "screening/commands.h"
#include "support/modal.h"
#include "views/chart_view_fixture.h"
#include "views/chart_window.h"
#include "views/line_editing.h"
#include "views/line_panel.h"
#include "views/menu_table.h"
#include "views/settings_apply.h"
#include "views/view_rules.h"

namespace {

class ChartSettingsMenusTest : public ChartViewFixture {
  protected:
    void SetUp() override {
        ChartViewFixture::SetUp();
        InstallScreeningCommands();
        LogonPair logon;
        LoadSettei(logon);
    }
    // Opens view `code` on the first listed issue and gives the window of `chartKind`.
    ChartWindow* Open(int code, int32_t chartKind) {
        SelectRows(1, 1);
        Press(code);
        ChartWindow* window = FindChartWindow(chartKind);
        EXPECT_NE(window, nullptr);
        return window;
    }
    int32_t Drawings(int32_t chartKind) { return Views().ChartDrawings[KindIndex(chartKind)]; }
    // The item's dialog answered by `act`, which gets the dialog; checks it is modal over
    // the main frame and that every pointer is back once the item is done.
    static QString DialogOfItem(const std::string& item) {
        return QString::fromUtf8(item == "MNU_ユーザ設定" ? "FRM_ユーザ設定" : "FRM_鈎判設定");
    }
    void UseItem(ChartWindow* window, const char* item, std::function<void(QWidget*)> act) {
        bool opened = false;
        AnswerNextModalNamed(DialogOfItem(item), [&](QWidget* dialog) {
            opened = true;
            EXPECT_EQ(dialog->parentWidget(), &MainFrame());
            EXPECT_EQ(window->cursor().shape(), Qt::WaitCursor);
            act(dialog);
        });
        window->MenuItem(item)->trigger();
        EXPECT_TRUE(opened) << item;
        EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(sink.AllShown());
    }
    static void Press(QWidget* dialog, const char* name) {
        dialog->findChild<QPushButton*>(QString::fromUtf8(name))->click();
    }
    static void Choose(QWidget* dialog, const char* name) {
        dialog->findChild<QRadioButton*>(QString::fromUtf8(name))->click();
    }
    using ChartViewFixture::Press;
};

TEST_F(ChartSettingsMenusTest, UserSettingsRedrawOnlyWhenAChartOptionChanged) {
    ChartWindow* daily = Open(5, 5);
    ASSERT_NE(daily, nullptr);
    ASSERT_EQ(Settei().Record.UserSettei.OPT_MAOn, 0);
    const int32_t before = Drawings(5);

    UseItem(daily, "MNU_ユーザ設定", [](QWidget* d) {
        Choose(d, "OPT_MAOn");
        Press(d, "CMD_cancel");
    });
    EXPECT_EQ(Drawings(5), before);

    // The print mode is no option of the chart on screen.
    const int16_t fine = Settei().Record.UserSettei.OPT_精細;
    UseItem(daily, "MNU_ユーザ設定", [fine](QWidget* d) {
        Choose(d, fine == -1 ? "OPT_速度" : "OPT_精細");
        Press(d, "CMD_OK");
    });
    EXPECT_NE(Settei().Record.UserSettei.OPT_精細, fine);
    EXPECT_EQ(Drawings(5), before);

    QStatusBar* averages = MainFrame().findChild<QStatusBar*>(QStringLiteral("STA_MA"));
    ASSERT_NE(averages, nullptr);
    EXPECT_FALSE(averages->isVisible());
    UseItem(daily, "MNU_ユーザ設定", [](QWidget* d) {
        Choose(d, "OPT_MAOn");
        Press(d, "CMD_OK");
    });
    EXPECT_EQ(Settei().Record.UserSettei.OPT_MAOn, -1);
    EXPECT_EQ(Drawings(5), before + 1);
    EXPECT_TRUE(averages->isVisible());
    EXPECT_EQ(Views().ViewKind, 5);

    // 適用 stores the change before ｷｬﾝｾﾙ closes: the view is drawn again all the same.
    UseItem(daily, "MNU_ユーザ設定", [](QWidget* d) {
        Choose(d, "OPT_MAOff");
        Press(d, "CMD_適用");
        Press(d, "CMD_cancel");
    });
    EXPECT_EQ(Drawings(5), before + 2);
    EXPECT_FALSE(averages->isVisible());
}

TEST_F(ChartSettingsMenusTest, KagiSwitchesRedrawTheKagiViewsOnly) {
    ChartWindow* kagi = Open(4, 4);
    ASSERT_NE(kagi, nullptr);
    int32_t before = Drawings(4);
    const bool unlimited = Settei().Record.KagiJudgeSettei.OPT_山無制限 == -1;
    const char* other = unlimited ? "OPT_山三のみ" : "OPT_山無制限";
    const char* back = unlimited ? "OPT_山無制限" : "OPT_山三のみ";
    UseItem(kagi, "MNU_鈎足判定", [other](QWidget* d) {
        Choose(d, other);
        Press(d, "CMD_OK");
    });
    EXPECT_EQ(Drawings(4), before + 1);
    EXPECT_EQ(Views().ViewKind, 4);

    // Unchanged: nothing drawn.
    UseItem(kagi, "MNU_鈎足判定", [](QWidget* d) { Press(d, "CMD_OK"); });
    EXPECT_EQ(Drawings(4), before + 1);

    // The four-chart view waits for its next showing.
    SelectRows(1, 1);
    Press(11);
    ASSERT_EQ(Views().ViewKind, 11);
    before = Drawings(4);
    const int32_t dailyBefore = Drawings(5);
    UseItem(FindChartWindow(4), "MNU_鈎足判定", [back](QWidget* d) {
        Choose(d, back);
        Press(d, "CMD_OK");
    });
    EXPECT_EQ(Drawings(4), before);
    EXPECT_EQ(Drawings(5), dailyBefore);
}

TEST_F(ChartSettingsMenusTest, TheComparedFieldsAreExactlyTheChartOptions) {
    UserSettei base;
    EXPECT_FALSE(ChartOptionsDiffer(base, base));
    const std::pair<int16_t UserSettei::*, bool> cases[] = {
        {&UserSettei::OPT_二文, true},  {&UserSettei::OPT_三文, true},
        {&UserSettei::OPT_転換, true},  {&UserSettei::OPT_陰陽, true},
        {&UserSettei::OPT_枠, true},    {&UserSettei::OPT_Not枠, true},
        {&UserSettei::OPT_左右, true},  {&UserSettei::OPT_上下, true},
        {&UserSettei::OPT_MAOn, true},  {&UserSettei::OPT_MAOff, true},
        {&UserSettei::CHK_連続, true},  {&UserSettei::OPT_精細, false},
        {&UserSettei::CHK_白黒, false}, {&UserSettei::CBO_日足, false},
        {&UserSettei::CHK_斜線, false}, {&UserSettei::CHK_DGAuto, false},
    };
    for (const auto& [field, redraws] : cases) {
        UserSettei changed = base;
        changed.*field = -1;
        EXPECT_EQ(ChartOptionsDiffer(changed, base), redraws);
    }
    KagiJudgeSettei judge;
    KagiJudgeSettei other = judge;
    EXPECT_FALSE(KagiJudgeDiffers(other, judge));
    other.OPT_第二不採用 = -1;
    EXPECT_TRUE(KagiJudgeDiffers(other, judge));
}

TEST_F(ChartSettingsMenusTest, TheAboutWindowIsModalOverTheFrame) {
    ChartWindow* weekly = Open(6, 6);
    ASSERT_NE(weekly, nullptr);
    bool opened = false;
    AnswerNextModalNamed(QString::fromUtf8("FRM_バージョン情報"), [&](QWidget* about) {
        opened = true;
        EXPECT_EQ(about->parentWidget(), &MainFrame());
        EXPECT_TRUE(about->isModal());
        about->close();
    });
    weekly->MenuItem("MNU_バージョン情報")->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(Views().ViewKind, 6);
}

TEST_F(ChartSettingsMenusTest, CloseInAPairUnloadsOnlyItsWindowAndKeepsTheGridSelection) {
    SelectRows(2, 4);
    Press(8);
    ASSERT_EQ(Views().ViewKind, 8);
    ChartWindow* daily = FindChartWindow(5);
    ASSERT_NE(daily, nullptr);
    ASSERT_NE(FindChartWindow(4), nullptr);
    daily->MenuItem("MNU_終了")->trigger();
    EXPECT_EQ(Views().ViewKind, 3);
    EXPECT_EQ(Caption(), "選択");
    EXPECT_EQ(FindChartWindow(5), nullptr);
    EXPECT_NE(FindChartWindow(4), nullptr);
    EXPECT_TRUE(SelectionWindow().isVisible());
    FlexGrid& grid = SelectionWindow().Grid();
    EXPECT_EQ(std::min(grid.Row(), grid.RowSel()), 2);
    EXPECT_EQ(std::max(grid.Row(), grid.RowSel()), 4);
    // The next command reads the rows the grid still shows selected.
    Press(5);
    EXPECT_EQ(IssueSelection().SelectedRows.size(), 3u);
    EXPECT_EQ(Caption(), "[日足]   " + TitleAt(PositionOfRow(2)));
    EXPECT_TRUE(sink.AllShown());
}

// Every item of every chart window in the single view of its kind: the routines of later
// layers are recorded, the view controller's own items are seen in the state they change.
TEST_F(ChartSettingsMenusTest, EveryItemOfEveryWindowDoesItsCommand) {
    std::vector<std::string> calls;
    SelectionRoutines& r = Selection().Routines;
    auto record = [&calls](const char* name) { return [&calls, name] { calls.push_back(name); }; };
    r.SearchByCode = record("SearchByCode");
    r.SearchByName = record("SearchByName");
    r.ShowChuumokuDialog = record("ShowChuumokuDialog");
    r.ClearChuumoku = record("ClearChuumoku");
    r.ShowDataTable = record("ShowDataTable");
    r.PrintCommand = record("PrintCommand");
    r.ShowUserSettings = record("ShowUserSettings");
    r.ShowKagiJudgeSettings = record("ShowKagiJudgeSettings");
    // The watch items stay bound, under the 注目 menu that a chart window never shows.
    const struct {
        const char* item;
        const char* routine;
        bool reachable;
    } routines[] = {
        {"MNU_コード検索", "SearchByCode", true},
        {"MNU_銘柄名検索", "SearchByName", true},
        {"MNU_注目指定", "ShowChuumokuDialog", false},
        {"MNU_注目取消", "ClearChuumoku", false},
        {"MNU_データ表", "ShowDataTable", true},
        {"MNU_印刷", "PrintCommand", true},
        {"MNU_ユーザ設定", "ShowUserSettings", true},
        {"MNU_鈎足判定", "ShowKagiJudgeSettings", true},
    };
    const std::pair<const char*, int16_t> views[] = {
        {"MNU_鈎足", 4}, {"MNU_日足", 5}, {"MNU_週足", 6},  {"MNU_月足", 7},
        {"MNU_日鈎", 8}, {"MNU_週鈎", 9}, {"MNU_月鈎", 10}, {"MNU_鈎日週月", 11},
    };
    for (int32_t kind = 4; kind <= 7; ++kind) {
        SCOPED_TRACE(kind);
        auto open = [&] {
            SelectRows(1, 2);
            Press(kind);
            return FindChartWindow(kind);
        };
        ChartWindow* window = open();
        ASSERT_NE(window, nullptr);
        auto use = [&](const char* item) {
            QAction* action = window->MenuItem(item);
            EXPECT_TRUE(MenuItemReachable(action)) << item;
            action->trigger();
        };
        for (const auto& [item, routine, reachable] : routines) {
            calls.clear();
            QAction* action = window->MenuItem(item);
            EXPECT_EQ(MenuItemReachable(action), reachable) << item;
            action->trigger();
            const std::vector<std::string> expected =
                reachable ? std::vector<std::string>{routine} : std::vector<std::string>{};
            EXPECT_EQ(calls, expected) << item;
        }
        Selection().QuickPrintFlag = -1;
        use("MNU_印刷");
        EXPECT_EQ(Selection().QuickPrintFlag, 0);  // the menu's print goes through the dialog
        for (const auto& [item, viewKind] : views) {
            use(item);
            EXPECT_EQ(Views().ViewKind, viewKind) << item;
            window = open();
            ASSERT_NE(window, nullptr);
        }
        use("MNU_次銘柄");
        EXPECT_EQ(IssueSelection().CurrentIssuePos, 1);
        use("MNU_前銘柄");
        EXPECT_EQ(IssueSelection().CurrentIssuePos, 0);
        const CountItem& fewest = CountItems(kind).front();
        use(fewest.name);
        EXPECT_EQ(Views().DisplayCount[KindIndex(kind)], fewest.count);
        EXPECT_TRUE(window->MenuItem(fewest.name)->isChecked());
        use(IssuesPerWindowItems(kind)[1].name);
        EXPECT_EQ(Views().ViewKind, kind + 100);
        use(IssuesPerWindowItems(kind)[0].name);
        EXPECT_EQ(Views().ViewKind, kind);
        for (const char* edit : {"MNU_斜線", "MNU_関門"}) {
            use(edit);
            EXPECT_TRUE(ShasenKanmonEditing()) << edit;
            EditPanel().Button("CMD_cancel")->click();
            EXPECT_FALSE(ShasenKanmonEditing()) << edit;
        }
        bool about = false;
        AnswerNextModalNamed(QString::fromUtf8("FRM_バージョン情報"), [&about](QWidget* dialog) {
            about = true;
            dialog->close();
        });
        use("MNU_バージョン情報");
        EXPECT_TRUE(about);
        use("MNU_終了");
        EXPECT_EQ(Views().ViewKind, 3);
        EXPECT_EQ(FindChartWindow(kind), nullptr);
    }
    EXPECT_TRUE(sink.AllShown());
}

}  // namespace
