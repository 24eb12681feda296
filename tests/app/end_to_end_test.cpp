// ctest-labels: e2e
// A new user's first steps through the whole program: the program folder made by the
// installation code with a saved sign-in, the program's own Main offscreen, and then only
// what a user does: clicks on the list grid, the toolbar, the menus and the scroll bar,
// mouse moves and clicks on the price pane, the panel's buttons. After every step the main
// frame is kept as a picture in e2e/ under the build folder for review.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolBar>
#include <string>
#include <vector>

#include "analysis/lines_geometry.h"
#include "analysis/lines_storage.h"
#include "analysis/series.h"
#include "app/main_sequence.h"
#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/recordset.h"
#include "foundation/settings.h"
#include "foundation/signin.h"
#include "foundation/startup.h"
#include "foundation/state.h"
#include "maintenance/data_table_rows.h"
#include "maintenance/data_table_window.h"
#include "platform/flex_grid.h"
#include "support/fresh_state.h"
#include "support/grid_cells.h"
#include "support/market_fixture.h"
#include "support/modal.h"
#include "support/scripted_sink.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/cursor_readout.h"
#include "views/line_editing.h"
#include "views/line_panel.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr int kList = 3, kDaily = 5, kWeekly = 6, kDataTable = 12, kLine = 18, kPrint = 19,
              kPrevious = 24, kNext = 25;

class EndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetProgramEnd([this] { ++programEnds; });
        QDir().mkpath(QStringLiteral(KABUTO_BINARY_DIR "/e2e"));
    }
    void TearDown() override {
        DestroyMainFrame();
        SetProgramEnd(nullptr);
        ReleaseInstanceLock();
    }

    // The frame as the user sees it after a step, and the state every step leaves.
    void Done(const char* step) {
        QTest::qWait(30);
        const QString file = QStringLiteral(KABUTO_BINARY_DIR "/e2e/%1.png").arg(step);
        EXPECT_TRUE(MainFrame().grab().save(file)) << step;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << step;
        for (int kind = kChartKagi; kind <= kChartMonthly; ++kind) {
            if (ChartWindow* window = FindChartWindow(kind))
                EXPECT_NE(window->cursor().shape(), Qt::WaitCursor) << step;
        }
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << step;
        EXPECT_TRUE(sink.AllShown()) << step;
    }

    FlexGrid& Grid() { return SelectionWindow().Grid(); }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        const QModelIndex index = Grid().model()->index(row - Grid().FixedRows(), 2);
        const QRect cell = Grid().visualRect(index);
        QTest::mouseClick(Grid().viewport(), Qt::LeftButton, modifiers, cell.center());
    }
    QToolBar* Toolbar() {
        for (QToolBar* bar : MainFrame().findChildren<QToolBar*>()) {
            if (bar->actions().contains(MainFrame().ToolbarButton(kList))) return bar;
        }
        return nullptr;
    }
    void Press(int code) {
        QWidget* button = Toolbar()->widgetForAction(MainFrame().ToolbarButton(code));
        ASSERT_NE(button, nullptr) << code;
        ASSERT_TRUE(button->isVisible()) << code;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    bool ButtonShown(int code) { return MainFrame().ToolbarButton(code)->isVisible(); }
    // A menu of the frame's menu bar opened with a click, then its items clicked in turn.
    void ChooseMenu(const QString& top, const std::vector<QString>& path) {
        QMenuBar* bar = MainFrame().menuBar();
        QAction* topAction = nullptr;
        for (QAction* action : bar->actions()) {
            if (action->isVisible() && action->text() == top) topAction = action;
        }
        ASSERT_NE(topAction, nullptr) << top.toStdString();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(topAction).center());
        QMenu* menu = topAction->menu();
        for (const QString& caption : path) {
            ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }))
                << caption.toStdString();
            QAction* item = nullptr;
            for (QAction* action : menu->actions()) {
                if (action->text() == caption) item = action;
            }
            ASSERT_NE(item, nullptr) << caption.toStdString();
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
            if (item->menu()) menu = item->menu();
        }
    }
    std::string Caption() { return MainFrame().windowTitle().toStdString(); }
    std::string TitleAt(int row) {
        const RecordsetPtr& rs = IssueList().IssueListRecordset;
        const auto& fields = rs->Row(std::stoi(Grid().TextMatrix(row, 0)) - 1);
        auto text = [&](const char* name) { return FieldText(fields.at(rs->FieldIndex(name))); };
        return text("証券コード") + "   " + text("市場名") + "   " + text("銘柄名");
    }
    std::string Panel(int n) { return MainFrame().Panel(n)->text().toStdString(); }
    int RowOfCode(const std::string& code) {
        for (int row = 1; row < Grid().Rows(); ++row)
            if (Grid().TextMatrix(row, 2) == code) return row;
        return -1;
    }
    // The tooltip of the weekly price pane with the mouse over point p.
    std::string WeeklyTipAt(int32_t p) {
        Mouse(QEvent::MouseMove, p, kWeekly);
        return FindChartWindow(kWeekly)->PricePane().toolTip().toStdString();
    }
    // A printed file's first page kept beside the pictures of the steps.
    static void KeepPrintedPage(const std::string& pdf, const char* step) {
        QProcess render;
        render.start("pdftoppm", {"-r", "50", "-png", "-singlefile", QString::fromStdString(pdf),
                                  QStringLiteral(KABUTO_BINARY_DIR "/e2e/%1").arg(step)});
        render.waitForFinished(120000);
    }

    // The mouse over point p's column of a candle chart's price pane, as in the pane's own
    // scale.
    QPoint PixelOf(int32_t p, int kind = kDaily) {
        ChartPricePane& pane = FindChartWindow(kind)->PricePane();
        const double column = p - RecordOfChart(kind).FirstShownPoint + 1;
        const Surface& scale = pane.surface();
        const double x =
            (column * 100 + 50 - scale.ScaleLeft()) * pane.width() / scale.ScaleWidth();
        return QPoint(static_cast<int>(x), pane.height() / 2);
    }
    void Mouse(QEvent::Type type, int32_t p, int kind = kDaily) {
        QWidget& pane = FindChartWindow(kind)->PricePane();
        const QPoint at = PixelOf(p, kind);
        const bool move = type == QEvent::MouseMove;
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, QPointF(at), pane.mapToGlobal(QPointF(at)),
                          move ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&pane, &event);
    }
    void ClickBar(int32_t p) {
        Mouse(QEvent::MouseMove, p);
        Mouse(QEvent::MouseButtonPress, p);
        Mouse(QEvent::MouseButtonRelease, p);
    }
    // A click on the scroll bar's track left of its handle.
    void ClickPageBack(QScrollBar& bar) {
        QStyleOptionSlider option;
        option.initFrom(&bar);
        option.orientation = bar.orientation();
        option.minimum = bar.minimum();
        option.maximum = bar.maximum();
        option.sliderPosition = bar.sliderPosition();
        option.sliderValue = bar.value();
        option.singleStep = bar.singleStep();
        option.pageStep = bar.pageStep();
        option.subControls = QStyle::SC_All;
        const QRect page = bar.style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                       QStyle::SC_ScrollBarSubPage, &bar);
        ASSERT_FALSE(page.isEmpty());
        QTest::mouseClick(&bar, Qt::LeftButton, {}, page.center());
    }
    // The slot whose upper line runs from point `left` to point `right`, or -1.
    static int SlotOf(const SeriesRecord& record, int32_t left, int32_t right) {
        for (int s = 0; s < static_cast<int>(record.ShasenSlots.size()); ++s) {
            const ShasenRec& line = record.ShasenSlots[s];
            if (line.UpperLeftIndex == left && line.UpperRightIndex == right) return s;
        }
        return -1;
    }
    int StoredLineRows(const std::string& issueId) {
        RecordsetPtr rs;
        std::string sql = MakeShasenSelectSql(issueId, 101, Signin().UserRowId);
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, sql, rs)) << sql;
        return rs ? rs->RecordCount() : -1;
    }

    ScriptedSink sink;
    int programEnds = 0;
};

TEST_F(EndToEndTest, ANewUsersFirstSteps) {
    MarketFixture market(TestEngine::Sqlite, MarketFixture::SmallMarket(), false);
    KABUTO_REQUIRE_MARKET(market);
    ResetAllState();
    {
        LogonPair pair{MarketFixture::kUserId, MarketFixture::kPassword};
        LoadSettei(pair);
        pair = {MarketFixture::kUserId, MarketFixture::kPassword};
        ASSERT_TRUE(SaveSettei(pair));
        Settei() = SetteiState{};
    }

    // 1. The program starts with the list of every issue.
    ASSERT_TRUE(Main());
    MDF_メイン& frame = MainFrame();
    frame.resize(1280, 800);
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    const int issues = market.Summary().IssueCount;
    EXPECT_EQ(Caption(), "選択");
    EXPECT_EQ(Panel(2), std::to_string(issues) + " 件表示されました。");
    EXPECT_EQ(Views().ViewKind, kList);
    EXPECT_FALSE(ButtonShown(kNext));
    EXPECT_FALSE(ButtonShown(kPrevious));
    Done("01-list");

    // 2. Three rows selected and 日足: the first issue's latest bars.
    ClickRow(1);
    ClickRow(3, Qt::ShiftModifier);
    const std::string first = TitleAt(1), second = TitleAt(2), third = TitleAt(3);
    Press(kDaily);
    EXPECT_EQ(IssueSelection().SelectedRows.size(), 3u);
    EXPECT_EQ(Caption(), "[日足]   " + first);
    EXPECT_EQ(Panel(3), "150 本表示");
    ChartWindow* daily = FindChartWindow(kDaily);
    ASSERT_NE(daily, nullptr);
    QScrollBar& bar = daily->PeriodBar();
    EXPECT_EQ(RecordOfChart(kDaily).FirstShownPoint + 150, RecordOfChart(kDaily).Count);
    EXPECT_TRUE(ButtonShown(kNext));
    EXPECT_EQ(frame.menuBar()->actions().size(), daily->MenuBar()->actions().size());
    Done("02-daily");

    // 3. 次 to the third issue, 次 at the end changes nothing and says nothing, 前 to the
    // second.
    Press(kNext);
    Press(kNext);
    EXPECT_EQ(Caption(), "[日足]   " + third);
    const int32_t drawn = Views().ChartDrawings[KindIndex(kDaily)];
    Press(kNext);
    EXPECT_EQ(Caption(), "[日足]   " + third);
    EXPECT_EQ(Views().ChartDrawings[KindIndex(kDaily)], drawn);
    // 前 by its menu shortcut.
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Caption(), "[日足]   " + second);
    Done("03-second-issue");

    // 4. The scroll bar's track: five bars back, the same issue, nothing reloaded.
    const int32_t latestFirst = RecordOfChart(kDaily).FirstShownPoint;
    const int32_t count = RecordOfChart(kDaily).Count;
    ClickPageBack(bar);
    EXPECT_EQ(RecordOfChart(kDaily).FirstShownPoint, latestFirst - 5);
    EXPECT_EQ(RecordOfChart(kDaily).Count, count);
    EXPECT_EQ(Caption(), "[日足]   " + second);
    Done("04-scrolled-back");

    // 5. 表示 → 表示本数 → 200本.
    ChooseMenu(QString::fromUtf8("表示(&V)"),
               {QString::fromUtf8("表示本数(&T)"), QString::fromUtf8("200本")});
    EXPECT_EQ(Panel(3), "200 本表示");
    int checked = 0;
    for (const CountItem& item : CountItems(kDaily)) {
        const bool on = daily->MenuItem(item.name)->isChecked();
        checked += on;
        if (item.count == 200) EXPECT_TRUE(on);
    }
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(RecordOfChart(kDaily).FirstShownPoint, RecordOfChart(kDaily).Count - 200);
    Done("05-200-bars");

    // 6. A line through two highs drawn with the mouse and saved.
    const SeriesRecord& record = RecordOfChart(kDaily);
    const int32_t recent = record.Count - 5, earlier = record.Count - 40;
    std::string issueId;
    ASSERT_TRUE(GetCurrentIssueId(issueId));
    const int storedBefore = StoredLineRows(issueId);
    Press(kLine);
    ASSERT_TRUE(ShasenKanmonEditing());
    EXPECT_TRUE(EditPanel().isVisible());
    EXPECT_FALSE(frame.ToolbarButton(kDaily)->isEnabled());
    EXPECT_FALSE(daily->MenuBar()->actions().front()->isEnabled());
    Done("06a-line-panel");
    ClickBar(recent);
    QTest::mouseClick(EditPanel().Option("OPT_左端"), Qt::LeftButton, {}, QPoint(8, 8));
    ClickBar(earlier);
    const int slot = SlotOf(record, earlier, recent);
    ASSERT_GE(slot, 0);
    const ShasenRec line = record.ShasenSlots[slot];
    EXPECT_DOUBLE_EQ(line.UpperLeftPrice, record.Points[earlier].High);
    EXPECT_DOUBLE_EQ(line.UpperRightPrice, record.Points[recent].High);
    Done("06b-line-drawn");
    QTest::mouseClick(EditPanel().Button("CMD_OK"), Qt::LeftButton);
    EXPECT_FALSE(ShasenKanmonEditing());
    EXPECT_FALSE(EditPanel().isVisible());
    EXPECT_TRUE(frame.ToolbarButton(kDaily)->isEnabled());
    EXPECT_TRUE(daily->MenuBar()->actions().front()->isEnabled());
    EXPECT_EQ(StoredLineRows(issueId), storedBefore + 1);
    Done("06c-line-saved");

    // 7. 選択: the list with the same rows selected.
    Press(kList);
    EXPECT_EQ(Caption(), "選択");
    EXPECT_EQ(std::min(Grid().Row(), Grid().RowSel()), 1);
    EXPECT_EQ(std::max(Grid().Row(), Grid().RowSel()), 3);
    Done("07-list-again");

    // 8. 日足 and 次: the second issue's chart with the saved line read from the table.
    Press(kDaily);
    Press(kNext);
    EXPECT_EQ(Caption(), "[日足]   " + second);
    // The stored rows fill the slots in their own order.
    const int shown = SlotOf(RecordOfChart(kDaily), earlier, recent);
    ASSERT_GE(shown, 0);
    const ShasenRec& loaded = RecordOfChart(kDaily).ShasenSlots[shown];
    EXPECT_DOUBLE_EQ(loaded.UpperLeftPrice, line.UpperLeftPrice);
    EXPECT_DOUBLE_EQ(loaded.UpperRightPrice, line.UpperRightPrice);
    EXPECT_TRUE(OverlayOf(kDaily).LIN_斜線T10[shown].Visible);
    Done("08-line-loaded");

    // 9. ﾃﾞｰﾀ表 of the issue on show: its rows with their dates read whole.
    bool tableShown = false;
    AnswerNextModalNamed(QString::fromUtf8(kDataTableFormName), [&](QWidget* modal) {
        auto* table = dynamic_cast<FRM_データ表*>(modal);
        ASSERT_NE(table, nullptr);
        tableShown = true;
        FlexGrid& rows = table->Grid();
        ASSERT_GT(rows.Rows(), 1);
        const std::string firstDate = rows.TextMatrix(1, kDtColDate);
        EXPECT_EQ(firstDate.size(), 10u) << firstDate;
        EXPECT_EQ(CutCells(rows), std::vector<std::string>{});
        EXPECT_TRUE(table->grab().save(QStringLiteral(KABUTO_BINARY_DIR "/e2e/09-data-table.png")));
        table->reject();
    });
    Press(kDataTable);
    EXPECT_TRUE(tableShown);
    Done("09-after-data-table");

    // 10. The weekly chart of an issue with a split: at the cursor the week before the split
    // closes at its last day's daily close and the newest week at the newest daily close.
    const MarketSummary& made = market.Summary();
    Press(kList);
    const int splitRow = RowOfCode(made.SplitIssueId.substr(0, 4));
    ASSERT_GT(splitRow, 0);
    ClickRow(splitRow);
    Press(kDaily);
    const SeriesRecord dailyOfSplit = RecordOfChart(kDaily);
    Press(kWeekly);
    EXPECT_EQ(Caption(), "[週足]   " + TitleAt(splitRow));
    const SeriesRecord& weeks = RecordOfChart(kWeekly);
    int32_t splitWeek = -1;
    for (int32_t w = 0; w < weeks.Count && splitWeek < 0; ++w) {
        const std::string& label = weeks.Points[w].DateText;
        if (std::stoi(label.substr(label.size() - 10, 4) + label.substr(label.size() - 5, 2) +
                      label.substr(label.size() - 2)) >= made.SplitDate)
            splitWeek = w;
    }
    ASSERT_GT(splitWeek, weeks.FirstShownPoint);
    const std::string& beforeLabel = weeks.Points[splitWeek - 1].DateText;
    double beforeClose = -1;
    for (int32_t d = 0; d < dailyOfSplit.Count; ++d)
        if (dailyOfSplit.Points[d].DateText == beforeLabel.substr(beforeLabel.size() - 10))
            beforeClose = dailyOfSplit.Points[d].Close;
    ASSERT_GT(beforeClose, 0) << beforeLabel;
    const std::string beforeTip = WeeklyTipAt(splitWeek - 1);
    EXPECT_NE(beforeTip.find(" 終値" + FormatReadoutValue(beforeClose) + " "), std::string::npos)
        << beforeTip;
    const double newestClose = dailyOfSplit.Points[dailyOfSplit.Count - 1].Close;
    const std::string newestTip = WeeklyTipAt(weeks.Count - 1);
    EXPECT_NE(newestTip.find(" 終値" + FormatReadoutValue(newestClose) + " "), std::string::npos)
        << newestTip;
    Done("10-split-weekly");

    // 11. The list printed, then the weekly chart: two files, the list's kept.
    const std::string folder = market.Path();
    Press(kList);
    sink.Expect(MsgKind::OkCancel, "印刷を開始しますか？", kAnswerOk);
    Press(kPrint);
    Press(kWeekly);
    sink.Expect(MsgKind::OkCancel, "印刷を開始しますか？", kAnswerOk);
    Press(kPrint);
    for (const char* name : {"print.pdf", "print-2.pdf"})
        EXPECT_TRUE(QFile::exists(QString::fromStdString(folder + name))) << name;
    KeepPrintedPage(folder + "print.pdf", "11a-printed-list");
    KeepPrintedPage(folder + "print-2.pdf", "11b-printed-weekly");
    Done("11-printed");

    // 12. Closing the frame signs out and writes the text stores.
    for (const char* store : {"memo.ini", "chuumoku.ini", "shasen.ini", "kanmon.ini"})
        QFile::remove(QString::fromStdString(folder + store));
    frame.close();
    EXPECT_EQ(programEnds, 1);
    for (const char* store : {"memo.ini", "chuumoku.ini", "shasen.ini", "kanmon.ini"})
        EXPECT_TRUE(QFile::exists(QString::fromStdString(folder + store))) << store;
    RecordsetPtr row;
    std::string error;
    ASSERT_TRUE(RunCatalogSql(CatalogConnectionString(market.Prefix(), kUserCatalog),
                              "SELECT login_flg FROM velm_user_test WHERE velm_user_id=?",
                              {std::string(MarketFixture::kUserId)}, &row, error))
        << error;
    row->MoveFirst();
    EXPECT_EQ(FieldText(row->Field(0)), "0");
    EXPECT_TRUE(sink.AllShown());
}

}  // namespace
