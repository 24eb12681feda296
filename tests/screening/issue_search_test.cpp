// ctest-labels: issuesearch
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "issue_search_cases.h"
#include "support/modal.h"
#include "ui/grid_wheel.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, IssueSearchTest, testing::Values(TestEngine::Sqlite));

namespace {

QPushButton* Button(QWidget* window, const char* name) {
    return window->findChild<QPushButton*>(QString::fromUtf8(name));
}

// The codes in column 2 of the issue list.
std::vector<std::string> ListCodes(const FlexGrid& list) {
    std::vector<std::string> codes;
    for (int row = 1; row < list.Rows(); ++row) codes.push_back(list.TextMatrix(row, 2));
    return codes;
}

}  // namespace

// From the list, Ctrl+K, "72" and Enter list the issues whose code begins with 72, and OK
// shows them in the list.
TEST_P(IssueSearchTest, CtrlKTypedCodeAndOkShowTheFoundIssuesInTheList) {
    bool answered = false;
    AnswerNextModalNamed(QString::fromUtf8(kSearchFormName), [&](QWidget* modal) {
        answered = true;
        EXPECT_EQ(modal->objectName(), kSearchFormName);
        EXPECT_EQ(GridWheel().CurrentFormName, kSearchFormName);
        QLineEdit* code = Box("TXT_Code");
        EXPECT_EQ(modal->focusWidget(), code);
        EXPECT_FALSE(Box("TXT_Name")->isEnabled());
        EXPECT_FALSE(Button(modal, "CMD_OK")->isEnabled());
        // Column edges move only right of the hidden position column.
        emit Found().MouseMove(0, 0, 100, 10);
        EXPECT_FALSE(Found().AllowUserResizing());
        emit Found().MouseMove(0, 0, 900, 10);
        EXPECT_TRUE(Found().AllowUserResizing());
        // Only digits reach the box from the keyboard.
        QTest::keyClicks(code, "7x2");
        EXPECT_EQ(code->text(), "72");
        QTest::keyClick(code, Qt::Key_Return);
        ASSERT_EQ(Rows(Found()), (std::vector<std::string>{"7201 中部市場", "7203 西部市場一部"}));
        Found().SetRow(1);
        Found().SetRowSel(2);
        Button(modal, "CMD_OK")->click();
    });
    MainFrame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&MainFrame()));
    QTest::keyClick(&MainFrame(), Qt::Key_K, Qt::ControlModifier);
    ASSERT_TRUE(answered);
    EXPECT_EQ(ListCodes(*list_), (std::vector<std::string>{"7201", "7203"}));
    EXPECT_EQ(IssueSearch().SearchResult, 0);
    EXPECT_EQ(IssueSearch().CodeText, "") << "the next search starts empty";
    EXPECT_EQ(GridWheel().CurrentFormName, "");
    EXPECT_EQ(MainFrame().cursor().shape(), Qt::ArrowCursor);
}

TEST_P(IssueSearchTest, OkHandsOverTheChosenRowsOrWarnsWithoutOne) {
    ScriptedSink sink;
    AnswerNextModalNamed(QString::fromUtf8(kSearchFormName), [&](QWidget* modal) {
        SearchCode("13");
        ASSERT_GE(Found().Rows(), 5);
        Found().SetRow(0);
        Button(modal, "CMD_OK")->setEnabled(true);
        sink.Expect(MsgKind::Warn, "対象となる銘柄を選択してください。");
        Button(modal, "CMD_OK")->click();
        EXPECT_TRUE(modal->isVisible());
        Found().SetRow(4);
        Found().SetRowSel(2);
        Button(modal, "CMD_OK")->click();
    });
    Views().ViewKind = 5;
    std::vector<int16_t> shown;
    ChartViews().ShowChartView = [&shown](int16_t view) { shown.push_back(view); };
    SearchByName();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(IssueSelection().SelectedRows, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(IssueList().SelectedRowTexts, (std::vector<std::string>{"2", "3", "4", ""}));
    EXPECT_EQ(shown, (std::vector<int16_t>{5}));
    EXPECT_EQ(IssueSearch().SearchResult, -1) << "kept until the list is shown again";
    ShowSelectionList();
    EXPECT_EQ(IssueSearch().SearchResult, 0);
}

TEST_P(IssueSearchTest, CancelRestoresTheListCountOnlyInTheListView) {
    const std::string listCount = MainStatusPanel(2);
    for (int16_t view : {3, 5}) {
        Views().ViewKind = view;
        AnswerNextModalNamed(QString::fromUtf8(kSearchFormName), [&](QWidget* modal) {
            SearchCode("72");
            EXPECT_EQ(MainStatusPanel(2), view == 3 ? "2 件表示されました。" : "chart");
            Button(modal, "CMD_cancel")->click();
        });
        SetMainStatusPanel(2, view == 3 ? "" : "chart");
        FindByCodeAndShow();
        EXPECT_EQ(MainStatusPanel(2), view == 3 ? listCount : "chart") << view;
        EXPECT_EQ(IssueSearch().SearchResult, 0);
    }
}

TEST_P(IssueSearchTest, TheFoundIssuesGoWhereTheViewIs) {
    struct Case {
        int16_t view;
        std::vector<int16_t> chartsShown;
        int16_t resultAfter;
    };
    const Case cases[] = {{3, {}, 0}, {5, {5}, -1}, {105, {}, -1}};
    for (const Case& c : cases) {
        Views().ViewKind = c.view;
        IssueSelection().CurrentIssuePos = 2;
        std::vector<int16_t> shown;
        ChartViews().ShowChartView = [&shown](int16_t view) { shown.push_back(view); };
        AnswerNextModalNamed(QString::fromUtf8(kSearchFormName), [&](QWidget* modal) {
            SearchCode("99");
            Found().SetRow(2);
            Button(modal, "CMD_OK")->click();
        });
        FindByCodeAndShow();
        EXPECT_EQ(shown, c.chartsShown) << c.view;
        EXPECT_EQ(IssueSearch().SearchResult, c.resultAfter) << c.view;
        EXPECT_EQ(IssueSelection().CurrentIssuePos, 0) << c.view;
        if (c.view == 3) {
            EXPECT_EQ(ListCodes(*list_), (std::vector<std::string>{"9901"}));
        }
    }
}
