// ctest-labels: lineedit
// Drawing diagonal lines on an open chart, offscreen on the synthetic market: the tool panel
// and its start state, the locked menus, toolbar and shortcuts, the slots, clicks on the
// daily and kagi charts, 削除, 保存 and 閉じる.
#include "views/line_panel.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>
#include <string>
#include <vector>

#include "analysis/lines_geometry.h"
#include "analysis/lines_storage.h"
#include "analysis/state.h"
#include "foundation/database.h"
#include "foundation/signin.h"
#include "foundation/state.h"
#include "ui/input_boxes.h"
#include "views/chart_view_fixture.h"
#include "views/chart_window.h"
#include "views/line_editing.h"
#include "views/view_rules.h"

namespace {

std::string Describe(const ShasenRec& s) {
    return std::to_string(s.UpperLeftIndex) + "," + std::to_string(s.UpperLeftPrice) + "-" +
           std::to_string(s.UpperRightIndex) + "," + std::to_string(s.UpperRightPrice) + " / " +
           std::to_string(s.LowerLeftIndex) + "," + std::to_string(s.LowerLeftPrice) + "-" +
           std::to_string(s.LowerRightIndex) + "," + std::to_string(s.LowerRightPrice);
}

class LinePanelTest : public ChartViewFixture {
  protected:
    // The view of a chart kind for the first listed issue.
    void Open(int kind) {
        SelectRows(1, 1);
        Press(kind);
        kind_ = kind;
        window = FindChartWindow(kind);
        ASSERT_NE(window, nullptr);
    }
    ShasenKanmonPanel& Panel() { return EditPanel(); }
    QRadioButton& Opt(const char* name) { return *Panel().Option(name); }
    SeriesRecord& Record() { return RecordOfChart(kind_); }
    PriceOverlay& Shapes() { return OverlayOf(kind_); }

    // The middle of the column of point p in pixels of the price pane.
    QPoint PixelOf(int32_t p) {
        ChartPricePane& pane = window->PricePane();
        const int32_t k = p - Record().FirstShownPoint;
        const double column = kind_ == kChartKagi ? 2 * k + 1 : k + 1;
        const Surface& scale = pane.surface();
        const double x =
            (column * 100 + 50 - scale.ScaleLeft()) * pane.width() / scale.ScaleWidth();
        return QPoint(static_cast<int>(x), pane.height() / 2);
    }
    void Send(QEvent::Type type, QPoint at) {
        QWidget& pane = window->PricePane();
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton
                                                                            : Qt::LeftButton;
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), pane.mapToGlobal(QPointF(at)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(&pane, &event);
    }
    void Move(int32_t p) { Send(QEvent::MouseMove, PixelOf(p)); }
    void Click(int32_t p) {
        Move(p);
        Send(QEvent::MouseButtonPress, PixelOf(p));
        Send(QEvent::MouseButtonRelease, PixelOf(p));
    }
    // The events a double click delivers: press, release, double click, release.
    void DoubleClick(int32_t p) {
        Move(p);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
            Send(type, PixelOf(p));
    }
    void StepUp() { Panel().Spinner("UPD_Next")->UpButton()->click(); }
    void StepDown() { Panel().Spinner("UPD_Next")->DownButton()->click(); }
    bool Highlighted(int slot) {
        return Shapes().LIN_斜線T10[slot].BorderColor == kHighlightColour &&
               Shapes().LIN_斜線B10[slot].BorderColor == kHighlightColour;
    }
    int HighlightedCount() {
        int count = 0;
        for (int slot = 0; slot < kLineSlotCount; ++slot) count += Highlighted(slot);
        return count;
    }
    std::string IssueId() {
        std::string id;
        EXPECT_TRUE(GetCurrentIssueId(id));
        return id;
    }
    // The numbers (番号) of the user's stored line rows of a chart kind's code.
    std::vector<int> StoredSlots(int32_t code) {
        std::string sql = MakeShasenSelectSql(IssueId(), code, Signin().UserRowId);
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, sql, rs));
        std::vector<int> numbers;
        for (int r = 0; rs && r < rs->RecordCount(); ++r)
            numbers.push_back(std::stoi(FieldText(rs->Row(r)[1])));
        return numbers;
    }
    void Run(std::string sql) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, sql, rs)) << sql;
    }
    bool MenusEnabled() {
        const QList<QAction*> tops = window->MenuBar()->actions();
        EXPECT_EQ(tops.size(), 7);
        bool all = true;
        for (QAction* top : tops) {
            EXPECT_EQ(top->isEnabled(), tops.front()->isEnabled()) << top->text().toStdString();
            all = all && top->isEnabled();
        }
        return all;
    }
    int EnabledButtons() {
        int count = 0;
        for (int code = 1; code <= kToolbarButtons; ++code)
            count += MainFrame().ToolbarButton(code)->isEnabled();
        return count;
    }
    void Activate() {
        MainFrame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&MainFrame()));
    }

    ChartWindow* window = nullptr;
    int kind_ = 0;
};

TEST_F(LinePanelTest, LineEditingOnTheDailyChartLocksTheViewUntilEsc) {
    Activate();
    Open(5);
    QMdiSubWindow* sub = ChartSubWindow(*window);
    const QSize size = sub->size();
    const int client = MainFrame().ClientArea()->viewport()->height();
    const int buttons = EnabledButtons();  // the shown ones: hidden actions count as disabled
    Press(18);
    QCoreApplication::processEvents();
    ASSERT_TRUE(ShasenKanmonEditing());
    // The panel takes its room from the client area; the window keeps its size.
    EXPECT_EQ(MainFrame().ClientArea()->viewport()->height(),
              client - MainFrame().LineToolbar()->height());
    EXPECT_EQ(sub->size(), size);

    EXPECT_FALSE(Opt("OPT_判定").isEnabled());
    for (const char* name : {"OPT_補助", "OPT_斜線", "OPT_上値", "OPT_右端", "OPT_設定"})
        EXPECT_TRUE(Opt(name).isChecked()) << name;
    EXPECT_EQ(Lines().CurLineSlot, 3);
    EXPECT_EQ(Lines().CurKanmonSlot, 1);
    EXPECT_TRUE(Highlighted(3));
    EXPECT_EQ(HighlightedCount(), 1);
    EXPECT_FALSE(Panel().Frame("FRA_LR")->isHidden());
    EXPECT_FALSE(Panel().Frame("FRA_Mode")->isHidden());
    EXPECT_TRUE(Panel().Frame("FRA_TB")->isHidden());
    QPushButton* cancel = Panel().Button("CMD_cancel");
    EXPECT_TRUE(cancel->hasFocus());
    // 閉じる comes first in the panel's tab order.
    QWidget* next = &Panel();
    do next = next->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus) || !Panel().isAncestorOf(next));
    EXPECT_EQ(next, cancel);
    QLineEdit* upper = Panel().PriceBox("TXT_Max");
    EXPECT_EQ(upper->maxLength(), 9);
    EXPECT_EQ(upper->alignment() & Qt::AlignRight, Qt::AlignRight);

    EXPECT_FALSE(MenusEnabled());
    EXPECT_EQ(EnabledButtons(), 0);
    // Neither the toolbar nor the menus' shortcuts reach the view while the panel shows.
    Press(3);
    QTest::keyClick(&MainFrame(), Qt::Key_E, Qt::ControlModifier);  // 日足
    QTest::keyClick(&MainFrame(), Qt::Key_W, Qt::ControlModifier);  // 鈎足
    QTest::keyClick(&MainFrame(), Qt::Key_Q, Qt::ControlModifier);  // 閉じる
    QTest::keyClick(&MainFrame(), Qt::Key_X, Qt::ControlModifier);  // 次
    EXPECT_EQ(Views().ViewKind, 5);
    EXPECT_EQ(FindChartWindow(5), window);
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 0);
    EXPECT_TRUE(ShasenKanmonEditing());

    QTest::keyClick(cancel, Qt::Key_Escape);
    EXPECT_FALSE(ShasenKanmonEditing());
    EXPECT_TRUE(MenusEnabled());
    EXPECT_EQ(EnabledButtons(), buttons);
    EXPECT_EQ(HighlightedCount(), 0);
    // The menus answer again.
    QTest::keyClick(&MainFrame(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(Views().ViewKind, 4);
}

TEST_F(LinePanelTest, TheWeeklyChartOffersTheJudgementSlotAndStepsTheOthers) {
    Open(6);
    FindChartWindow(6)->MenuItem("MNU_斜線")->trigger();
    ASSERT_TRUE(ShasenKanmonEditing());
    EXPECT_TRUE(Opt("OPT_判定").isEnabled());
    struct Step {
        bool up;
        int slot;
    };
    for (Step step : {Step{true, 1}, Step{true, 2}, Step{false, 1}, Step{false, 3}}) {
        step.up ? StepUp() : StepDown();
        EXPECT_EQ(Lines().CurLineSlot, step.slot);
        EXPECT_TRUE(Highlighted(step.slot));
        EXPECT_EQ(HighlightedCount(), 1);
    }
    Opt("OPT_判定").click();
    EXPECT_EQ(Lines().CurLineSlot, 0);
    EXPECT_EQ(Lines().CurKanmonSlot, 0);
    EXPECT_FALSE(Panel().Frame("FRA_SW")->isEnabled());
    EXPECT_FALSE(Panel().Spinner("UPD_Next")->isEnabled());
    EXPECT_EQ(HighlightedCount(), 0);
    EXPECT_EQ(Shapes().LIN_斜線T10[0].BorderColor, kJudgementUpperLineColour);
    StepUp();  // disabled
    EXPECT_EQ(Lines().CurLineSlot, 0);
    Opt("OPT_補助").click();
    EXPECT_EQ(Lines().CurLineSlot, 3);
    EXPECT_TRUE(Panel().Spinner("UPD_Next")->isEnabled());
    EXPECT_TRUE(Highlighted(3));

    // The next start begins from the first choice of every group again.
    Opt("OPT_判定").click();
    Opt("OPT_下値").click();
    Opt("OPT_延長").click();
    Opt("OPT_左端").click();
    Panel().Button("CMD_cancel")->click();
    Press(18);
    for (const char* name : {"OPT_補助", "OPT_上値", "OPT_右端", "OPT_設定"})
        EXPECT_TRUE(Opt(name).isChecked()) << name;
    EXPECT_TRUE(Panel().Frame("FRA_SW")->isEnabled());
    EXPECT_TRUE(Highlighted(3));
}

TEST_F(LinePanelTest, ADeletedLineComesBackOnClose) {
    Open(5);
    const int32_t last = Record().Count - 1;
    const auto& bars = Record().Points;
    Record().ShasenSlots[3] =
        ShasenRec{last - 30, bars[last - 30].High, last - 2, bars[last - 2].High,
                  last - 30, bars[last - 30].Low,  last - 2, bars[last - 2].Low,
                  3};
    Press(18);
    PlaceShasenShapes(Shapes(), Record().ShasenSlots, Record().FirstShownPoint,
                      Record().PriceDivisor, 5);
    window->PricePane().update();
    EXPECT_TRUE(Shapes().LIN_斜線T10[3].Visible);
    const std::string path = std::string(KABUTO_BINARY_DIR) + "/lineedit_daily.png";
    EXPECT_TRUE(MainFrame().grab().save(QString::fromStdString(path)));

    Panel().Button("CMD_Delete")->click();
    EXPECT_EQ(Record().ShasenSlots[3].UpperLeftIndex, kUnsetIndex);
    EXPECT_FALSE(Shapes().LIN_斜線T10[3].Visible);
    Panel().Button("CMD_cancel")->click();
    EXPECT_FALSE(ShasenKanmonEditing());
    EXPECT_EQ(Record().ShasenSlots[3].UpperLeftIndex, last - 30);
    EXPECT_TRUE(Shapes().LIN_斜線T10[3].Visible);
    EXPECT_TRUE(Shapes().LIN_斜線B10[3].Visible);
}

TEST_F(LinePanelTest, ALineThroughTwoHighsIsSavedAndShownAgain) {
    Open(5);
    const SeriesRecord& daily = Record();
    const int32_t recent = daily.Count - 5;
    const int32_t earlier = daily.Count - 40;
    Press(18);
    StepUp();  // slot 1, which the stored rows fill first when they are read back
    // A click takes the point of the last mouse move, not its own position.
    Move(recent);
    Send(QEvent::MouseButtonPress, PixelOf(recent - 10));
    Send(QEvent::MouseButtonRelease, PixelOf(recent - 10));
    const ShasenRec& slot = daily.ShasenSlots[1];
    EXPECT_EQ(slot.UpperRightIndex, recent);
    EXPECT_EQ(slot.UpperLeftIndex, recent - 1);
    Opt("OPT_左端").click();
    Click(earlier);
    EXPECT_EQ(slot.UpperLeftIndex, earlier);
    EXPECT_DOUBLE_EQ(slot.UpperLeftPrice, daily.Points[earlier].High);
    EXPECT_DOUBLE_EQ(slot.UpperRightPrice, daily.Points[recent].High);
    EXPECT_EQ(slot.LowerLeftIndex, recent - 1);  // only the upper line's start moved
    const LinePlacement& drawn = Shapes().LIN_斜線T10[1];
    EXPECT_TRUE(drawn.Visible);
    EXPECT_DOUBLE_EQ(drawn.X1, BarToX(earlier, daily.FirstShownPoint, 5));
    const std::string edited = Describe(slot);

    Panel().Button("CMD_OK")->click();
    EXPECT_FALSE(ShasenKanmonEditing());
    EXPECT_EQ(StoredSlots(101), std::vector<int>{1});
    EXPECT_EQ(Describe(daily.ShasenSlots[1]), edited);
    Press(5);
    EXPECT_EQ(Describe(RecordOfChart(5).ShasenSlots[1]), edited);
    EXPECT_TRUE(Shapes().LIN_斜線T10[1].Visible);

    // 閉じる instead of 保存 drops a new line.
    Press(18);
    Click(recent);
    EXPECT_EQ(RecordOfChart(5).ShasenSlots[3].UpperRightIndex, recent);
    Panel().Button("CMD_cancel")->click();
    EXPECT_EQ(RecordOfChart(5).ShasenSlots[3].UpperLeftIndex, kUnsetIndex);
    EXPECT_FALSE(Shapes().LIN_斜線T10[3].Visible);
    EXPECT_EQ(StoredSlots(101), std::vector<int>{1});
    EXPECT_EQ(Describe(RecordOfChart(5).ShasenSlots[1]), edited);
}

TEST_F(LinePanelTest, AWeeklyJudgementLineMarksTheList) {
    Open(6);
    Press(18);
    Opt("OPT_判定").click();
    Click(Record().Count - 3);
    EXPECT_EQ(Record().ShasenSlots[0].UpperRightIndex, Record().Count - 3);
    Panel().Button("CMD_OK")->click();
    EXPECT_FALSE(ShasenKanmonEditing());
    EXPECT_EQ(StoredSlots(102), std::vector<int>{0});
    EXPECT_EQ(SelectionWindow().Grid().TextMatrix(1, kShasenMarkGridColumn), "○");
    std::string sql = "SELECT 斜線W FROM TBL銘柄属性 WHERE 銘柄ID = ?";
    RecordsetPtr rs;
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, sql, rs, {IssueId()}));
    EXPECT_EQ(rs->Number(0), 1);
}

TEST_F(LinePanelTest, AFailingSaveKeepsThePanelAndStoresNothing) {
    Open(5);
    Press(18);
    Click(Record().Count - 5);
    Run("CREATE TRIGGER refuse_lines BEFORE INSERT ON TBL斜線 "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    sink.Expect(MsgKind::Warn);  // the engine's refusal, through ExecuteSql
    sink.Expect(MsgKind::Info, "処理が中断されました。");
    Panel().Button("CMD_OK")->click();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 2u);
    EXPECT_TRUE(ShasenKanmonEditing());
    EXPECT_TRUE(StoredSlots(101).empty());
    EXPECT_EQ(Record().ShasenSlots[3].UpperRightIndex, Record().Count - 5);
}

TEST_F(LinePanelTest, TheKagiChartTakesALineOnADoubleClickOnly) {
    Open(4);
    Press(18);
    const int32_t first = Record().FirstShownPoint;
    Click(first + 8);
    EXPECT_EQ(Record().ShasenSlots[3].UpperLeftIndex, kUnsetIndex);
    DoubleClick(first + 5);
    EXPECT_EQ(Record().ShasenSlots[3].UpperLeftIndex, first + 4);
    EXPECT_EQ(Record().ShasenSlots[3].UpperRightIndex, first + 5);
    EXPECT_TRUE(Shapes().LIN_斜線T10[3].Visible);
    // One double click is one click: a refused one says so once.
    StepDown();
    sink.Expect(MsgKind::Warn, "1つ先までの範囲で設定してください。");
    DoubleClick(first);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 1u);
    EXPECT_EQ(Record().ShasenSlots[2].UpperLeftIndex, kUnsetIndex);
}

}  // namespace
