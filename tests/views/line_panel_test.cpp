// ctest-labels: lineedit charts
// Drawing diagonal lines on an open chart, offscreen on the synthetic market: the tool panel
// and its start state, the locked menus, toolbar and shortcuts, the slots, clicks on the
// daily and kagi charts, 削除, 保存 and 閉じる.
#include "views/line_panel.h"

#include <gtest/gtest.h>

#include "views/line_panel_fixture.h"

namespace {

using LinePanelTest = LinePanelFixture;

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

// 罫線(&C), disabled while the panel shows, leaves Alt+C to the panel's 閉じる(&C).
TEST_F(LinePanelTest, AltCClosesThePanelAndTheMenuTakesItAgainAfterwards) {
    Activate();
    Open(5);
    Press(18);
    ASSERT_TRUE(ShasenKanmonEditing());
    QTest::keyClick(&MainFrame(), Qt::Key_C, Qt::AltModifier);
    // A button's access key clicks it after a short press animation.
    for (int waited = 0; ShasenKanmonEditing() && waited < 2000; waited += 20) QTest::qWait(20);
    EXPECT_FALSE(ShasenKanmonEditing());
    EXPECT_TRUE(MenusEnabled());
    EXPECT_TRUE(MainFrame().menuBar()->isEnabled());
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
    sink.Expect(MsgKind::Warn, "ﾃﾞｰﾀ更新時に不具合が発生しました。");
    sink.Expect(MsgKind::Info, "処理が中断されました。");
    Panel().Button("CMD_OK")->click();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 3u);
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
