// ctest-labels: chartviews charts
// The single-chart views opened from the issue list in the main frame, offscreen, on the
// synthetic market: captions, toolbar, status, stepping, clearing, the period bar, the
// chart window's menus and the frame's bars.
#include "views/chart_views.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <algorithm>
#include <string>

#include "analysis/lines_geometry.h"
#include "analysis/state.h"
#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "platform/flex_grid.h"
#include "platform/twips.h"
#include "support/scripted_sink.h"
#include "ui/frame_access.h"
#include "ui/state.h"
#include "views/chart_commands.h"
#include "views/chart_controls.h"
#include "views/chart_view_fixture.h"
#include "views/chart_window.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kInterrupted = "処理が中断されました。";

using ChartViewsTest = ChartViewFixture;

TEST_F(ChartViewsTest, SingleViewsShowTheFirstSelectedIssue) {
    struct Case {
        int code;
        const char* bracket;
        const char* status;
        bool averagesRow;
    };
    Settei().Record.UserSettei.OPT_MAOn = -1;
    const Case cases[] = {{4, "[鈎足]   ", "50 本表示", false},
                          {5, "[日足]   ", "150 本表示", true},
                          {6, "[週足]   ", "150 本表示", true},
                          {7, "[月足]   ", "150 本表示", true}};
    for (const Case& c : cases) {
        ShowSelectionList();
        SelectRows(2, 4);
        Press(c.code);
        EXPECT_EQ(Views().ViewKind, c.code);
        EXPECT_EQ(Caption(), c.bracket + TitleAt(PositionOfRow(2))) << c.code;
        EXPECT_EQ(Views().IssuesPerWindow[KindIndex(c.code)], 1);
        EXPECT_EQ(MainStatusPanel(3), c.status);
        EXPECT_TRUE(MainFrame().ToolbarButton(3)->isVisible());
        EXPECT_FALSE(MainFrame().ToolbarButton(16)->isVisible());
        EXPECT_TRUE(MainFrame().ToolbarButton(25)->isVisible());
        EXPECT_FALSE(MainFrame().Panel(2)->isVisibleTo(&MainFrame()));
        EXPECT_TRUE(MainFrame().Panel(3)->isVisibleTo(&MainFrame()));
        EXPECT_EQ(MainFrame().MaStatusVisible(), c.averagesRow) << c.code;
        ChartWindow* window = FindChartWindow(c.code);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->Pane("PIC_Cht10")->isVisibleTo(window));
        EXPECT_GT(RecordOfChart(c.code).Count, 0);
        // Only the view's own window is on screen.
        for (int other = 4; other <= 7; ++other) {
            if (ChartWindow* w = FindChartWindow(other)) {
                EXPECT_EQ(ChartSubWindow(*w)->isVisible(), other == c.code) << other;
            }
        }
    }
    EXPECT_TRUE(sink.Shown().empty());
    Settei().Record.UserSettei.OPT_MAOn = 0;
    Press(5);
    EXPECT_FALSE(MainFrame().MaStatusVisible());
    Press(3);
    EXPECT_FALSE(MainFrame().MaStatusVisible());
    EXPECT_TRUE(MainFrame().Panel(2)->isVisibleTo(&MainFrame()));
}

TEST_F(ChartViewsTest, TheListWindowsItemsAndEnterOpenTheViews) {
    SelectRows(2, 2);
    SelectionWindow().MenuItem("MNU_月足")->trigger();
    EXPECT_EQ(Views().ViewKind, 7);
    EXPECT_EQ(Caption(), "[月足]   " + TitleAt(PositionOfRow(2)));
    Press(3);
    SelectRows(3, 3);
    QTest::keyClick(&SelectionWindow().Grid(), Qt::Key_Return);
    EXPECT_EQ(Views().ViewKind, 4);
    EXPECT_EQ(Caption(), "[鈎足]   " + TitleAt(PositionOfRow(3)));
    // Without a selection the list says so and stays.
    Press(3);
    SelectionWindow().Grid().SetRow(0);
    sink.Expect(MsgKind::Warn, "対象となる銘柄を選択してください。");
    Press(5);
    EXPECT_EQ(Views().ViewKind, 3);
    EXPECT_TRUE(sink.AllShown());
}

TEST_F(ChartViewsTest, TheWindowFitsTheClientAreaInPixelsOfTheTwips) {
    SelectRows(1, 1);
    Press(5);
    ChartWindow& window = *FindChartWindow(5);
    const ClientSize client = MainClientTwips();
    const ChartWindowLayout layout =
        LayOutSingleChart(client.Width, client.Height, 0, kCandlePriceShare);
    auto near = [](int pixels, double twips) { return std::abs(pixels - twips / 15.0) <= 1.0; };
    const QRect price = window.Pane("PIC_Cht10")->geometry();
    EXPECT_TRUE(near(price.width(), layout.Panes.Price.Width)) << price.width();
    EXPECT_TRUE(near(price.height(), layout.Panes.Price.Height)) << price.height();
    const QRect volume = window.Pane("PIC_Cht20")->geometry();
    EXPECT_TRUE(near(volume.top(), layout.Panes.Volume.Top)) << volume.top();
    EXPECT_TRUE(near(window.PeriodBar().geometry().top(), layout.Scroll.Top));
    EXPECT_TRUE(near(ChartSubWindow(window)->width(), client.Width));
    // The cursor lines are parked off the pane.
    EXPECT_DOUBLE_EQ(window.PricePane().LIN_CursorX.X1, -100);
    EXPECT_DOUBLE_EQ(window.PricePane().LIN_CursorY.Y2, -100);
}

TEST_F(ChartViewsTest, PreviousAndNextStepThroughTheSelection) {
    SelectRows(1, 3);
    Press(5);
    const std::string titles[] = {TitleAt(PositionOfRow(1)), TitleAt(PositionOfRow(2)),
                                  TitleAt(PositionOfRow(3))};
    const struct {
        int code;
        int position;
    } steps[] = {{24, 0}, {25, 1}, {25, 2}, {25, 2}, {24, 1}, {24, 0}, {24, 0}};
    for (const auto& step : steps) {
        Press(step.code);
        EXPECT_EQ(IssueSelection().CurrentIssuePos, step.position);
        EXPECT_EQ(Caption(), "[日足]   " + titles[step.position]);
    }
    // The weekly view from the daily view keeps the issue.
    Press(25);
    FindChartWindow(5)->MenuItem("MNU_週足")->trigger();
    EXPECT_EQ(Views().ViewKind, 6);
    EXPECT_EQ(Caption(), "[週足]   " + titles[1]);
    // Through the chart window's own items too.
    FindChartWindow(6)->MenuItem("MNU_次銘柄")->trigger();
    EXPECT_EQ(Caption(), "[週足]   " + titles[2]);
}

TEST_F(ChartViewsTest, StepTableOfSinglePagesAndMultiIssuePages) {
    struct Case {
        int view;
        int perWindow;
        int from;
        int step;
        bool moved;
        int to;
    };
    const Case cases[] = {
        {5, 1, 9, 1, false, 9},   {5, 1, 0, -1, false, 0},  {5, 1, 4, 1, true, 5},
        {105, 4, 0, 1, true, 4},  {105, 4, 4, 1, true, 8},  {105, 4, 8, 1, false, 8},
        {105, 4, 8, -1, true, 4}, {105, 4, 4, -1, true, 0}, {105, 4, 2, -1, true, 0},
        {105, 9, 0, 1, true, 9},  {104, 4, 0, 1, true, 4},
    };
    IssueSelection().SelectedRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (const Case& c : cases) {
        Views().ViewKind = c.view;
        Views().IssuesPerWindow = {1, 1, 1, 1};
        Views().IssuesPerWindow[KindIndex(c.view - (c.view > 100 ? 100 : 0))] = c.perWindow;
        IssueSelection().CurrentIssuePos = c.from;
        int32_t code = 24;
        EXPECT_EQ(StepIssue(c.step, code), c.moved) << c.view << " " << c.from;
        EXPECT_EQ(IssueSelection().CurrentIssuePos, c.to) << c.view << " " << c.from;
        EXPECT_EQ(code, c.moved ? c.view : 24);
    }
}

TEST_F(ChartViewsTest, TheKagiViewThenTheDailyViewDrawsDailyBars) {
    SelectRows(1, 1);
    Press(4);
    EXPECT_EQ(Series().KagiSeries.ChartKind, 4);
    Press(5);
    const SeriesRecord& daily = Series().DailySeries;
    ASSERT_GT(daily.Count, 0);
    EXPECT_EQ(daily.ChartKind, 5);
    // Daily bars carry their own date and a high at or above the low; strokes do not.
    EXPECT_EQ(daily.Points[0].DateText.Text().size(), 10u);
    EXPECT_TRUE(daily.Points[0].EndDateText.empty());
    EXPECT_GE(daily.Points[daily.Count - 1].High, daily.Points[daily.Count - 1].Low);
    EXPECT_GT(daily.Points[daily.Count - 1].Volume, 0);
}

TEST_F(ChartViewsTest, AnIssueWithoutRowsClearsTheWindowSilently) {
    SelectRows(1, 1);
    Press(5);
    ASSERT_TRUE(FindChartWindow(5)->PeriodBar().isEnabled());
    const std::string issueId =
        FieldText(IssueList().IssueListRecordset->Row(PositionOfRow(1)).at(0));
    std::string statement = "DELETE FROM TBL日次 WHERE 銘柄ID = ?";
    RecordsetPtr none;
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, statement, none, {issueId}));
    Press(3);
    SelectRows(1, 1);
    for (const int code : {4, 5}) {
        Press(code);
        ChartWindow& window = *FindChartWindow(code);
        EXPECT_FALSE(window.PeriodBar().isEnabled()) << code;
        EXPECT_EQ(window.PeriodBar().maximum(), 0);
        EXPECT_EQ(window.PeriodBar().value(), 0);
        EXPECT_FALSE(OverlayOf(code).SHP_関門10[0].Visible);
    }
    EXPECT_TRUE(sink.Shown().empty());
}

// Clearing empties the lines and barriers of the cleared window's own chart, whatever view
// is on screen, and hides its shapes; the other charts keep theirs.
TEST_F(ChartViewsTest, ClearingAWindowEmptiesItsOwnChartsLinesOnly) {
    const KanmonRec barrier{900, 800, 0};
    for (const int view : {4, 5, 8, 11}) {
        for (int kind = 4; kind <= 7; ++kind) {
            RecordOfChart(kind).KanmonSlots[0] = barrier;
            OverlayOf(kind).SHP_関門10[0].Visible = true;
        }
        Views().ViewKind = view;
        ClearChartWindow(ChartWindowOf(5));
        EXPECT_LT(RecordOfChart(5).KanmonSlots[0].Upper, 0) << view;
        EXPECT_FALSE(OverlayOf(5).SHP_関門10[0].Visible) << view;
        for (const int other : {4, 6, 7}) {
            EXPECT_DOUBLE_EQ(RecordOfChart(other).KanmonSlots[0].Upper, 900) << view << other;
            EXPECT_TRUE(OverlayOf(other).SHP_関門10[0].Visible) << view << other;
        }
    }
    // Clearing the pictures alone hides the shapes and keeps the sets.
    OverlayOf(4).LIN_斜線T10[1].Visible = true;
    ClearChartPictures(ChartWindowOf(4));
    EXPECT_FALSE(OverlayOf(4).LIN_斜線T10[1].Visible);
    EXPECT_FALSE(OverlayOf(4).SHP_関門10[0].Visible);
    EXPECT_DOUBLE_EQ(RecordOfChart(4).KanmonSlots[0].Upper, 900);
}

TEST_F(ChartViewsTest, APositionPastTheListWarnsPerLookupAndInterruptsOnce) {
    SelectRows(1, 1);
    Press(5);
    IssueSelection().SelectedRows = {100000};
    IssueSelection().CurrentIssuePos = 0;
    std::string title = "x";
    sink.Expect(MsgKind::Warn);
    EXPECT_FALSE(GetCurrentTitle(title));
    EXPECT_EQ(title, "");
    sink.Expect(MsgKind::Warn).Expect(MsgKind::Warn).Expect(MsgKind::Info, kInterrupted);
    FindChartWindow(5)->MenuItem("MNU_日足")->trigger();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Caption(), "[日足]   ");
    EXPECT_EQ(Views().ViewKind, 5);
}

TEST_F(ChartViewsTest, SelectAndCloseReturnToTheList) {
    SelectRows(1, 2);
    Press(5);
    Press(3);
    EXPECT_EQ(Views().ViewKind, 3);
    EXPECT_EQ(Caption(), "選択");
    EXPECT_NE(FindChartWindow(5), nullptr);
    EXPECT_TRUE(SelectionWindow().isVisible());
    EXPECT_EQ(FrameMenuCaptions().size(), 6);
    SelectRows(1, 2);
    Press(6);
    EXPECT_EQ(FrameMenuCaptions(), (QStringList{"ﾌｧｲﾙ(&F)", "検索(&S)", "罫線(&C)", "編集(&E)",
                                                "表示(&V)", "ﾂｰﾙ(&T)", "ﾍﾙﾌﾟ(&H)"}));
    QPointer<ChartWindow> weekly = FindChartWindow(6);
    weekly->MenuItem("MNU_終了")->trigger();
    EXPECT_EQ(Views().ViewKind, 3);
    EXPECT_EQ(FindChartWindow(6), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(weekly.isNull());
    EXPECT_NE(FindChartWindow(5), nullptr);
    EXPECT_EQ(FrameMenuCaptions().size(), 6);
}

TEST_F(ChartViewsTest, OnlyTheActiveChildsShortcutsAreLive) {
    MainFrame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&MainFrame()));
    SelectRows(1, 3);
    Press(5);
    QTest::keyClick(&MainFrame(), Qt::Key_X, Qt::ControlModifier);  // 次
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 1);
    Press(3);
    // The daily window is still there under the list; its 閉じる (Ctrl+Q) is not live.
    QTest::keyClick(&MainFrame(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_NE(FindChartWindow(5), nullptr);
    EXPECT_EQ(programEnds, 0);
    // The list's own Ctrl+E opens the daily view of the selection.
    SelectRows(2, 2);
    QTest::keyClick(&MainFrame(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(Views().ViewKind, 5);
    EXPECT_EQ(Caption(), "[日足]   " + TitleAt(PositionOfRow(2)));
}

TEST_F(ChartViewsTest, TheChartWindowsMenuTreeAndItsCreationMarks) {
    struct Item {
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    const Item items[] = {{"MNU_印刷", "印刷(&P)", "Ctrl+P"},
                          {"MNU_終了", "閉じる(&X)", "Ctrl+Q"},
                          {"MNU_コード検索", "証券ｺｰﾄﾞ(&C)", "Ctrl+K"},
                          {"MNU_鈎日週月", "鈎・日・週・月(&A)", "Ctrl+V"},
                          {"MNU_斜線", "斜線(&B)", "Ctrl+G"},
                          {"MNU_注目指定", "指定(&E)", "Ctrl+L"},
                          {"MNU_データ表", "ﾃﾞｰﾀ表(&R)", "Ctrl+J"},
                          {"MNU_前銘柄", "前(&R)", "Ctrl+Z"},
                          {"MNU_次銘柄", "次(&N)", "Ctrl+X"},
                          {"MNU_鈎足判定", "鈎足判定ｵﾌﾟｼｮﾝ(&O)", ""}};
    ChartWindow& daily = ChartWindowOf(5);
    for (const Item& item : items) {
        QAction* action = daily.MenuItem(item.name);
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text().toStdString(), item.caption);
        EXPECT_EQ(action->shortcut().toString().toStdString(), item.shortcut);
        EXPECT_TRUE(action->isEnabled());
    }
    EXPECT_FALSE(daily.MenuItem("MNU_注目")->isVisible());
    EXPECT_EQ(daily.MenuItem("MNU_表示本数05")->text(), "300本");
    EXPECT_EQ(daily.MenuItem("MNU_表示本数06"), nullptr);
    ChartWindow& kagi = ChartWindowOf(4);
    EXPECT_EQ(kagi.MenuItem("MNU_表示本数09")->text(), "100本");
    EXPECT_EQ(kagi.MenuItem("MNU_表示銘柄数004")->text(), " 4銘柄");
    EXPECT_TRUE(kagi.MenuItem("MNU_表示本数04")->isChecked());
    EXPECT_EQ(kagi.findChildren<QWidget*>("PIC_MCht").size(), kCellCount);
    EXPECT_EQ(kagi.PricePane().font().family(), "IPAGothic");
    const QList<QWidget*> titles = kagi.findChildren<QWidget*>("TXT_Title");
    ASSERT_EQ(titles.size(), kCellCount);
    EXPECT_EQ(titles[0]->font().family(), "IPAPGothic");
    // Back to front inside the container: the cells' frames, titles, the panes, the cells,
    // the print copy and the corner box.
    QStringList stacking;
    for (QObject* child : kagi.Container().children()) {
        const QString name = child->objectName();
        if (stacking.isEmpty() || stacking.back() != name) stacking << name;
    }
    EXPECT_EQ(stacking,
              (QStringList{"LBL_Border", "TXT_Title", "PIC_Cht10", "PIC_Cht20", "PIC_Cht11",
                           "PIC_Cht30", "PIC_MCht", "PIC_Cht00", "PIC_Cht31"}));

    // The view moves the marks; a window destroyed by 閉じる comes back with the creation ones.
    SelectRows(1, 1);
    Press(5);
    EXPECT_TRUE(FindChartWindow(5)->MenuItem("MNU_表示本数02")->isChecked());
    EXPECT_FALSE(FindChartWindow(5)->MenuItem("MNU_表示本数00")->isChecked());
    FindChartWindow(5)->MenuItem("MNU_終了")->trigger();
    ChartWindow& again = ChartWindowOf(5);
    EXPECT_TRUE(again.MenuItem("MNU_表示本数00")->isChecked());
    EXPECT_FALSE(again.MenuItem("MNU_表示本数02")->isChecked());
    EXPECT_TRUE(again.MenuItem("MNU_表示銘柄数001")->isChecked());
    EXPECT_EQ(OverlayOf(5).SHP_関門10[0].BorderColor, kJudgementKanmonColour);
}

TEST_F(ChartViewsTest, BarCountMarksStatusFormsAndThePointer) {
    SelectRows(1, 1);
    Press(5);
    struct Case {
        int view;
        int active;  // the chart window the user works in
        int count;
        const char* status;
        int changedKind;
        const char* marked;
    };
    const Case cases[] = {
        {5, 5, 200, "200 本表示", 5, "MNU_表示本数03"},
        {5, 5, 160, "160 本表示", 5, "MNU_表示本数02"},
        {4, 4, 75, "75 本表示", 4, "MNU_表示本数04"},
        {8, 4, 30, "日足：160 本表示　　鈎足：30 本表示", 4, "MNU_表示本数02"},
        {11, 7, 100, "鈎：30, 日：160, 週：150, 月：100本表示", 7, "MNU_表示本数01"},
    };
    for (const Case& c : cases) {
        Views().ViewKind = c.view;
        ChartWindow& active = ChartWindowOf(c.active);
        ChartSubWindow(active)->show();
        MainFrame().ClientArea()->setActiveSubWindow(ChartSubWindow(active));
        SetBarCount(c.count);
        EXPECT_EQ(Views().DisplayCount[KindIndex(c.changedKind)], c.count) << c.view;
        EXPECT_EQ(MainStatusPanel(3), c.status) << c.view;
        EXPECT_TRUE(ChartWindowOf(c.changedKind).MenuItem(c.marked)->isChecked()) << c.view;
        EXPECT_NE(MainFrame().cursor().shape(), Qt::WaitCursor);
    }
}

TEST_F(ChartViewsTest, CommandsAskTheMenuOfTheViewsWindow) {
    Views().ViewKind = 5;
    EXPECT_TRUE(IsCommandEnabled(18));  // no window yet: as a fresh one
    SelectRows(1, 1);
    Press(5);
    EXPECT_TRUE(IsCommandEnabled(18));
    Views().ViewKind = 8;
    SetChartMenus(*FindChartWindow(5));
    EXPECT_FALSE(IsCommandEnabled(18));
    EXPECT_TRUE(IsCommandEnabled(16));
    TextData().TextDataMode = -1;
    Views().ViewKind = 5;
    SetChartMenus(*FindChartWindow(5));
    EXPECT_FALSE(IsCommandEnabled(14));
    EXPECT_TRUE(FindChartWindow(5)->MenuItem("MNU_ユーザ設定")->isEnabled());
    TextData().TextDataMode = 0;
    Views().ViewKind = 3;
    EXPECT_TRUE(IsCommandEnabled(18));
}

TEST_F(ChartViewsTest, PeriodBarSettersUserChangesAndTheKagiClamp) {
    SelectRows(1, 1);
    Press(5);
    ChartWindow& daily = *FindChartWindow(5);
    QScrollBar& bar = daily.PeriodBar();
    struct Case {
        int maximum;
        int value;
        bool enabled;
    };
    const std::pair<int, Case> setters[] = {
        {160, {160, 150, true}}, {-20, {0, 0, false}}, {5, {5, 0, true}}, {20, {20, 10, true}}};
    const int drawn = Views().ChartDrawings[1];
    for (const auto& [maximum, expected] : setters) {
        SetPeriodScroll(daily, maximum, kScrollMargin);
        EXPECT_EQ(bar.maximum(), expected.maximum) << maximum;
        EXPECT_EQ(bar.value(), expected.value) << maximum;
        EXPECT_EQ(bar.isEnabled(), expected.enabled) << maximum;
        EXPECT_EQ(Series().DailySeries.FirstShownPoint, expected.value) << maximum;
    }
    EXPECT_EQ(Views().ChartDrawings[1], drawn);
    EXPECT_EQ(bar.property("Arrows").toInt(), 0);
    bar.setValue(0);
    EXPECT_EQ(bar.property("Arrows").toInt(), 2);
    EXPECT_EQ(Views().ChartDrawings[1], drawn + 1);
    bar.setValue(20);
    EXPECT_EQ(bar.property("Arrows").toInt(), 1);
    EXPECT_EQ(Series().DailySeries.FirstShownPoint, 20);

    Press(4);
    ChartWindow& kagi = *FindChartWindow(4);
    const int32_t strokes = Series().KagiSeries.Count;
    ASSERT_GT(strokes, 2);
    const int kagiDrawn = Views().ChartDrawings[0];
    kagi.PeriodBar().setMaximum(strokes + 5);
    kagi.PeriodBar().setValue(strokes + 2);
    EXPECT_EQ(kagi.PeriodBar().value(), strokes - 1);
    EXPECT_EQ(Views().ChartDrawings[0], kagiDrawn + 1);
    // The drawing pulls the first stroke back so that at most ten slots stay empty.
    EXPECT_EQ(Series().KagiSeries.FirstShownPoint, std::max(0, strokes - 50));
}

// At the right end of a long kagi chart, 次 to an issue with fewer strokes: the scroll bar's
// clamp pulls the value back inside the setter, and the step still draws the chart once.
TEST_F(ChartViewsTest, ANextIssueWithFewerStrokesDrawsTheKagiChartOnce) {
    SelectRows(5, 16);
    Press(4);
    ChartWindow& kagi = *FindChartWindow(4);
    kagi.MenuItem("MNU_表示本数00")->trigger();
    bool seen = false;
    for (int step = 0; step < 11 && !seen; ++step) {
        QScrollBar& bar = kagi.PeriodBar();
        bar.setValue(bar.maximum());
        const int32_t before = Series().KagiSeries.Count;
        const int drawn = Views().ChartDrawings[0];
        Press(25);
        if (Series().KagiSeries.Count >= before) continue;
        seen = true;
        EXPECT_EQ(Views().ChartDrawings[0], drawn + 1) << "step " << step;
        EXPECT_LT(kagi.PeriodBar().value(), Series().KagiSeries.Count);
    }
    EXPECT_TRUE(seen) << "no issue with fewer strokes than the one before it";
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(ChartViewsTest, TheFrameBarsAndTheTransferState) {
    MDF_メイン& frame = MainFrame();
    QToolBar* toolbar = frame.Toolbar();
    EXPECT_EQ(toolbar->objectName(), "TLB_menu");
    EXPECT_EQ(toolbar->height(), TwipsToPixels(885));
    EXPECT_TRUE(frame.ToolbarButton(1)->isSeparator());
    EXPECT_EQ(frame.ToolbarButton(22)->text(), "ﾎﾟｰﾄF");
    EXPECT_TRUE(frame.ToolbarButton(22)->isVisible());
    EXPECT_FALSE(frame.ToolbarButton(21)->isVisible());
    EXPECT_TRUE(frame.LineToolbar()->isHidden());
    EXPECT_EQ(frame.LineToolbar()->objectName(), "TLB_斜線関門");
    EXPECT_EQ(frame.MaStatusBar()->objectName(), "STA_MA");
    EXPECT_EQ(frame.statusBar()->objectName(), "STA_Main");
    EXPECT_EQ(frame.centralWidget(), frame.ClientArea());
    const std::pair<int, int> states[] = {{1, 0}, {11, 11}, {8, 11}, {12, 12}, {10, 12}};
    for (const auto& [state, kept] : states) {
        frame.Inet1_StateChanged(state);
        EXPECT_EQ(Views().InetState, kept) << state;
    }
}

TEST_F(ChartViewsTest, AVisibleLineToolbarMakesTheChartWindowTaller) {
    SelectRows(1, 1);
    Press(5);
    const int plain = ChartSubWindow(*FindChartWindow(5))->height();
    EXPECT_EQ(plain, MainFrame().ClientArea()->viewport()->height());
    MainFrame().LineToolbar()->show();
    Press(5);
    // The client area lost the toolbar's height; the window keeps its height beyond it.
    const int client = MainFrame().ClientArea()->viewport()->height();
    EXPECT_EQ(client, plain - MainFrame().LineToolbar()->height());
    EXPECT_EQ(ChartSubWindow(*FindChartWindow(5))->height(), plain);
}

TEST_F(ChartViewsTest, ACloseDuringAViewWaitsForItAndShutsDownOnce) {
    SelectRows(1, 1);
    {
        FrameCloseHold hold;
        Press(5);
        MainFrame().close();
        EXPECT_EQ(programEnds, 0);
        EXPECT_EQ(Progress().CancelRequested, -1);
        EXPECT_TRUE(MainFrame().isVisible());
    }
    EXPECT_EQ(programEnds, 1);
    // The closing frame lays nothing out.
    const auto drawn = Views().ChartDrawings;
    MainFrame().resize(900, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(Views().ChartDrawings, drawn);
}

TEST_F(ChartViewsTest, PicturesOfTheFourViews) {
    SelectRows(1, 1);
    for (const int code : {4, 5, 6, 7}) {
        Press(code);
        QCoreApplication::processEvents();
        ChartWindow& window = *FindChartWindow(code);
        const QImage image = window.grab().toImage();
        const std::string path =
            std::string(KABUTO_BINARY_DIR) + "/chartviews_" + std::to_string(code) + ".png";
        EXPECT_TRUE(image.save(QString::fromStdString(path)));
        const QImage price = window.Pane("PIC_Cht10")->image();
        // The price pane's background is white; grid lines are silver, candles red or blue.
        bool white = false;
        bool silver = false;
        bool coloured = false;
        for (int y = 0; y < price.height(); y += 1) {
            for (int x = 0; x < price.width(); x += 3) {
                const QColor c = price.pixelColor(x, y);
                white |= c == QColor(Qt::white);
                silver |= c == QColor(192, 192, 192);
                coloured |= c == QColor(255, 0, 0) || c == QColor(0, 0, 255) ||
                            (code == 4 && c == QColor(0, 0, 0));
            }
        }
        EXPECT_TRUE(white) << code;
        EXPECT_TRUE(silver) << code;
        EXPECT_TRUE(coloured) << code;
        if (code == 4) continue;
        // Volume bars are green at the bottom of the volume pane.
        const QImage volume = window.Pane("PIC_Cht20")->image();
        bool green = false;
        for (int x = 0; x < volume.width(); ++x)
            green |= volume.pixelColor(x, volume.height() - 2) == QColor(0, 255, 0);
        EXPECT_TRUE(green) << code;
    }
}

}  // namespace
