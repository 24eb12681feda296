// ctest-labels: printdialog faults
#include "printing/print_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "foundation/state.h"
#include "platform/flex_grid.h"
#include "platform/printers.h"
#include "printing/commands.h"
#include "printing/print_dispatch.h"
#include "printing/state.h"
#include "support/fresh_state.h"
#include "support/modal.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"
#include "ui/input_boxes.h"
#include "ui/state.h"
#include "views/selection_window.h"
#include "views/state.h"

namespace {

// A list window as the print dispatch finds it: its name, its grid by name, and on the
// portfolio window the tab strip, on the data table its caption.
struct ListWindow {
    std::unique_ptr<QDialog> Window;
    FlexGrid* Grid = nullptr;
};

ListWindow OpenListWindow(const char* name, const char* gridName, int columns, int rows,
                          const std::string& codePrefix, int codeColumn) {
    ListWindow list{std::make_unique<QDialog>(), nullptr};
    list.Window->setObjectName(QString::fromUtf8(name));
    list.Grid = new FlexGrid(list.Window.get());
    list.Grid->setObjectName(QString::fromUtf8(gridName));
    list.Grid->SetCols(columns);
    list.Grid->SetRows(rows + 1);
    for (int row = 1; row <= rows; ++row)
        list.Grid->SetTextMatrix(row, codeColumn, codePrefix + std::to_string(row));
    if (std::string(name) == "FRM_PF") {
        auto* tabs = new QTabBar(list.Window.get());
        tabs->setObjectName(QStringLiteral("STB_PF"));
        for (int tab = 0; tab < 4; ++tab) tabs->addTab(QString::number(tab));
        tabs->setCurrentIndex(3);
    }
    if (std::string(name) == "FRM_データ表") {
        auto* label = new QLabel(QStringLiteral("1301 極洋"), list.Window.get());
        label->setObjectName(QStringLiteral("LBL_Name"));
    }
    return list;
}

class PrintDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAllState();
        Settei().PrinterNames = {kPdfPrinterName, "Second"};
        PrintSettei& saved = Settei().Record.PrintSettei;
        saved.CBO_Printer = 0;
        saved.OPT_縦 = -1;
        saved.OPT_Choice = -1;
        saved.TXT_Count = 1;
        Settei().PrintJob = saved;
        Views().ViewKind = 3;
        ListPrint().Clock = [] { return QDateTime(QDate(2024, 5, 1), QTime(9, 30)); };
    }
    void TearDown() override {
        dialog.reset();
        ResetAllState();
    }
    void Open() {
        dialog = std::make_unique<FRM_印刷>();
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    template <typename Control>
    Control* Get(const char* name) const {
        auto* control = dialog->findChild<Control*>(QString::fromUtf8(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QRadioButton* Option(const char* name) const { return Get<QRadioButton>(name); }
    QLineEdit* Count() const { return Get<QLineEdit>("TXT_Count"); }
    QComboBox* List(const char* name) const { return Get<QComboBox>(name); }
    void LeaveCount() const {
        Count()->setFocus(Qt::OtherFocusReason);
        List("CBO_Size")->setFocus(Qt::TabFocusReason);
    }
    // OK answered with OK; true when the dialog closed.
    bool PressOk() {
        sink.Expect(MsgKind::OkCancel, kStartPrintSettingsQuestion, kAnswerOk);
        dialog->CMD_OK_Click();
        return !dialog->isVisible();
    }
    std::string File(const char* name = kPdfPrintFileName) const { return folder.File(name); }
    bool Printed(const char* name = kPdfPrintFileName) const {
        return QFile::exists(QString::fromStdString(File(name)));
    }
    std::string PrintedText(const char* name = kPdfPrintFileName) const {
        QProcess text;
        text.start("pdftotext", {"-layout", QString::fromStdString(File(name)), "-"});
        text.waitForFinished(60000);
        return text.readAllStandardOutput().toStdString();
    }
    std::string PageSize() const {
        QProcess info;
        info.start("pdfinfo", {QString::fromStdString(File())});
        info.waitForFinished(60000);
        for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
            if (line.startsWith("Page size:")) return line.mid(10).trimmed().toStdString();
        return "";
    }
    void RemovePrints() const {
        for (const char* name : {"print.pdf", "print-2.pdf"})
            QFile::remove(QString::fromStdString(File(name)));
    }

    TempAppFolder folder;
    ScriptedSink sink;
    std::unique_ptr<FRM_印刷> dialog;
};

// ---- Opening ----

// The dialog destroyed while the copies box has the focus: the box's editingFinished comes
// while Qt deletes the children, after the dialog's own part is gone, and its handler must
// not run into what is left (UndefinedBehaviorSanitizer reported the call).
TEST_F(PrintDialogTest, DestroyedWithTheCopiesBoxFocusedRunsNoHandler) {
    Open();
    Count()->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(Count()->hasFocus());
    QTest::keyClicks(Count(), QStringLiteral("3"));
    dialog.reset();
    EXPECT_EQ(Settei().Record.PrintSettei.TXT_Count, 1);
    EXPECT_TRUE(sink.AllShown());
}

TEST_F(PrintDialogTest, ControlsCarryTheirNamesCaptionsAndAccessKeys) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("印刷"));
    EXPECT_EQ(dialog->objectName(), QStringLiteral("FRM_印刷"));
    const std::vector<std::pair<const char*, const char*>> captions = {
        {"LBL_Printer", "プリンタ名(&N)："},
        {"LBL_Size", "用紙サイズ(&Z)："},
        {"LBL_方法", "給紙方法(&S)："},
        {"LBL_Count", "部数(&C)："}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(Get<QLabel>(name)->text(), QString::fromUtf8(caption)) << name;
    const std::vector<std::pair<const char*, const char*>> options = {
        {"OPT_縦", "縦(&O)"},
        {"OPT_横", "横(&A)"},
        {"OPT_All", "すべて(&A)"},
        {"OPT_Choice", "選択した部分(&G)"}};
    for (const auto& [name, caption] : options)
        EXPECT_EQ(Option(name)->text(), QString::fromUtf8(caption)) << name;
    EXPECT_EQ(Get<QPushButton>("CMD_OK")->text(), QStringLiteral("OK"));
    EXPECT_EQ(Get<QPushButton>("CMD_cancel")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_TRUE(Get<QPushButton>("CMD_OK")->isDefault());
    for (const char* frame : {"FRM_Printer", "FRM_Paper", "FRM_向き", "FRM_範囲", "FRM_Count"})
        EXPECT_NE(dialog->findChild<QWidget*>(QString::fromUtf8(frame)), nullptr) << frame;
    EXPECT_EQ(List("CBO_Printer")->count(), 2);
    EXPECT_EQ(List("CBO_Size")->itemText(1), QStringLiteral("A3"));
    EXPECT_EQ(List("CBO_方法")->itemText(1), QStringLiteral("手差し"));
}

TEST_F(PrintDialogTest, EveryOpeningShowsTheSavedSettingsNotTheLastPrintedChoice) {
    const auto pf = OpenListWindow("FRM_PF", "FGR_PF", 15, 2, "P", 4);
    PrintSettei& saved = Settei().Record.PrintSettei;
    saved = {"FRM_PF", 1, 2, 1, 1, 1, 0, -1, -1, 0, 3};
    GridWheel().CurrentFormName = "FRM_PF";
    Views().ViewKind = 22;
    const PrintSettei before = saved;

    Open();
    EXPECT_EQ(List("CBO_Printer")->currentIndex(), 1);
    EXPECT_EQ(List("CBO_Size")->currentIndex(), 1);
    EXPECT_EQ(List("CBO_方法")->currentIndex(), 1);
    EXPECT_TRUE(Option("OPT_横")->isChecked());
    EXPECT_EQ(Count()->text(), QStringLiteral("3"));
    // The portfolio window outside text-data mode: the selected part is chosen.
    EXPECT_TRUE(Option("OPT_Choice")->isChecked());

    List("CBO_Printer")->setCurrentIndex(0);
    List("CBO_Size")->setCurrentIndex(0);
    List("CBO_方法")->setCurrentIndex(0);
    Option("OPT_縦")->setChecked(true);
    Option("OPT_All")->setChecked(true);
    Count()->setText("2");
    ASSERT_TRUE(PressOk());
    const PrintSettei& job = Settei().PrintJob;
    EXPECT_EQ(job.CBO_Printer, 0);
    EXPECT_EQ(job.CBO_Size, 0);
    EXPECT_EQ(job.CBO_方法, 0);
    EXPECT_EQ(job.OPT_縦, -1);
    EXPECT_EQ(job.OPT_横, 0);
    EXPECT_EQ(job.OPT_All, -1);
    EXPECT_EQ(job.OPT_Choice, 0);
    EXPECT_EQ(job.TXT_Count, 2);
    EXPECT_TRUE(Printed("print-2.pdf"));
    EXPECT_EQ(saved.CBO_Size, before.CBO_Size);
    EXPECT_EQ(saved.TXT_Count, before.TXT_Count);
    EXPECT_EQ(saved.OPT_横, before.OPT_横);

    Open();
    EXPECT_EQ(List("CBO_Printer")->currentIndex(), 1);
    EXPECT_EQ(List("CBO_Size")->currentIndex(), 1);
    EXPECT_TRUE(Option("OPT_横")->isChecked());
    EXPECT_EQ(Count()->text(), QStringLiteral("3"));
}

TEST_F(PrintDialogTest, RangeAndCopiesFollowTheWindowTheViewAndTextDataMode) {
    struct Case {
        const char* form;
        int16_t view;
        int16_t textData;
        bool allEnabled, choiceEnabled, allChosen, countEnabled;
    };
    const std::vector<Case> cases = {
        {"FRM_データ表", 5, -1, true, false, true, true},
        {"FRM_PF", 22, -1, true, false, true, true},
        {"FRM_データ表", 5, 0, true, true, false, true},
        {"FRM_PF", 22, 0, true, true, false, true},
        {"", 3, 0, true, true, false, true},
        {"FRM_先行観測", 3, -1, true, true, false, true},
        {"", 5, 0, false, false, false, false},
        {"", 11, 0, false, false, false, false},
        {"", 104, -1, false, false, false, false},
    };
    // The saved choice is "all rows": each opening starts from it.
    Settei().Record.PrintSettei.OPT_All = -1;
    Settei().Record.PrintSettei.OPT_Choice = 0;
    for (const Case& c : cases) {
        GridWheel().CurrentFormName = c.form;
        Views().ViewKind = c.view;
        TextData().TextDataMode = c.textData;
        Open();
        const std::string label = std::string(c.form) + " " + std::to_string(c.view);
        EXPECT_EQ(Option("OPT_All")->isEnabled(), c.allEnabled) << label;
        EXPECT_EQ(Option("OPT_Choice")->isEnabled(), c.choiceEnabled) << label;
        if (c.allEnabled) {
            EXPECT_EQ(Option("OPT_All")->isChecked(), c.allChosen) << label;
            EXPECT_EQ(Option("OPT_Choice")->isChecked(), !c.allChosen) << label;
        }
        EXPECT_EQ(Count()->isEnabled(), c.countEnabled) << label;
        EXPECT_EQ(Get<UpDownSpinner>("UPD_Count")->isEnabled(), c.countEnabled) << label;
    }
}

TEST_F(PrintDialogTest, TheCopiesBoxTakesDigitsOnlyAndKeepsAWholeNumberOfAtLeastOne) {
    Open();
    QLineEdit* count = Count();
    struct Case {
        const char* typed;
        const char* shown;
    };
    for (const Case& c : std::vector<Case>{{"", "1"},
                                           {"0", "1"},
                                           {"00", "1"},
                                           {"32767", "32767"},
                                           {"32768", "1"},
                                           {"99999999999", "1"},
                                           {"007", "007"}}) {
        count->setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(count->text(), QString::fromUtf8(c.shown)) << c.typed;
    }
    LeaveCount();
    EXPECT_EQ(count->text(), QStringLiteral("7"));

    count->setFocus();
    count->selectAll();
    QTest::keyClicks(count, "4a-.");
    EXPECT_EQ(count->text(), QStringLiteral("4"));
    QTest::keyClick(count, Qt::Key_Backspace);
    EXPECT_EQ(count->text(), QStringLiteral("1"));

    // A click in the box selects the whole count, so that typing replaces it.
    count->setText("25");
    count->deselect();
    QTest::mouseClick(count, Qt::LeftButton);
    EXPECT_EQ(count->selectedText(), QStringLiteral("25"));
    count->setText("1");

    auto* spinner = Get<UpDownSpinner>("UPD_Count");
    spinner->DownButton()->click();
    EXPECT_EQ(count->text(), QStringLiteral("1"));
    spinner->UpButton()->click();
    EXPECT_EQ(count->text(), QStringLiteral("2"));
    EXPECT_EQ(count->selectedText(), QStringLiteral("2"));
    count->setText("32767");
    spinner->UpButton()->click();
    EXPECT_EQ(count->text(), QStringLiteral("32767"));
    spinner->DownButton()->click();
    EXPECT_EQ(count->text(), QStringLiteral("32766"));

    // A saved count the box cannot hold shows as 1.
    Settei().Record.PrintSettei.TXT_Count = 0;
    Open();
    EXPECT_EQ(Count()->text(), QStringLiteral("1"));
}

TEST_F(PrintDialogTest, LoadPrintFormFailingResetsTheSettingsAndLoadsThemAgain) {
    Settei().Record.PrintSettei.CBO_Size = 7;
    Settei().Record.PrintSettei.TXT_Count = 4;
    sink.Expect(MsgKind::Warn, "設定する必要があります");
    sink.Expect(MsgKind::Info, "初期設定を読み込みました。");
    Open();
    ASSERT_TRUE(sink.AllShown());
    EXPECT_EQ(Settei().Record.PrintSettei.CBO_Size, 0);
    EXPECT_EQ(List("CBO_Size")->currentIndex(), 0);
    EXPECT_EQ(Count()->text(), QString::number(Settei().Record.PrintSettei.TXT_Count));
    EXPECT_TRUE(Option("OPT_縦")->isChecked());
}

// ---- OK ----

TEST_F(PrintDialogTest, CancelToTheQuestionKeepsTheDialogAndPrintJob) {
    const auto pf = OpenListWindow("FRM_PF", "FGR_PF", 15, 2, "P", 4);
    Settei().Record.PrintSettei.PrintCaller = "FRM_PF";
    Open();
    Count()->setText("5");
    Option("OPT_横")->setChecked(true);
    const PrintSettei before = Settei().PrintJob;
    sink.Expect(MsgKind::OkCancel, kStartPrintSettingsQuestion, kAnswerCancel);
    dialog->CMD_OK_Click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Settei().PrintJob.TXT_Count, before.TXT_Count);
    EXPECT_EQ(Settei().PrintJob.OPT_横, before.OPT_横);
    EXPECT_FALSE(Printed());

    // Cancel closes without a question.
    QTest::mouseClick(Get<QPushButton>("CMD_cancel"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(sink.AllShown());
}

TEST_F(PrintDialogTest, AFailedPrintWarnsAndKeepsTheDialogOpenWithPrintJobStored) {
    const auto pf = OpenListWindow("FRM_PF", "FGR_PF", 15, 2, "P", 4);
    Settei().Record.PrintSettei.PrintCaller = "FRM_PF";
    Settei().Record.PrintSettei.FirstRow = 1;
    Settei().Record.PrintSettei.LastRow = 9;  // the grid has two data rows
    Views().ViewKind = 22;
    GridWheel().CurrentFormName = "FRM_PF";
    Open();
    Count()->setText("3");
    sink.Expect(MsgKind::OkCancel, kStartPrintSettingsQuestion, kAnswerOk);
    sink.Expect(MsgKind::Warn);
    dialog->CMD_OK_Click();
    ASSERT_TRUE(sink.AllShown());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(Settei().PrintJob.TXT_Count, 3);
    EXPECT_FALSE(Printed());
}

// ---- The dispatch ----

TEST(PrintRoutes, TheDispatchTable) {
    struct Case {
        int32_t view;
        const char* form;
        bool redraw;
        const char* caller;
        PrintRoute route;
    };
    const std::vector<Case> cases = {
        {4, "", true, "FRM_選択", PrintRoute::ChartsRedraw},
        {11, "FRM_PF", false, "FRM_PF", PrintRoute::ChartsPicture},
        {107, "", true, "", PrintRoute::ChartsRedraw},
        {104, "", false, "", PrintRoute::ChartsPicture},
        {5, "FRM_データ表", true, "FRM_選択", PrintRoute::DataTable},
        {3, "", true, "FRM_データ表", PrintRoute::DataTable},
        {3, "", true, "FRM_選択", PrintRoute::SelectList},
        {3, "FRM_先行観測", false, "FRM_先行観測", PrintRoute::LeadObsList},
        {22, "FRM_PF", true, "FRM_PF", PrintRoute::PortfolioList},
        {12, "", true, "FRM_PF", PrintRoute::PortfolioList},
        {3, "", true, "FRM_他", PrintRoute::None},
        {3, "", true, "", PrintRoute::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChoosePrintRoute(c.view, c.form, c.redraw, c.caller), c.route)
            << c.view << " " << c.form << " " << c.caller;
    PrintSettei saved;
    saved.FirstRow = 4;
    saved.LastRow = 9;
    EXPECT_EQ(RowsByRange(false, saved, 30), (PrintRows{4, 9}));
    EXPECT_EQ(RowsByRange(true, saved, 30), (PrintRows{1, 29}));
    EXPECT_EQ(RowsByRange(true, saved, 1), (PrintRows{1, 0}));
}

TEST_F(PrintDialogTest, EachCallerPrintsItsOwnGridByTheRangeOption) {
    const auto table = OpenListWindow("FRM_データ表", "FGR_日次", 8, 5, "2024/05/0", 2);
    const auto obs = OpenListWindow("FRM_先行観測", "FGR_該当銘柄", 8, 5, "OBS", 2);
    const auto pf = OpenListWindow("FRM_PF", "FGR_PF", 15, 5, "PFC", 4);
    FlexGrid& issues = SelectionWindow().Grid();
    issues.SetCols(17);
    issues.SetRows(6);
    for (int row = 1; row <= 5; ++row) issues.SetTextMatrix(row, 2, "SEL" + std::to_string(row));

    struct Case {
        const char* caller;
        const char* form;
        int16_t view;
        bool all;
        const char* first;   // a row's text that must print
        const char* absent;  // one that must not
        const char* title;
    };
    const std::vector<Case> cases = {
        {"FRM_データ表", "FRM_データ表", 5, false, "2024/05/02", "2024/05/05", "1301 極洋"},
        // The data table active over a chart view prints the table, whatever the caller.
        {"FRM_選択", "FRM_データ表", 5, true, "2024/05/05", "SEL", "1301 極洋"},
        {"FRM_選択", "", 3, false, "SEL2", "SEL5", "選択銘柄一覧"},
        {"FRM_先行観測", "FRM_先行観測", 3, true, "OBS5", "SEL", "先行観測機能一覧 (順方向)"},
        {"FRM_PF", "FRM_PF", 22, false, "PFC3", "PFC5", "「売り」- 分類2"},
    };
    for (const Case& c : cases) {
        PrintSettei& saved = Settei().Record.PrintSettei;
        saved.PrintCaller = c.caller;
        saved.FirstRow = 2;
        saved.LastRow = 3;
        Views().ViewKind = c.view;
        GridWheel().CurrentFormName = c.form;
        Open();
        (c.all ? Option("OPT_All") : Option("OPT_Choice"))->setChecked(true);
        ASSERT_TRUE(PressOk()) << c.caller;
        const std::string text = PrintedText();
        EXPECT_NE(text.find(c.first), std::string::npos) << c.caller;
        EXPECT_EQ(text.find(c.absent), std::string::npos) << c.caller;
        EXPECT_NE(text.find(c.title), std::string::npos) << c.caller;
        RemovePrints();
    }
    ASSERT_TRUE(sink.AllShown());
}

TEST_F(PrintDialogTest, PaperOrientationAndCopiesReachThePrinter) {
    const auto pf = OpenListWindow("FRM_PF", "FGR_PF", 15, 3, "PFC", 4);
    Settei().Record.PrintSettei.PrintCaller = "FRM_PF";
    Views().ViewKind = 22;
    GridWheel().CurrentFormName = "FRM_PF";
    Open();
    List("CBO_Size")->setCurrentIndex(1);
    Option("OPT_横")->setChecked(true);
    Option("OPT_All")->setChecked(true);
    Count()->setText("2");
    ASSERT_TRUE(PressOk());
    // A3 turned: wider than high.
    EXPECT_NE(PageSize().find("1191 x 842 pts (A3)"), std::string::npos) << PageSize();
    EXPECT_TRUE(Printed("print-2.pdf"));
    EXPECT_NE(PrintedText("print-2.pdf").find("PFC3"), std::string::npos);
}

TEST_F(PrintDialogTest, NothingPrintsForAnUnknownCallerOrAGridWithOnlyItsTitleRow) {
    Settei().Record.PrintSettei.PrintCaller = "FRM_不明";
    Open();
    ASSERT_TRUE(PressOk());
    EXPECT_FALSE(Printed());

    const auto obs = OpenListWindow("FRM_先行観測", "FGR_該当銘柄", 8, 0, "OBS", 2);
    Settei().Record.PrintSettei.PrintCaller = "FRM_先行観測";
    GridWheel().CurrentFormName = "FRM_先行観測";
    Open();
    Option("OPT_All")->setChecked(true);
    ASSERT_TRUE(PressOk());
    EXPECT_FALSE(Printed());
}

TEST_F(PrintDialogTest, AChartViewGoesToTheChartPrinterOfTheQualitySetting) {
    std::vector<std::string> calls;
    ChartPrinting().PrintChartsRedraw = [&calls](const PrintSettei& settings, std::string&) {
        calls.push_back("redraw " + std::to_string(settings.CBO_Size));
        return true;
    };
    ChartPrinting().PrintChartsPicture = [&calls](const PrintSettei& settings, std::string&) {
        calls.push_back("picture " + std::to_string(settings.CBO_Size));
        return false;  // it told the user itself
    };
    Views().ViewKind = 8;
    for (int16_t fine : {-1, 0}) {
        Settei().Record.UserSettei.OPT_精細 = fine;
        Open();
        List("CBO_Size")->setCurrentIndex(1);
        ASSERT_TRUE(PressOk());
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"redraw 1", "picture 1"}));

    // A redraw that fails: its description, and the dialog stays.
    ChartPrinting().PrintChartsRedraw = [](const PrintSettei&, std::string& error) {
        error = "プリンタエラー";
        return false;
    };
    Settei().Record.UserSettei.OPT_精細 = -1;
    Open();
    sink.Expect(MsgKind::OkCancel, kStartPrintSettingsQuestion, kAnswerOk);
    sink.Expect(MsgKind::Warn, "プリンタエラー");
    dialog->CMD_OK_Click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(sink.AllShown());
}

TEST_F(PrintDialogTest, TheMenusPrintCommandOpensTheDialogOverAChartView) {
    InstallPrintingCommands();
    SetPrinterSource([] { return InstalledPrinters{{{kPdfPrinterName, true}}, ""}; });
    Views().ViewKind = 5;
    bool opened = false;
    AnswerNextModalNamed(QStringLiteral("FRM_印刷"), [&opened](QWidget* window) {
        opened = true;
        EXPECT_FALSE(window->findChild<QLineEdit*>(QStringLiteral("TXT_Count"))->isEnabled());
        window->findChild<QPushButton*>(QStringLiteral("CMD_cancel"))->click();
    });
    PrintChartView();
    EXPECT_TRUE(opened);
    SetPrinterSource(nullptr);
}

}  // namespace
