// ctest-labels: observation
#include "screening/observation_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "observation_fixture.h"
#include "platform/printers.h"
#include "platform/twips.h"
#include "support/modal.h"
#include "ui/frame_access.h"
#include "ui/grid_wheel.h"

namespace {

constexpr const char* kSelectIssue = "対象となる銘柄を選択してください。";

// The observation window opened directly on the list of one direction.
class ObservationWindowTest : public ObservationTest {
  protected:
    void Open(int16_t order) {
        Selection().ObservationOrder = order;
        ASSERT_TRUE(QueryIssueList(order == 0 ? kListForward : kListBackward,
                                   Observation().ObservationRecordset));
        window_ = std::make_unique<FRM_先行観測>();
        window_->show();
    }
    FlexGrid& Grid() const { return window_->Grid(); }
    template <typename T>
    T* Control(const char* name) const {
        T* control = window_->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    bool ChoiceEnabled() const {
        return Control<QPushButton>("CMD_OK")->isEnabled() &&
               Control<QPushButton>("CMD_Print")->isEnabled();
    }
    // A left press on the header row, x in twips from the grid's left edge.
    void PressHeader(double x) { emit Grid().MouseDown(1, 0, x, 10); }
    double LeftEdge(int col) const {
        double x = 0;
        for (int c = 0; c < col; ++c) x += Grid().ColWidth(c);
        return x;
    }

    std::unique_ptr<FRM_先行観測> window_;
};

}  // namespace

TEST_F(ObservationTest, CommandWarnsWithoutASelectionAndSaysWhenNothingIsInForce) {
    ScriptedSink sink;
    list_->SetRow(0);
    sink.Expect(MsgKind::Warn, kSelectIssue);
    Trigger("MNU_順次");
    // 1304 has no observation in force.
    int row1304 = 0;
    for (int row = 1; row < list_->Rows(); ++row)
        if (list_->TextMatrix(row, 2) == "1304") row1304 = row;
    list_->SetRow(row1304);
    sink.Expect(MsgKind::Info, kNoObservationMessage);
    Trigger("MNU_逆次");
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(MainFrame().cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(list_->Rows(), market_->Summary().IssueCount + 1);
}

TEST_F(ObservationTest, AFailingQueryShowsOnlyTheDatabaseMessage) {
    const RecordsetPtr before = std::make_shared<Recordset>();
    Observation().ObservationRecordset = before;
    Daily("ALTER TABLE TBL銘柄属性 RENAME COLUMN 順次法則 TO 旧法則");
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);
    Trigger("MNU_順次");
    EXPECT_EQ(sink.Shown().size(), 1u);
    EXPECT_EQ(Observation().ObservationRecordset, before);
    EXPECT_EQ(MainFrame().cursor().shape(), Qt::ArrowCursor);
}

// The user sorts the list by 引線価格, chooses three rows and presses OK: the issue list
// shows those three issues in the order the observation list showed them.
TEST_F(ObservationTest, OkRefillsTheListWithTheChosenRowsInTheOrderShown) {
    bool answered = false;
    AnswerNextModalNamed(QString::fromUtf8(kObservationFormName), [&](QWidget* modal) {
        auto* window = dynamic_cast<FRM_先行観測*>(modal);
        ASSERT_NE(window, nullptr);
        answered = true;
        EXPECT_EQ(GridWheel().CurrentFormName, kObservationFormName);
        FlexGrid& grid = window->Grid();
        EXPECT_EQ(Column(grid, 2),
                  (std::vector<std::string>{"1301", "1302", "1306", "1307", "1312"}));
        EXPECT_EQ(grid.RowCells(1),
                  (std::vector<std::string>{"1", grid.TextMatrix(1, 1), "1301", "銘柄1301", "一部",
                                            "500", "上", "ろさ買①"}));
        auto* ok = window->findChild<QPushButton*>(QStringLiteral("CMD_OK"));
        EXPECT_FALSE(ok->isEnabled());
        const double priceX = grid.ColWidth(0) + grid.ColWidth(1) + grid.ColWidth(2) +
                              grid.ColWidth(3) + grid.ColWidth(4) + 10;
        emit grid.MouseDown(1, 0, priceX, 10);
        emit grid.MouseUp(1, 0, priceX, 10);
        EXPECT_TRUE(ok->isEnabled());
        grid.SetRow(1);
        grid.SetRowSel(3);
        ok->click();
    });
    Trigger("MNU_順次");
    ASSERT_TRUE(answered);
    EXPECT_EQ(Observation().ObservationResult, -1);
    EXPECT_EQ(Column(*list_, 2), (std::vector<std::string>{"1306", "1302", "1307"}));
    // Each row keeps its position in the observation list, which the list now shows.
    EXPECT_EQ(Column(*list_, 0), (std::vector<std::string>{"3", "2", "4"}));
    EXPECT_EQ(IssueList().ShownListRecordset, Observation().ObservationRecordset);
    EXPECT_EQ(MainStatusPanel(2), "3 件表示されました。");
    EXPECT_EQ(list_->Row(), 1);
    EXPECT_EQ(list_->RowSel(), 3);
    EXPECT_EQ(GridWheel().CurrentFormName, "");
}

TEST_F(ObservationTest, OkWithoutAChosenRowWarnsAndCancelKeepsTheList) {
    ScriptedSink sink;
    AnswerNextModalNamed(QString::fromUtf8(kObservationFormName), [&](QWidget* modal) {
        auto* window = dynamic_cast<FRM_先行観測*>(modal);
        ASSERT_NE(window, nullptr);
        window->Grid().SetRow(0);
        auto* ok = window->findChild<QPushButton*>(QStringLiteral("CMD_OK"));
        ok->setEnabled(true);
        sink.Expect(MsgKind::Warn, kSelectIssue);
        ok->click();
        EXPECT_TRUE(window->isVisible());
        window->findChild<QPushButton*>(QStringLiteral("CMD_cancel"))->click();
    });
    Trigger("MNU_順次");
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Observation().ObservationResult, 0);
    EXPECT_EQ(list_->Rows(), market_->Summary().IssueCount + 1);
}

TEST_F(ObservationWindowTest, SwitchingDirectionRefillsAndAnEmptySwitchKeepsTheList) {
    Open(0);
    auto* forward = Control<QRadioButton>("OPT_順次観測");
    auto* backward = Control<QRadioButton>("OPT_逆次観測");
    Grid().SetRow(2);
    ASSERT_TRUE(ChoiceEnabled());
    {
        ScriptedSink sink;
        sink.Expect(MsgKind::Info, kNoObservationMessage);
        backward->click();
    }
    EXPECT_TRUE(forward->isChecked());
    EXPECT_EQ(Selection().ObservationOrder, 0);
    EXPECT_EQ(Grid().Rows(), 6);
    EXPECT_TRUE(ChoiceEnabled());

    Observe("逆次", kBackwardIssue);
    backward->click();
    EXPECT_EQ(Selection().ObservationOrder, -1);
    ASSERT_EQ(Grid().Rows(), 2);
    EXPECT_EQ(Grid().RowCells(1),
              (std::vector<std::string>{"1", Grid().TextMatrix(1, 1), "1302", "銘柄1302", "二部",
                                        "1450", "上", "ろさ買②"}));
    EXPECT_FALSE(ChoiceEnabled());
    forward->click();
    EXPECT_EQ(Selection().ObservationOrder, 0);
    EXPECT_EQ(Grid().Rows(), 6);
    EXPECT_EQ(Grid().TextMatrix(2, 5), "1500");

    // Opened on the backward list, the window shows it with its option chosen.
    window_.reset();
    Open(-1);
    EXPECT_TRUE(Control<QRadioButton>("OPT_逆次観測")->isChecked());
    EXPECT_EQ(Grid().TextMatrix(1, 7), "ろさ買②");
}

TEST_F(ObservationWindowTest, HeaderPressesSortEachColumnByItsOwnFlag) {
    Open(0);
    const double kInside = 10;
    struct Press {
        double x;  // twips from the grid's left edge
        std::vector<std::string> codes;
    };
    const Press presses[] = {
        // 引線価格: first descending, then ascending.
        {LeftEdge(5) + kInside, {"1306", "1302", "1307", "1301", "1312"}},
        {LeftEdge(5) + kInside, {"1312", "1301", "1307", "1302", "1306"}},
        // コード has a flag of its own: its first press sorts descending.
        {LeftEdge(2) + kInside, {"1312", "1307", "1306", "1302", "1301"}},
        // 市場 by display order (一部, 二部, 西一, 西二), not by short name; equal markets
        // by code.
        {LeftEdge(4) + kInside, {"1307", "1306", "1302", "1301", "1312"}},
        {LeftEdge(4) + kInside, {"1301", "1312", "1302", "1306", "1307"}},
        // The edge between コード and 銘柄名 belongs to コード, now ascending.
        {LeftEdge(3), {"1301", "1302", "1306", "1307", "1312"}},
        // Left of コード and right of 法則名 nothing is sorted.
        {LeftEdge(2) - 1, {"1301", "1302", "1306", "1307", "1312"}},
        {LeftEdge(8) + 1, {"1301", "1302", "1306", "1307", "1312"}},
    };
    for (const Press& press : presses) {
        Grid().SetRow(4);
        PressHeader(press.x);
        EXPECT_EQ(Column(Grid(), 2), press.codes) << "x " << press.x;
        EXPECT_EQ(Grid().Row(), 1);
        EXPECT_EQ(Grid().Col(), 0);
        EXPECT_EQ(Grid().TopRow(), 1);
    }
    EXPECT_EQ(Observation().ColumnSortFlags[3], 0);

    // A press in a data row sorts nothing and leaves the current row.
    Grid().SetRow(4);
    emit Grid().MouseDown(1, 0, LeftEdge(5) + kInside, Grid().RowHeight(0) + 50);
    EXPECT_EQ(Column(Grid(), 2), presses[5].codes);
    EXPECT_EQ(Grid().Row(), 4);
}

TEST_F(ObservationWindowTest, AHeaderClickOnAScrolledGridSortsTheColumnUnderThePointer) {
    Open(0);
    Grid().resize(260, 120);
    // At its end the grid shows the column at its left edge only in part.
    Grid().horizontalScrollBar()->setValue(Grid().horizontalScrollBar()->maximum());
    ASSERT_GT(Grid().LeftCol(), 2) << "the grid did not scroll";
    // The press lands a few pixels into 法則名 as the grid shows it now.
    PressHeader(PixelsToTwips(Grid().columnViewportPosition(7) + 3));
    EXPECT_EQ(Observation().ColumnSortFlags[7], -1);
    EXPECT_EQ(Column(Grid(), 7),
              (std::vector<std::string>{"ろさ売②", "ろさ買③", "ろさ買①", "ろあ売①", "ろあ買①"}));
}

TEST_F(ObservationWindowTest, PrintStoresTheCallerAndTheRangeWhenThereIsAPrinter) {
    std::vector<QWidget*> dialogs;
    Selection().Routines.ShowPrintDialog = [&dialogs](QWidget* owner) { dialogs.push_back(owner); };
    Open(0);
    Grid().SetRow(4);
    Grid().SetRowSel(2);
    ASSERT_TRUE(ChoiceEnabled());
    auto* print = Control<QPushButton>("CMD_Print");

    SetPrinterSource([] { return InstalledPrinters{}; });
    {
        ScriptedSink sink;
        sink.Expect(MsgKind::Info, kNoPrinterMessage);
        print->click();
    }
    EXPECT_EQ(Settei().Record.PrintSettei.PrintCaller, "");
    EXPECT_TRUE(dialogs.empty());

    SetPrinterSource([] { return InstalledPrinters{{{"P1", true}}, "P1"}; });
    print->click();
    SetPrinterSource(nullptr);
    const PrintSettei& stored = Settei().Record.PrintSettei;
    EXPECT_EQ(stored.PrintCaller, "FRM_先行観測");
    EXPECT_EQ(stored.FirstRow, 2);
    EXPECT_EQ(stored.LastRow, 4);
    EXPECT_EQ(dialogs, (std::vector<QWidget*>{window_.get()}));
}

TEST_F(ObservationWindowTest, WhileLoadedItNamesItselfAndItsGridScrollsOneRowPerNotch) {
    Open(0);
    EXPECT_EQ(GridWheel().CurrentFormName, kObservationFormName);
    Grid().resize(300, 3 * Grid().rowHeight(1) + Grid().horizontalHeader()->height());
    ASSERT_EQ(Grid().TopRow(), 1);
    const QPointF at(20, 20);
    QWheelEvent notch(at, Grid().viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Grid().viewport(), &notch);
    EXPECT_EQ(Grid().TopRow(), 2);
    window_.reset();
    EXPECT_EQ(GridWheel().CurrentFormName, "");
}
