// ctest-labels: barrieredit charts
// Barriers on an open chart, offscreen on the synthetic market: barrier editing from 関門,
// typed prices and Enter, the spinners, edges moved with the mouse, 削除, 保存 and 閉じる,
// and a redraw while a barrier is being edited.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <cmath>

#include "views/line_panel_fixture.h"

namespace {

class BarrierPanelTest : public LinePanelFixture {
  protected:
    void StartBarriers() {
        window->MenuItem("MNU_関門")->trigger();
        ASSERT_TRUE(ShasenKanmonEditing());
    }
    QLineEdit* Upper() { return EditPanel().PriceBox("TXT_Max"); }
    QLineEdit* Lower() { return EditPanel().PriceBox("TXT_Min"); }
    const Surface& Scale() { return window->PricePane().surface(); }
    // A whole pane value a share of the way up the price pane.
    double Level(double share) {
        const double bottom = Scale().ScaleTop() + Scale().ScaleHeight();
        return std::floor(bottom + share * -Scale().ScaleHeight());
    }
    void Enter(QLineEdit* box, double upper, double lower) {
        Upper()->setText(QString::number(upper, 'f', 0));
        Lower()->setText(QString::number(lower, 'f', 0));
        QTest::keyClick(box, Qt::Key_Return);
    }
    const ShapePlacement& Band(int slot) { return Shapes().SHP_関門10[slot]; }
    bool BandHighlighted(int slot) { return Band(slot).BorderColor == kHighlightColour; }
    void Settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
};

TEST_F(BarrierPanelTest, BarrierEditingOnTheWeeklyChartShowsThePriceBoxes) {
    Open(6);
    StartBarriers();
    EXPECT_TRUE(Opt("OPT_関門").isChecked());
    EXPECT_TRUE(Opt("OPT_判定").isEnabled());
    EXPECT_FALSE(EditPanel().Frame("FRA_TB")->isHidden());
    EXPECT_TRUE(EditPanel().Frame("FRA_LR")->isHidden());
    EXPECT_TRUE(EditPanel().Frame("FRA_Mode")->isHidden());
    EXPECT_EQ(Lines().CurKanmonSlot, 1);
    EXPECT_TRUE(BandHighlighted(1));
    EXPECT_EQ(HighlightedCount(), 0);
    struct Step {
        bool up;
        int slot;
    };
    for (Step step : {Step{true, 2}, Step{true, 1}, Step{false, 2}}) {
        step.up ? StepUp() : StepDown();
        EXPECT_EQ(Lines().CurKanmonSlot, step.slot);
        EXPECT_TRUE(BandHighlighted(step.slot));
        EXPECT_FALSE(BandHighlighted(3 - step.slot));
    }
    Opt("OPT_斜線").click();
    EXPECT_TRUE(EditPanel().Frame("FRA_TB")->isHidden());
    EXPECT_FALSE(EditPanel().Frame("FRA_LR")->isHidden());
    EXPECT_TRUE(Highlighted(3));
    EXPECT_FALSE(BandHighlighted(2));
    Opt("OPT_関門").click();
    EXPECT_TRUE(BandHighlighted(2));
    EXPECT_EQ(HighlightedCount(), 0);
}

TEST_F(BarrierPanelTest, TypedPricesLayABandWithinThePane) {
    Activate();
    Open(6);
    StartBarriers();
    // Only digits are typed into a price box.
    Upper()->setFocus();
    QTest::keyClicks(Upper(), "12a3-");
    EXPECT_EQ(Upper()->text(), "123");

    sink.Expect(MsgKind::Warn, "表示されている範囲内で設定してください。");
    Enter(Upper(), std::floor(Scale().ScaleTop()) + 500, Level(0.2));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_TRUE(Upper()->hasFocus());
    EXPECT_EQ(Upper()->selectedText(), Upper()->text());
    EXPECT_FALSE(Band(1).Visible);

    // A lower price above the upper one raises the upper one: a band of height 0.
    const double high = Level(0.6);
    Enter(Lower(), Level(0.3), high);
    EXPECT_EQ(Upper()->text().toDouble(), high);
    EXPECT_TRUE(Band(1).Visible);
    EXPECT_DOUBLE_EQ(Band(1).Top, high);
    EXPECT_DOUBLE_EQ(Band(1).Height, 0);

    Enter(Upper(), Level(0.7), Level(0.4));
    EXPECT_DOUBLE_EQ(Band(1).Top, Level(0.7));
    EXPECT_DOUBLE_EQ(Band(1).Height, Level(0.7) - Level(0.4));
    EXPECT_DOUBLE_EQ(Band(1).Width, 1.2 * Scale().ScaleWidth());
    const std::string path = std::string(KABUTO_BINARY_DIR) + "/barrieredit_weekly.png";
    EXPECT_TRUE(MainFrame().grab().save(QString::fromStdString(path)));
}

TEST_F(BarrierPanelTest, TheSpinnersStepWithinTheirBounds) {
    Open(6);
    StartBarriers();
    struct SpinCase {
        const char* text;
        bool up;
        const char* result;
    };
    const SpinCase cases[] = {
        {"0", false, "0"}, {"", true, "1"}, {"999999999", true, "999999999"}, {"41", false, "40"}};
    for (const SpinCase& c : cases) {
        for (const char* box : {"TXT_Max", "TXT_Min"}) {
            SCOPED_TRACE(std::string(box) + " " + c.text);
            QLineEdit* edit = EditPanel().PriceBox(box);
            UpDownSpinner* spin =
                EditPanel().Spinner(box == std::string("TXT_Max") ? "UPD_Max" : "UPD_Min");
            // The other box of the pair never bounds this one: the spinner selects its own box,
            // and leaving the other one puts the pair in order.
            const bool max = box == std::string("TXT_Max");
            EditPanel().PriceBox(max ? "TXT_Min" : "TXT_Max")->setText(max ? "0" : "999999999");
            edit->setText(c.text);
            (c.up ? spin->UpButton() : spin->DownButton())->click();
            EXPECT_EQ(edit->text().toStdString(), c.result);
        }
    }
    EXPECT_FALSE(Band(1).Visible);  // the spinners never move the barrier
}

TEST_F(BarrierPanelTest, ADeletedBarrierComesBackOnCloseAndTheJudgementOneHides) {
    Open(6);
    StartBarriers();
    Enter(Upper(), Level(0.7), Level(0.5));
    EditPanel().Button("CMD_OK")->click();
    ASSERT_FALSE(ShasenKanmonEditing());
    ASSERT_EQ(StoredBarriers(102).size(), 1u);
    EXPECT_EQ(SelectionWindow().Grid().TextMatrix(1, kKanmonMarkGridColumn), "");

    StartBarriers();
    EditPanel().Button("CMD_Delete")->click();
    EXPECT_FALSE(Band(1).Visible);
    EditPanel().Button("CMD_cancel")->click();
    EXPECT_TRUE(Band(1).Visible);
    EXPECT_DOUBLE_EQ(Band(1).Top, Level(0.7));

    StartBarriers();
    Opt("OPT_判定").click();
    Enter(Upper(), Level(0.9), Level(0.8));
    EXPECT_TRUE(Band(0).Visible);
    EditPanel().Button("CMD_Delete")->click();
    EXPECT_FALSE(Band(0).Visible);
    EXPECT_TRUE(Band(1).Visible);
}

TEST_F(BarrierPanelTest, TheKagiChartMovesAnEdgeOnThePressOnce) {
    Open(4);
    StartBarriers();
    const int32_t p = Record().FirstShownPoint + 3;
    const QPoint at = PixelAt(p, Level(0.6));
    Move(p);
    Send(QEvent::MouseButtonPress, at);
    ASSERT_TRUE(Band(1).Visible);
    EXPECT_DOUBLE_EQ(Band(1).Top, ValueAt(at));
    EXPECT_GT(Band(1).Height, 0);
    Send(QEvent::MouseButtonRelease, PixelAt(p, Level(0.8)));
    EXPECT_DOUBLE_EQ(Band(1).Top, ValueAt(at));
    // Below the lower edge the upper edge is refused: once for a double click.
    sink.Expect(MsgKind::Warn, "下限値を越えないように設定してください。");
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        Send(type, PixelAt(p, Level(0.2)));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 1u);
    // The lower edge moves down to it.
    Opt("OPT_下値").click();
    const QPoint low = PixelAt(p, Level(0.2));
    Send(QEvent::MouseButtonPress, low);
    EXPECT_DOUBLE_EQ(Band(1).Top - Band(1).Height, ValueAt(low));
    EXPECT_DOUBLE_EQ(Band(1).Top, ValueAt(at));
}

TEST_F(BarrierPanelTest, ACandleChartMovesAnEdgeOnTheRelease) {
    Open(5);
    StartBarriers();
    const int32_t p = Record().FirstShownPoint + 3;
    const QPoint at = PixelAt(p, Level(0.5));
    Move(p);
    Send(QEvent::MouseButtonPress, at);
    EXPECT_FALSE(Band(1).Visible);
    Send(QEvent::MouseButtonRelease, at);
    EXPECT_TRUE(Band(1).Visible);
    EXPECT_DOUBLE_EQ(Band(1).Top, ValueAt(at));
    EXPECT_EQ(Record().ShasenSlots[3].UpperLeftIndex, kUnsetIndex);  // no line from it
}

TEST_F(BarrierPanelTest, PricesInThousandsAreStoredAsTheyWereSet) {
    Open(5);
    const std::string id = IssueId();
    Run("UPDATE TBL日次 SET 始値 = 始値 * 10000, 高値 = 高値 * 10000, 安値 = 安値 * 10000, "
        "終値 = 終値 * 10000 WHERE 銘柄ID = '" +
        id + "'");
    Press(5);
    ASSERT_EQ(Record().PriceDivisor, 1000);
    const double upper = Level(0.7) * 1000 + 321;
    const double lower = Level(0.3) * 1000 + 7;
    Run(MakeKanmonInsertSql(id, 101, 1, upper, lower, Signin().UserRowId));
    Press(5);
    ASSERT_EQ(Record().KanmonSlots[1].Upper, upper);

    StartBarriers();
    const int32_t p = Record().FirstShownPoint + 3;
    const QPoint at = PixelAt(p, Level(0.8));
    Move(p);
    Send(QEvent::MouseButtonRelease, at);
    const double moved = ValueAt(at) * 1000;
    EditPanel().Button("CMD_OK")->click();
    ASSERT_FALSE(ShasenKanmonEditing());
    const auto stored = StoredBarriers(101);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].lower, lower);  // the edge left alone, to the unit
    EXPECT_NEAR(stored[0].upper, moved, moved * 1e-14);
    EXPECT_EQ(Record().KanmonSlots[1].Lower, lower);
    EXPECT_EQ(Record().KanmonSlots[1].Upper, stored[0].upper);
    EXPECT_DOUBLE_EQ(Band(1).Top, stored[0].upper / 1000);
}

TEST_F(BarrierPanelTest, AScrollOrAResizeKeepsAnUnsavedBarrierUntilClose) {
    Open(5);
    StartBarriers();
    Enter(Upper(), Level(0.7), Level(0.5));
    const double upper = Band(1).Upper;
    const int drawn = Views().ChartDrawings[KindIndex(5)];
    QScrollBar& bar = window->PeriodBar();
    bar.setValue(bar.minimum());
    EXPECT_GT(Views().ChartDrawings[KindIndex(5)], drawn);
    EXPECT_TRUE(Band(1).Visible);
    EXPECT_DOUBLE_EQ(Band(1).Upper, upper);

    const int redrawn = Views().ChartDrawings[KindIndex(5)];
    MainFrame().resize(900, 640);
    Settle();
    ASSERT_GT(Views().ChartDrawings[KindIndex(5)], redrawn);
    EXPECT_TRUE(Band(1).Visible);
    EXPECT_DOUBLE_EQ(Band(1).Upper, upper);
    EXPECT_DOUBLE_EQ(Band(1).Width, 1.2 * Scale().ScaleWidth());
    EXPECT_TRUE(ShasenKanmonEditing());

    EditPanel().Button("CMD_cancel")->click();
    EXPECT_FALSE(Band(1).Visible);
}

TEST_F(BarrierPanelTest, AFailingBarrierSaveKeepsTheSavedLinesAndThePanel) {
    Open(5);
    window->MenuItem("MNU_斜線")->trigger();
    Click(Record().Count - 5);
    Opt("OPT_関門").click();
    Enter(Upper(), Level(0.7), Level(0.5));
    Run("CREATE TRIGGER refuse_barriers BEFORE INSERT ON TBL関門 "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    sink.Expect(MsgKind::Warn);  // the engine's refusal, through ExecuteSql
    sink.Expect(MsgKind::Warn, "ﾃﾞｰﾀ更新時に不具合が発生しました。");
    sink.Expect(MsgKind::Info, "処理が中断されました。");
    EditPanel().Button("CMD_OK")->click();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 3u);
    EXPECT_TRUE(ShasenKanmonEditing());
    EXPECT_EQ(StoredSlots(101), std::vector<int>{3});
    EXPECT_TRUE(StoredBarriers(101).empty());
    EXPECT_TRUE(Band(1).Visible);
}

}  // namespace
