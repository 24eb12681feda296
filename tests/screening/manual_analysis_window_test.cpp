// ctest-labels: manualanalysis
#include "screening/manual_analysis_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <memory>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/flex_grid.h"
#include "screening/atec_file.h"
#include "screening/commands.h"
#include "screening/manual_analysis.h"
#include "screening/state.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"
#include "ui/input_boxes.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"

namespace {

constexpr const char* kFinished = "処理が終了しました。";
constexpr const char* kStopped = "処理が中断されました。";
constexpr const char* kScopeBoxes[] = {
    "CHK_指標", "CHK_東プ", "CHK_東ス", "CHK_東グ", "CHK_東",   "CHK_東1",     "CHK_東2",
    "CHK_大証", "CHK_名証", "CHK_店頭", "CHK_マザ", "CHK_ヘラ", "CHK_注目Min", "CHK_注目Max"};

class ManualAnalysisWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>();
        KABUTO_REQUIRE_MARKET(*market_);
        SetProgramEnd([] {});
        Settei().FixedToday =
            std::chrono::year{2024} / std::chrono::month{6} / std::chrono::day{15};
        LogonPair logon;
        InitSettei(logon);
        Settei().Record.UserSettei.DPC_開始 = "2023/01/04";
        InstallScreeningCommands();
        ShowSelectionList();
        list_ = &SelectionWindow().Grid();
        ASSERT_TRUE(ShowIssueList(*list_, kListAll));
    }
    void TearDown() override {
        if (QWidget* window = Window()) delete window;
        DestroyMainFrame();
        SetProgramEnd(nullptr);
        market_.reset();
    }

    // Opened as its menu item opens it; the item itself stays hidden.
    QWidget* Open() {
        QAction* item = SelectionWindow().MenuItem("MNU_手動分析");
        EXPECT_FALSE(item->isVisible());
        item->trigger();
        QWidget* window = Window();
        EXPECT_TRUE(window && window->isVisible());
        return window;
    }
    static QWidget* Window() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == "FRM_手動分析" &&
                !widget->property("kabutoUnloaded").toBool())
                return widget;
        return nullptr;
    }
    template <typename T>
    static T* Control(const char* name) {
        T* control = Window()->findChild<T*>(QString::fromUtf8(name));
        EXPECT_TRUE(control) << name;
        return control;
    }
    // The box left as the user leaves it: its check, format and the pair rule run.
    static void Leave(QLineEdit* box) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &out);
    }
    static void Type(const char* name, const char* text) {
        QLineEdit* box = Control<QLineEdit>(name);
        box->setText(QString::fromUtf8(text));
        Leave(box);
    }
    void Ok(std::vector<std::pair<MsgKind, const char*>> boxes) {
        for (const auto& [kind, text] : boxes) sink_.Expect(kind, text);
        Control<QPushButton>("CMD_OK")->click();
        EXPECT_TRUE(sink_.AllShown());
        EXPECT_EQ(Window(), nullptr);
        EXPECT_TRUE(MainFrame().isEnabled());
    }

    std::unique_ptr<MarketFixture> market_;
    FlexGrid* list_ = nullptr;
    ScriptedSink sink_;
};

TEST_F(ManualAnalysisWindowTest, OkRunsOverTheScopeAndTheListShowsTheResults) {
    Open();
    Control<QRadioButton>("OPT_指定")->click();
    Control<QCheckBox>("CHK_東プ")->click();
    Control<QCheckBox>("CHK_東ス")->click();
    list_->SetRows(1);
    Ok({{MsgKind::Info, kFinished}});
    EXPECT_EQ(Settei().Record.ManualSettei.OPT_指定, -1);
    EXPECT_EQ(Settei().Record.ManualSettei.CHK_東プ, 1);
    EXPECT_TRUE(FileExists(AppPath() + kSetteiFileName));
    // The list refilled with every issue; the analysed ones show their rates.
    RecordsetPtr rs;
    std::string count = "SELECT COUNT(*) FROM TBL銘柄属性";
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, count, rs));
    EXPECT_EQ(list_->Rows() - 1, static_cast<int>(rs->Number(0)));
    std::string analysed =
        "SELECT COUNT(*) FROM TBL銘柄属性 WHERE 上昇率 IS NOT NULL AND 市場コード IN ('211', "
        "'212')";
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, analysed, rs));
    EXPECT_GT(rs->Number(0), 0);
    std::string rest = "SELECT COUNT(*) FROM TBL銘柄属性 WHERE 上昇率 IS NOT NULL";
    RecordsetPtr all;
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, rest, all));
    EXPECT_EQ(all->Number(0), rs->Number(0));
    int shownRates = 0;
    for (int row = 1; row < list_->Rows(); ++row) shownRates += !list_->TextMatrix(row, 11).empty();
    EXPECT_EQ(shownRates, static_cast<int>(rs->Number(0)));
}

TEST_F(ManualAnalysisWindowTest, OkSavesTheScopeEvenWhenTheRunFails) {
    Open();
    Control<QRadioButton>("OPT_指定")->click();
    Control<QCheckBox>("CHK_注目Max")->click();
    // A text that never left its box: no check has run on it.
    Control<QLineEdit>("TXT_注目Max")->setText(QStringLiteral("9x"));
    list_->SetRows(1);
    Ok({{MsgKind::Warn, kErrTypeMismatch}, {MsgKind::Info, kStopped}});
    EXPECT_EQ(Settei().Record.ManualSettei.注目Max.Text, "9x");
    EXPECT_TRUE(FileExists(AppPath() + kSetteiFileName));
    EXPECT_GT(list_->Rows(), 1);
    EXPECT_FALSE(FileExists(AppPath() + kATecFileName));
}

TEST_F(ManualAnalysisWindowTest, AnEmptyScopeFindsNothingAndStillFinishes) {
    Open();
    Control<QRadioButton>("OPT_指定")->click();
    Ok({{MsgKind::Info, kNoIssuesFoundMessage}, {MsgKind::Info, kFinished}});
}

TEST_F(ManualAnalysisWindowTest, CancelSavesNothing) {
    const MarketScope before = Settei().Record.ManualSettei;
    Open();
    Control<QRadioButton>("OPT_指定")->click();
    Control<QCheckBox>("CHK_大証")->click();
    Control<QPushButton>("CMD_cancel")->click();
    EXPECT_EQ(Window(), nullptr);
    EXPECT_TRUE(MainFrame().isEnabled());
    EXPECT_EQ(Settei().Record.ManualSettei.OPT_指定, before.OPT_指定);
    EXPECT_EQ(Settei().Record.ManualSettei.CHK_大証, 0);
    EXPECT_FALSE(FileExists(AppPath() + kSetteiFileName));
    // The next opening shows the saved scope.
    Open();
    EXPECT_TRUE(Control<QRadioButton>("OPT_全て")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>("CHK_大証")->isChecked());
}

TEST_F(ManualAnalysisWindowTest, WatchBoxesStayWholeNumbersFromOneToAHundredInOrder) {
    Open();
    Control<QRadioButton>("OPT_指定")->click();
    Control<QCheckBox>("CHK_注目Min")->click();
    Control<QCheckBox>("CHK_注目Max")->click();
    const struct {
        const char* box;
        const char* typed;
        const char* min;
        const char* max;
    } steps[] = {
        {"TXT_注目Max", "150", "1", "100"},  {"TXT_注目Max", "", "1", "1"},
        {"TXT_注目Max", "0", "1", "1"},      {"TXT_注目Min", "50", "50", "50"},
        {"TXT_注目Max", "20", "20", "20"},   {"TXT_注目Min", "60", "60", "60"},
        {"TXT_注目Max", "100", "60", "100"},
    };
    for (const auto& step : steps) {
        Type(step.box, step.typed);
        EXPECT_EQ(Control<QLineEdit>("TXT_注目Min")->text().toStdString(), step.min) << step.typed;
        EXPECT_EQ(Control<QLineEdit>("TXT_注目Max")->text().toStdString(), step.max) << step.typed;
    }
    // The arrows stop at the bounds and move only their own box.
    Control<UpDownSpinner>("UPD_注目Max")->UpButton()->click();
    EXPECT_EQ(Control<QLineEdit>("TXT_注目Max")->text(), "100");
    Control<UpDownSpinner>("UPD_注目Min")->UpButton()->click();
    EXPECT_EQ(Control<QLineEdit>("TXT_注目Min")->text(), "61");
    Type("TXT_注目Min", "1");
    Control<UpDownSpinner>("UPD_注目Min")->DownButton()->click();
    EXPECT_EQ(Control<QLineEdit>("TXT_注目Min")->text(), "1");
}

TEST_F(ManualAnalysisWindowTest, AllDisablesTheFourteenBoxesAndTheWatchLinesWithThem) {
    MarketScope& saved = Settei().Record.ManualSettei;
    saved.OPT_全て = 0;
    saved.OPT_指定 = -1;
    saved.CHK_名証 = 1;
    saved.注目Max = {1, 0, "30"};
    Open();
    auto enabled = [](const char* name) { return Control<QWidget>(name)->isEnabled(); };
    for (const char* name : kScopeBoxes) EXPECT_TRUE(enabled(name)) << name;
    EXPECT_TRUE(enabled("TXT_注目Max"));
    EXPECT_TRUE(enabled("UPD_注目Max"));
    EXPECT_FALSE(enabled("TXT_注目Min"));
    EXPECT_FALSE(enabled("UPD_注目Min"));
    Control<QRadioButton>("OPT_全て")->click();
    EXPECT_FALSE(Control<QRadioButton>("OPT_指定")->isChecked());
    for (const char* name : kScopeBoxes) EXPECT_FALSE(enabled(name)) << name;
    for (const char* name : {"TXT_注目Max", "UPD_注目Max", "TXT_注目Min", "UPD_注目Min"})
        EXPECT_FALSE(enabled(name)) << name;
    // The ticks stay as they were and are saved unchanged.
    EXPECT_TRUE(Control<QCheckBox>("CHK_名証")->isChecked());
    sink_.Expect(MsgKind::Info, kFinished);
    Settei().Record.UserSettei.DPC_開始 = "2023/01/04";
    Control<QPushButton>("CMD_OK")->click();
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(saved.OPT_全て, -1);
    EXPECT_EQ(saved.CHK_名証, 1);
    EXPECT_EQ(saved.注目Max.Text, "30");
}

}  // namespace
