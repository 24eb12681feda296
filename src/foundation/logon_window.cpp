#include "foundation/logon_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/signin.h"

namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

QLabel* AddLabel(QGridLayout* grid, int row, int column, const char* text,
                 const char* name = nullptr) {
    auto* label = new QLabel(Q(text));
    if (name) label->setObjectName(Q(name));
    grid->addWidget(label, row, column);
    return label;
}

// The saved sign-in: LogonInfo takes the pair and the settings file keeps it, with the
// saved-sign-in switch on. The settings record is not in this branch yet, so only the
// in-memory pair is set here; the settings file write joins this function.
void SaveLogonSettings(const SigninPair& pair) {
    Signin().LogonInfo = pair;
}

}  // namespace

FRM_Logon::FRM_Logon(QWidget* parent) : QDialog(parent) {
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

    const SigninPair& download = Signin().DownloadLogon;
    uid_->setText(QString::fromStdString(download.UserId));
    upw_->setText(QString::fromStdString(download.Password));
    connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    // The close box counts as a cancel.
    connect(this, &QDialog::rejected, this, [this] { cancelled_ = true; });
}

void FRM_Logon::OnOk() {
    SigninPair pair{uid_->text().trimmed().toStdString(), upw_->text().trimmed().toStdString()};
    Signin().DownloadLogon = pair;
    if (savePw_->isChecked()) SaveLogonSettings(pair);
    accept();
}

void FRM_Logon::OnCancel() {
    cancelled_ = true;
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
