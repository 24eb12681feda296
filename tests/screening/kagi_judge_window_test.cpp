// ctest-labels: dialogs
// The kagi judgement dialog offscreen: the defaults, a pair stored with neither option,
// 適用 followed by ｷｬﾝｾﾙ, and the opening from the issue list's tool menu.
#include "screening/kagi_judge_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <string>

#include "foundation/settings.h"
#include "foundation/settings_fields.h"
#include "foundation/state.h"
#include "screening/commands.h"
#include "support/fresh_state.h"
#include "support/modal.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/state.h"

namespace {

// The fourteen buttons in record order.
constexpr const char* kButtons[] = {
    "OPT_長線無制限", "OPT_Not長線",    "OPT_連続無制限", "OPT_Not連続",    "OPT_新値三超",
    "OPT_新値三迄",   "OPT_第二無制限", "OPT_第二三迄",   "OPT_第三考慮",   "OPT_第三無制限",
    "OPT_山無制限",   "OPT_山三のみ",   "OPT_第二採用",   "OPT_第二不採用",
};

int16_t& Field(const char* button) {
    return *SetteiInteger(Settei().Record, std::string("KagiJudgeSettei.") + button);
}

KagiJudgeSettei StoredChoices() {
    const SetteiRecord current = Settei().Record;
    LogonPair logon;
    LoadSettei(logon);
    const KagiJudgeSettei stored = Settei().Record.KagiJudgeSettei;
    Settei().Record = current;
    return stored;
}

class KagiJudgeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LogonPair logon;
        LoadSettei(logon);
    }
    void Open() {
        window = std::make_unique<FRM_鈎判設定>();
        window->Load();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QRadioButton* Button(const char* name) const {
        auto* button = window->findChild<QRadioButton*>(QString::fromUtf8(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    }
    // A click on the button's mark, on the tab that holds it.
    void Click(const char* name) const {
        QRadioButton* button = Button(name);
        for (int tab = 0; tab < window->Tabs()->count(); ++tab)
            if (window->Tabs()->widget(tab)->isAncestorOf(button))
                window->Tabs()->setCurrentIndex(tab);
        QTest::qWait(20);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    void Press(const char* name) const {
        window->findChild<QPushButton*>(QString::fromUtf8(name))->click();
    }

    TempAppFolder folder;
    ScriptedSink sink;
    std::unique_ptr<FRM_鈎判設定> window;
};

TEST_F(KagiJudgeTest, AFreshRecordSelectsTheTopOptionOfEveryGroup) {
    Open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("鈎足判定設定"));
    QStringList tabs;
    for (int tab = 0; tab < window->Tabs()->count(); ++tab) tabs << window->Tabs()->tabText(tab);
    EXPECT_EQ(tabs, (QStringList{"ろさ", "ろく", "ろゑ", "ろあ"}));
    // Fields 1, 4, 5, 7, 9, 11 and 13.
    const bool selected[] = {true,  false, false, true, true,  false, true,
                             false, true,  false, true, false, true,  false};
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        EXPECT_EQ(Button(kButtons[i])->isChecked(), selected[i]) << kButtons[i];
        EXPECT_EQ(Field(kButtons[i]), selected[i] ? -1 : 0) << kButtons[i];
    }
    // In "連続出現" the default sits on top although it is the second field of its pair.
    const QRadioButton* notTwice = Button("OPT_Not連続");
    EXPECT_LT(notTwice->y(), Button("OPT_連続無制限")->y());
    Press("CMD_OK");
    const KagiJudgeSettei stored = StoredChoices();
    EXPECT_EQ(stored.OPT_Not連続, -1);
    EXPECT_EQ(stored.OPT_連続無制限, 0);
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(KagiJudgeTest, APairStoredWithNeitherOptionStaysSo) {
    Field("OPT_山無制限") = 0;
    Field("OPT_山三のみ") = 0;
    Open();
    EXPECT_FALSE(Button("OPT_山無制限")->isChecked());
    EXPECT_FALSE(Button("OPT_山三のみ")->isChecked());
    Press("CMD_OK");
    EXPECT_EQ(StoredChoices().OPT_山無制限, 0);
    EXPECT_EQ(StoredChoices().OPT_山三のみ, 0);

    // A click settles the pair; a second click on the same button keeps it.
    Open();
    Click("OPT_山三のみ");
    Click("OPT_山三のみ");
    EXPECT_TRUE(Button("OPT_山三のみ")->isChecked());
    EXPECT_FALSE(Button("OPT_山無制限")->isChecked());
    Press("CMD_OK");
    EXPECT_EQ(StoredChoices().OPT_山三のみ, -1);
    EXPECT_EQ(StoredChoices().OPT_山無制限, 0);
}

TEST_F(KagiJudgeTest, ApplyThenCancelKeepsTheChangeStoredAndSeenAsAChange) {
    Open();
    Click("OPT_Not長線");
    Click("OPT_第二不採用");
    Press("CMD_適用");
    EXPECT_TRUE(window->isVisible());
    Click("OPT_第三無制限");
    Press("CMD_cancel");
    EXPECT_FALSE(window->isVisible());
    const KagiJudgeSettei stored = StoredChoices();
    EXPECT_EQ(stored.OPT_Not長線, -1);
    EXPECT_EQ(stored.OPT_長線無制限, 0);
    EXPECT_EQ(stored.OPT_第二不採用, -1);
    EXPECT_EQ(stored.OPT_第三無制限, 0);
    EXPECT_EQ(Field("OPT_第三無制限"), 0);
    // The copy taken at the opening still holds the earlier choice.
    EXPECT_EQ(Settei().KagiJudgeBackup.OPT_Not長線, 0);
    EXPECT_EQ(Settei().Record.KagiJudgeSettei.OPT_Not長線, -1);
}

TEST_F(KagiJudgeTest, EachTabAsAPicture) {
    Open();
    for (int tab = 0; tab < window->Tabs()->count(); ++tab) {
        window->Tabs()->setCurrentIndex(tab);
        QTest::qWait(20);
        const QString file = QStringLiteral(KABUTO_BINARY_DIR "/kagi_judge_tab%1.png").arg(tab + 1);
        EXPECT_TRUE(window->grab().save(file)) << tab;
    }
}

TEST(KagiJudgeMenuTest, OpensFromTheListsToolMenu) {
    TempAppFolder folder;
    ScriptedSink sink;
    LogonPair logon;
    LoadSettei(logon);
    InstallScreeningCommands();
    ShowSelectionList();
    bool opened = false;
    AnswerNextModalNamed(QString::fromUtf8("FRM_鈎判設定"), [&opened](QWidget* modal) {
        auto* window = dynamic_cast<FRM_鈎判設定*>(modal);
        ASSERT_NE(window, nullptr);
        opened = true;
        window->findChild<QRadioButton*>(QStringLiteral("OPT_新値三迄"))->click();
        window->findChild<QPushButton*>(QStringLiteral("CMD_OK"))->click();
    });
    SelectionWindow().MenuItem("MNU_鈎足判定")->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(StoredChoices().OPT_新値三迄, -1);
    EXPECT_EQ(StoredChoices().OPT_新値三超, 0);
    DestroyMainFrame();
}

}  // namespace
