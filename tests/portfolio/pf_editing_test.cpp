// ctest-labels: pfedit faults
// Editing the portfolio in its window: the in-grid editors, issues added through the real
// issue search, rows deleted, the save with and without closing, the print hand-off, the
// news button, and the saved lists read back from "PF.txt".
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/printers.h"
#include "portfolio/pf_fixture.h"
#include "portfolio/portfolio_file.h"
#include "screening/commands.h"
#include "screening/issue_search_window.h"
#include "views/list_services.h"

namespace {

class PfEditingTest : public PfWindowFixture {
  protected:
    void TearDown() override { window_.reset(); }

    FRM_PF& Open(int tab) {
        window_ = std::make_unique<FRM_PF>();
        window_->SetTab(tab);
        window_->show();
        QApplication::setActiveWindow(window_.get());
        window_->activateWindow();
        return *window_;
    }
    FlexGrid& Grid() const { return *window_->findChild<FlexGrid*>("FGR_PF"); }
    QLineEdit* Text() const { return window_->findChild<QLineEdit*>("TXT_Edit"); }
    QDateEdit* Date() const { return window_->findChild<QDateEdit*>("DPC_Edit"); }
    QPushButton* Button(const char* name) const {
        return window_->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    // Grid row 1 is the first row of the view: the titles are its header.
    QPoint CellCentre(int row, int col) const {
        return Grid().visualRect(Grid().model()->index(row - 1, col)).center();
    }
    // A press on the cell arms the edit; the double-click opens the editor.
    void DoubleClick(int row, int col) {
        QWidget* viewport = Grid().viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, CellCentre(row, col));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, CellCentre(row, col));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, CellCentre(row, col));
    }
    // Rows first..last chosen by pressing on the row header and dragging.
    void ChooseWholeRows(int first, int last) {
        QWidget* viewport = Grid().viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, CellCentre(first, 0));
        QMouseEvent move(QEvent::MouseMove, CellCentre(last, 0),
                         viewport->mapToGlobal(CellCentre(last, 0)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, CellCentre(last, 0));
    }
    void Type(const char* text, Qt::Key end = Qt::Key_Return) {
        Text()->clear();
        QTest::keyClicks(Text(), QString::fromUtf8(text));
        QTest::keyClick(Text(), end);
    }
    // The search answered as the user does: the code typed, the first `count` found rows
    // chosen, OK.
    void AnswerSearch(const char* code, int count) {
        AnswerNextModalNamed(QString::fromUtf8(kSearchFormName), [code, count](QWidget*) {
            FRM_銘柄検索& search = IssueSearchWindow();
            search.findChild<QLineEdit*>("TXT_Code")->setText(QString::fromUtf8(code));
            search.SearchByCodeText();
            search.Grid().SetRow(1);
            search.Grid().SetRowSel(count);
            search.findChild<QPushButton*>("CMD_OK")->click();
        });
    }
    static std::vector<PfEntry> Entries(int count) {
        std::vector<PfEntry> entries;
        for (int i = 0; i < count; ++i) entries.push_back({"3001211", 1, 1, 0, 0, 20240105});
        return entries;
    }

    std::unique_ptr<FRM_PF> window_;
};

TEST_F(PfEditingTest, TheTextEditorRefusesNoValueAndValuesTheRowOnACommit) {
    SetList(0, {{"3001211", 1000, 500, 0, 0, 20240105}, {"3005211", 10, 800, 0, 0, 20240105}});
    FRM_PF& window = Open(0);
    // Neither a computed column nor a title opens an editor.
    for (const int col : {kPfColPrice, kPfColProfit, kPfColRate}) {
        DoubleClick(1, col);
        EXPECT_FALSE(Text()->isVisible()) << col;
    }
    QWidget* titles = Grid().horizontalHeader()->viewport();
    QTest::mouseDClick(titles, Qt::LeftButton, {}, QPoint(CellCentre(1, kPfColQuantity).x(), 5));
    EXPECT_FALSE(Text()->isVisible());

    DoubleClick(1, kPfColQuantity);
    ASSERT_TRUE(Text()->isVisible());
    EXPECT_EQ(Text()->text(), "1000");
    EXPECT_FALSE(Button("CMD_OK")->isDefault());  // Enter belongs to the editor
    for (const char* refused : {"0", ""}) {
        sink_.Expect(MsgKind::Warn, kPfAboveZero);
        Type(refused);
        EXPECT_TRUE(Text()->isVisible()) << refused;
        EXPECT_EQ(Grid().TextMatrix(1, kPfColQuantity), "1,000");
    }
    EXPECT_FALSE(window.Modified());
    Type("", Qt::Key_Escape);
    EXPECT_FALSE(Text()->isVisible());
    EXPECT_FALSE(window.Modified()) << "Esc stores nothing";
    EXPECT_TRUE(Button("CMD_OK")->isDefault());

    DoubleClick(1, kPfColUnitPrice);
    Type("1234");
    EXPECT_FALSE(Text()->isVisible());
    EXPECT_EQ(Grid().TextMatrix(1, kPfColUnitPrice), "1,234");
    EXPECT_EQ(Grid().TextMatrix(1, kPfColProfit), "-784,000");  // (450 - 1234) * 1000
    EXPECT_EQ(Label(window, "LBL_PAL"), "-783,000");            // and (900 - 800) * 10
    EXPECT_TRUE(window.Modified());
    EXPECT_EQ(window.WorkLists()[0][0].UnitPrice, 1234);
    EXPECT_TRUE(sink_.AllShown());
}

TEST_F(PfEditingTest, TheDatePickerStoresOnlyADateTheUserChanged) {
    SetList(0, {{"3001211", 1, 1, 0, 0, 20240105}, {"3005211", 1, 1, 0, 0, 0}});
    FRM_PF& window = Open(0);
    DoubleClick(1, kPfColDate);
    ASSERT_TRUE(Date()->isVisible());
    EXPECT_EQ(Date()->date(), QDate(2024, 1, 5));
    window.DPC_Edit_LostFocus();
    EXPECT_FALSE(Date()->isVisible());
    EXPECT_FALSE(window.Modified()) << "the same date stores nothing";

    // A purchase date of 0: the picker starts on today, and untouched it leaves the 0.
    DoubleClick(2, kPfColDate);
    EXPECT_EQ(Date()->date(), QDate::currentDate());
    window.DPC_Edit_LostFocus();
    EXPECT_EQ(Grid().TextMatrix(2, kPfColDate), "0000/00/00");
    EXPECT_FALSE(window.Modified());
    DoubleClick(2, kPfColDate);
    Date()->setDate(QDate(2023, 12, 1));
    window.DPC_Edit_LostFocus();
    EXPECT_EQ(Grid().TextMatrix(2, kPfColDate), "2023/12/01");
    EXPECT_EQ(window.WorkLists()[0][1].PurchaseDate, 20231201);
    EXPECT_TRUE(window.Modified());
}

// The window closed with the date picker open on a changed date: the picker loses the focus
// while Qt deletes the window's children, after the window's own lists are gone. Neither
// its commit nor any other handler of the window may run then (under AddressSanitizer the
// commit was a write into freed memory).
TEST_F(PfEditingTest, ClosingWithAnEditorOpenRunsNoHandlerOfTheWindow) {
    SetList(0, {{"3001211", 1, 1, 0, 0, 20240105}, {"3005211", 1, 1, 0, 0, 0}});
    Open(0);
    DoubleClick(1, kPfColDate);
    ASSERT_TRUE(Date()->isVisible());
    Date()->setDate(QDate(2023, 12, 1));
    Date()->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(Date()->hasFocus());
    window_.reset();
    EXPECT_EQ(Portfolio().PfLists[0][0].PurchaseDate, 20240105) << "nothing is stored unsaved";

    // The same with the number editor open on a typed value.
    Open(0);
    DoubleClick(1, kPfColUnitPrice);
    ASSERT_TRUE(Text()->isVisible());
    Text()->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(Text(), QStringLiteral("7"));
    window_.reset();
    EXPECT_EQ(Portfolio().PfLists[0][0].UnitPrice, 1);
    EXPECT_TRUE(sink_.AllShown());
}

TEST_F(PfEditingTest, AddingStopsAtTwentyFiveEntries) {
    InstallScreeningCommands();
    SetList(0, Entries(25));
    SetList(1, Entries(23));
    Open(0);
    int searches = 0;
    const auto show = IssueSearch().ShowSearchWindow;
    IssueSearch().ShowSearchWindow = [&] {
        ++searches;
        show();
    };
    sink_.Expect(MsgKind::Warn, kPfFullMessage);
    Button("CMD_Add")->click();
    EXPECT_EQ(searches, 0);
    EXPECT_TRUE(sink_.AllShown());

    IssueSelection().SelectedRows = {4, 7};
    window_->SetTab(1);
    AnswerSearch("300", 3);
    Button("CMD_Add")->click();
    EXPECT_EQ(searches, 1);
    ASSERT_EQ(Grid().Rows(), 26);
    EXPECT_EQ(Grid().TextMatrix(24, kPfColCode), "3001");
    EXPECT_EQ(Grid().TextMatrix(25, kPfColCode), "3002");
    EXPECT_EQ(Grid().TextMatrix(25, kPfColQuantity), "0");
    EXPECT_EQ(window_->WorkLists()[1].size(), 25u);
    EXPECT_EQ(GridWheel().CurrentFormName, "FRM_PF");
    EXPECT_EQ(IssueSearch().SearchFromPf, 0);
    EXPECT_EQ(IssueSelection().SelectedRows, (std::vector<int32_t>{4, 7}))
        << "the list keeps its own choice";
}

TEST_F(PfEditingTest, ApplyingWithAnIncompleteEntryOpensItsEditor) {
    InstallScreeningCommands();
    SetList(2, {{"3005211", 5, 900, 0, 0, 20240105}});
    FRM_PF& window = Open(0);
    window.SetTab(2);
    AnswerSearch("3001", 1);  // sorts before the entry already there
    Button("CMD_Add")->click();
    window.SetTab(0);
    ScriptedSink sink;
    sink.Expect(MsgKind::OkCancel, kPfSaveQuestion, kAnswerOk).Expect(MsgKind::Warn, kPfAboveZero);
    Button("CMD_Set")->click();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(window.Tab(), 2);
    ASSERT_TRUE(Text()->isVisible());
    EXPECT_EQ(Grid().Row(), 1);
    EXPECT_EQ(Grid().TextMatrix(1, kPfColCode), "3001");
    EXPECT_EQ(Grid().Col(), kPfColQuantity);
    EXPECT_TRUE(Portfolio().PfLists[2].size() == 1) << "nothing saved";

    // The value typed there completes the entry; the next 適用 saves.
    Type("100");
    DoubleClick(1, kPfColUnitPrice);
    Type("450");
    sink.Expect(MsgKind::OkCancel, kPfSaveQuestion, kAnswerOk);
    Button("CMD_Set")->click();
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(Portfolio().PfLists[2].size(), 2u);
    EXPECT_EQ(Portfolio().PfCounts[2], 2);
}

TEST_F(PfEditingTest, DeletingChosenRowsAndTheOnlyRow) {
    SetList(0, {{"3005211", 5, 1, 0, 0, 1},
                {"3001211", 1, 1, 0, 0, 1},
                {"3004211", 4, 1, 0, 0, 1},
                {"3002211", 2, 1, 0, 0, 1},
                {"3003011", 3, 1, 0, 0, 1}});
    SetList(1, {{"3001211", 1, 1, 0, 0, 1}});
    FRM_PF& window = Open(0);
    EXPECT_FALSE(Button("CMD_Del")->isEnabled());
    ChooseWholeRows(2, 3);
    EXPECT_TRUE(Button("CMD_Del")->isEnabled());
    EXPECT_TRUE(Button("CMD_Print")->isEnabled());
    sink_.Expect(MsgKind::OkCancel, kPfDeleteQuestion, kAnswerOk);
    Button("CMD_Del")->click();
    EXPECT_EQ(Column(Grid(), kPfColCode), (std::vector<std::string>{"3001", "3004", "3005"}));
    EXPECT_FALSE(Button("CMD_Del")->isEnabled());
    ASSERT_EQ(window.WorkLists()[0].size(), 3u);
    EXPECT_EQ(window.WorkLists()[0][0].Code, "3005211") << "stored in the order they were filled";

    DoubleClick(1, kPfColName);  // a press inside the rows chooses no whole rows
    EXPECT_FALSE(Button("CMD_Del")->isEnabled());

    window.SetTab(1);
    ChooseWholeRows(1, 1);
    sink_.Expect(MsgKind::OkCancel, kPfDeleteQuestion, kAnswerOk);
    Button("CMD_Del")->click();
    EXPECT_EQ(Grid().Rows(), 1);
    EXPECT_FALSE(Grid().isEnabled());
    EXPECT_FALSE(Button("CMD_Print")->isEnabled());
    EXPECT_TRUE(window.WorkLists()[1].empty());
    EXPECT_TRUE(sink_.AllShown());
}

TEST_F(PfEditingTest, OkClosesAtOnceWithoutChangesAndAsksAfterOne) {
    SetList(0, {{"3001211", 1000, 500, 0, 0, 20240105}});
    Open(0);
    Button("CMD_OK")->click();
    EXPECT_FALSE(window_->isVisible()) << "no question without a change";

    Open(0);
    DoubleClick(1, kPfColQuantity);
    Type("7");
    sink_.Expect(MsgKind::OkCancel, kPfSaveQuestion, kAnswerCancel);
    Button("CMD_OK")->click();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(Portfolio().PfLists[0][0].Quantity, 1000) << "the edit is dropped";

    // Saved and read back from the file as the next start reads it.
    Open(0);
    DoubleClick(1, kPfColQuantity);
    Type("7");
    sink_.Expect(MsgKind::OkCancel, kPfSaveQuestion, kAnswerOk);
    Button("CMD_OK")->click();
    EXPECT_FALSE(window_->isVisible());
    Portfolio() = PortfolioState{};
    LoadPfFile();
    ASSERT_EQ(Portfolio().PfLists[0].size(), 1u);
    EXPECT_EQ(Portfolio().PfLists[0][0].Quantity, 7);
    EXPECT_EQ(Portfolio().PfLists[0][0].UnitPrice, 500);
    EXPECT_TRUE(sink_.AllShown());
}

TEST_F(PfEditingTest, TheWheelCommitsAnOpenEditor) {
    SetList(0, Entries(20));
    Open(0);
    DoubleClick(1, kPfColQuantity);
    Text()->setText("42");
    QWheelEvent wheel(CellCentre(2, 2), Grid().viewport()->mapToGlobal(CellCentre(2, 2)), {},
                      {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Grid().viewport(), &wheel);
    EXPECT_FALSE(Text()->isVisible());
    EXPECT_EQ(Grid().TextMatrix(1, kPfColQuantity), "42");
}

TEST_F(PfEditingTest, PrintHandsTheRowsToTheDialogAndNewsTellsWhenThereIsNone) {
    SetList(0, Entries(4));
    Open(0);
    std::vector<QWidget*> dialogs;
    Selection().Routines.ShowPrintDialog = [&dialogs](QWidget* owner) { dialogs.push_back(owner); };
    SetPrinterSource([] { return InstalledPrinters{{{"P1", true}}, "P1"}; });
    ChooseWholeRows(3, 2);
    Button("CMD_Print")->click();
    SetPrinterSource(nullptr);
    const PrintSettei& stored = Settei().Record.PrintSettei;
    EXPECT_EQ(stored.PrintCaller, "FRM_PF");
    EXPECT_EQ(stored.FirstRow, 2);
    EXPECT_EQ(stored.LastRow, 3);
    EXPECT_EQ(dialogs, (std::vector<QWidget*>{window_.get()}));

    News().NewsText = "  ";
    const struct {
        int32_t date;
        const char* shown;  // nullptr: nothing
    } cases[] = {{20220427, "2022/04/27のﾆｭｰｽはありません。"},
                 {0, "のﾆｭｰｽはありません。"},
                 {20221341, nullptr}};
    for (const auto& c : cases) {
        News().LatestDataDate = c.date;
        ScriptedSink sink;
        if (c.shown) sink.Expect(MsgKind::Info, c.shown);
        Button("CMD_News")->click();
        EXPECT_TRUE(sink.AllShown()) << c.date;
        EXPECT_EQ(sink.Shown().size(), c.shown ? 1u : 0u) << c.date;
    }
}

// A paste passes the filter typing passes: "1.5" pasted into 株数 is refused whole, as
// typing its point is, so the list never holds a value the cell shows otherwise.
TEST_F(PfEditingTest, APastedValuePassesTheTypingFilter) {
    SetList(0, {{"3001211", 1000, 500, 0, 0, 20240105}});
    FRM_PF& window = Open(0);
    DoubleClick(1, kPfColQuantity);
    ASSERT_TRUE(Text()->isVisible());
    Text()->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("1.5"));
    QTest::keyClick(Text(), Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(Text(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text()->text(), "1000");
    QGuiApplication::clipboard()->setText(QStringLiteral("15"));
    QTest::keyClick(Text(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Text()->text(), "15");
    QTest::keyClick(Text(), Qt::Key_Return);
    EXPECT_EQ(Grid().TextMatrix(1, kPfColQuantity), "15");
    EXPECT_EQ(window.WorkLists()[0][0].Quantity, 15);
}

}  // namespace
