// ctest-labels: signin
#include "views/logon_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "foundation/settings.h"
#include "foundation/signin.h"
#include "platform/atomic_file.h"
#include "support/modal.h"
#include "support/temp_folder.h"
#include "ui/progress_window.h"

namespace {

// Runs step; a sign-in window it opens is cancelled at once. True when one opened.
bool OpensSignInWindow(const std::function<void()>& step) {
    bool opened = false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&opened] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal->objectName() != "FRM_Logon") return;
        opened = true;
        modal->findChild<QPushButton*>("CMD_cancel")->click();
    });
    watch.start();
    step();
    return opened;
}

class LogonWindow : public testing::Test {
  protected:
    void SetUp() override {
        // As at start-up: the settings record holds its defaults before the window opens.
        LogonPair none;
        LoadSettei(none);
        Signin().DownloadLogon = {"ABC123", "pw0001"};
        Signin().LogonInfo = {"saved", "savedpw"};
    }

    TempAppFolder folder_;

    static void Type(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClicks(box, text);
    }
};

TEST_F(LogonWindow, OpensWithTheDownloadPairAndItsControls) {
    FRM_Logon window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("ﾕｰｻﾞｰ認証"));
    auto* uid = window.findChild<QLineEdit*>("TXT_UID");
    auto* upw = window.findChild<QLineEdit*>("TXT_UPW");
    auto* save = window.findChild<QCheckBox*>("CHK_SavePW");
    ASSERT_TRUE(uid && upw && save);
    ASSERT_TRUE(window.findChild<QPushButton*>("CMD_OK") &&
                window.findChild<QPushButton*>("CMD_cancel"));
    EXPECT_EQ(uid->text(), QStringLiteral("ABC123"));
    EXPECT_EQ(upw->text(), QStringLiteral("pw0001"));
    EXPECT_EQ(upw->echoMode(), QLineEdit::Password);
    // Every typed character of the password shows as "*".
    EXPECT_EQ(upw->displayText(), QStringLiteral("******"));
    EXPECT_EQ(uid->maxLength(), 100);
    EXPECT_EQ(upw->maxLength(), 100);
    EXPECT_TRUE(save->isChecked());
    EXPECT_EQ(save->text(), QString::fromUtf8("ﾊﾟｽﾜｰﾄﾞを保存する。"));
    EXPECT_EQ(window.findChild<QPushButton*>("CMD_cancel")->text(), QString::fromUtf8("ｷｬﾝｾﾙ"));
    EXPECT_EQ(window.findChild<QPushButton*>("CMD_OK")->text(), QStringLiteral("OK"));
    QStringList labels;
    for (const QLabel* label : window.findChildren<QLabel*>()) labels << label->text();
    for (const char* text :
         {"ﾃﾞｰﾀにアクセスするには、IDとﾊﾟｽﾜｰﾄﾞの入力が必要です。", "ﾛｸﾞｲﾝID：",
          "英数半角文字 （例：ABC123）", "ﾊﾟｽﾜｰﾄﾞ：", "英数半角文字 （例：******）",
          "※入力された文字は表示されませんので、正しく入力してください。",
          "※設定された値はﾕｰｻﾞｰ設定画面にて確認できます。"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
}

TEST_F(LogonWindow, OkTrimsTheTextsAndSavesThePairWhenAsked) {
    struct Case {
        bool save;
        const char* expectedLogonId;
    };
    for (const Case c : {Case{false, "saved"}, Case{true, "user9"}}) {
        Signin().LogonInfo = {"saved", "savedpw"};
        FRM_Logon window;
        window.show();
        Type(window.findChild<QLineEdit*>("TXT_UID"), QStringLiteral("  user9 "));
        Type(window.findChild<QLineEdit*>("TXT_UPW"), QStringLiteral(" pass9  "));
        window.findChild<QCheckBox*>("CHK_SavePW")->setChecked(c.save);
        QTest::mouseClick(window.findChild<QPushButton*>("CMD_OK"), Qt::LeftButton);
        EXPECT_EQ(window.result(), QDialog::Accepted);
        EXPECT_FALSE(window.Cancelled());
        EXPECT_EQ(Signin().DownloadLogon.UserId, "user9");
        EXPECT_EQ(Signin().DownloadLogon.Password, "pass9");
        EXPECT_EQ(Signin().LogonInfo.UserId, c.expectedLogonId) << c.save;
        EXPECT_EQ(Settei().Record.UserSettei.CHK_DGAuto, c.save ? 1 : 0);
        EXPECT_EQ(FileExists(folder_.File(kSetteiFileName)), c.save);
    }
    // Start-up reads the saved pair back from the settings file.
    LogonPair saved;
    Settei() = SetteiState{};
    LoadSettei(saved);
    EXPECT_EQ(saved.UserId, "user9");
    EXPECT_EQ(saved.Password, "pass9");
}

TEST_F(LogonWindow, CancelChangesNothing) {
    Progress().CancelRequested = 5;
    FRM_Logon window;
    window.show();
    EXPECT_EQ(Progress().CancelRequested, 0);
    Type(window.findChild<QLineEdit*>("TXT_UID"), QStringLiteral("other"));
    QTest::mouseClick(window.findChild<QPushButton*>("CMD_cancel"), Qt::LeftButton);
    EXPECT_TRUE(window.Cancelled());
    EXPECT_EQ(Progress().CancelRequested, -1);
    EXPECT_FALSE(FileExists(folder_.File(kSetteiFileName)));
    EXPECT_EQ(Signin().DownloadLogon.UserId, "ABC123");
    EXPECT_EQ(Signin().LogonInfo.UserId, "saved");
}

TEST_F(LogonWindow, StartUpAsksUnlessTheIdAndThePasswordAreBothSaved) {
    struct Case {
        LogonPair saved;
        bool asks;
    };
    const Case cases[] = {
        {{"", ""}, true},
        {{"someone", ""}, true},  // an empty password saved once must not lock the user out
        {{"", "pw"}, true},
        {{"someone", "pw"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saved.UserId + "/" + c.saved.Password);
        Signin().LogonInfo = c.saved;
        EXPECT_EQ(OpensSignInWindow(AskForSignIn), c.asks);
        // A cancelled window leaves the pair the settings file holds: here none.
        EXPECT_EQ(Signin().LogonInfo.UserId, c.asks ? "" : c.saved.UserId);
    }
}

TEST_F(LogonWindow, ModalWindowReturnsWhenAnswered) {
    AnswerNextModalNamed(QString::fromUtf8("FRM_Logon"), [](QWidget* modal) {
        ASSERT_EQ(modal->objectName(), QStringLiteral("FRM_Logon"));
        QTest::mouseClick(modal->findChild<QPushButton*>("CMD_OK"), Qt::LeftButton);
    });
    ShowLogonWindowModal();
    EXPECT_EQ(Signin().LogonInfo.UserId, "ABC123");
    EXPECT_EQ(Signin().LogonInfo.Password, "pw0001");
}

}  // namespace
