#include "views/logon_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/settings.h"
#include "foundation/signin.h"
#include "foundation/startup.h"
#include "ui/progress_window.h"

namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

void AddLabel(QGridLayout* grid, int row, int column, const char* text) {
    grid->addWidget(new QLabel(Q(text)), row, column);
}

}  // namespace

FRM_Logon::FRM_Logon(QWidget* parent) : QDialog(parent) {
    Progress().CancelRequested = 0;
    setObjectName(QStringLiteral("FRM_Logon"));
    setWindowTitle(Q("ﾕｰｻﾞｰ認証"));
    auto* outer = new QVBoxLayout(this);
    auto* intro = new QLabel(Q("ﾃﾞｰﾀにアクセスするには、IDとﾊﾟｽﾜｰﾄﾞの入力が必要です。"));
    outer->addWidget(intro);

    auto* grid = new QGridLayout;
    AddLabel(grid, 0, 0, "ﾛｸﾞｲﾝID：");
    uid_ = new QLineEdit;
    uid_->setObjectName(QStringLiteral("TXT_UID"));
    uid_->setMaxLength(100);
    grid->addWidget(uid_, 0, 1);
    AddLabel(grid, 0, 2, "英数半角文字 （例：ABC123）");
    AddLabel(grid, 1, 0, "ﾊﾟｽﾜｰﾄﾞ：");
    upw_ = new QLineEdit;
    upw_->setObjectName(QStringLiteral("TXT_UPW"));
    upw_->setMaxLength(100);
    upw_->setEchoMode(QLineEdit::Password);
    // The hint beside the box shows the mask the user sees: "*" for every character,
    // whatever mask the style would choose.
    upw_->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    grid->addWidget(upw_, 1, 1);
    AddLabel(grid, 1, 2, "英数半角文字 （例：******）");
    outer->addLayout(grid);

    savePw_ = new QCheckBox(Q("ﾊﾟｽﾜｰﾄﾞを保存する。"));
    savePw_->setObjectName(QStringLiteral("CHK_SavePW"));
    savePw_->setChecked(true);
    outer->addWidget(savePw_);
    outer->addWidget(
        new QLabel(Q("※入力された文字は表示されませんので、正しく入力してください。")));
    outer->addWidget(new QLabel(Q("※設定された値はﾕｰｻﾞｰ設定画面にて確認できます。")));

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("CMD_OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(Q("ｷｬﾝｾﾙ"));
    cancel->setObjectName(QStringLiteral("CMD_cancel"));
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);

    const LogonPair& download = Signin().DownloadLogon;
    uid_->setText(QString::fromStdString(download.UserId));
    upw_->setText(QString::fromStdString(download.Password));
    connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    // The close box counts as a cancel.
    connect(this, &QDialog::rejected, this, [this] {
        cancelled_ = true;
        Progress().CancelRequested = -1;
    });
}

void FRM_Logon::OnOk() {
    LogonPair pair{uid_->text().trimmed().toStdString(), upw_->text().trimmed().toStdString()};
    Signin().DownloadLogon = pair;
    // Start-up reads the pair back from the settings file, so only a saved pair signs in.
    if (savePw_->isChecked()) {
        Settei().Record.UserSettei.CHK_DGAuto = 1;
        Signin().LogonInfo = pair;
        SaveSettei(pair);
    }
    accept();
}

void FRM_Logon::OnCancel() {
    cancelled_ = true;
    Progress().CancelRequested = -1;
    reject();
}

void ShowLogonWindowModal() {
    FRM_Logon window;
    window.exec();
}

void ShowLogonWindowModeless() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    auto* window = new FRM_Logon;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void AskForSignIn() {
    if (HasSignInPair()) return;
    FRM_Logon window;
    window.exec();
    // An ID and password that the window saved are read back from the settings file; what
    // the user typed signs in for this run even when it was not saved.
    LoadSavedSignIn();
    if (!window.Cancelled()) Signin().LogonInfo = Signin().DownloadLogon;
}
