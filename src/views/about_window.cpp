#include "views/about_window.h"

#include <pwd.h>
#include <unistd.h>

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/text_utils.h"
#include "platform/app_path.h"

std::string GetAboutValue(const std::string& key) {
    if (key == "InstDir") return AppPath();
    if (key == "User") {
        const passwd* entry = getpwuid(getuid());
        return entry && entry->pw_name ? entry->pw_name : "";
    }
    return "";
}

std::string AboutItemText(const std::string& value) {
    if (LenSjis(value) <= 36) return value;
    return LeftSjis(value, 34) + "..";
}

std::string BuildAboutText(const std::string& installFolder, const std::string& userName) {
    return "\r\n    Install：\t\t" + AboutItemText(installFolder) + "\r\n\r\n    名前：\t\t" +
           AboutItemText(userName);
}

FRM_バージョン情報::FRM_バージョン情報(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FRM_バージョン情報"));
    setWindowTitle(ProductName() + QStringLiteral(" のﾊﾞｰｼﾞｮﾝ情報"));

    auto* productLabel = new QLabel(ProductName(), this);
    productLabel->setObjectName(QStringLiteral("LBL_商品名"));
    QFont bigger = productLabel->font();
    bigger.setPointSize(bigger.pointSize() + 6);
    bigger.setBold(true);
    productLabel->setFont(bigger);

    auto* versionLabel = new QLabel(QStringLiteral("Ver. ") + VersionText(), this);
    versionLabel->setObjectName(QStringLiteral("LBL_Ver"));

    keptText_ =
        QString::fromStdString(BuildAboutText(GetAboutValue("InstDir"), GetAboutValue("User")));
    txtVer_ = new QPlainTextEdit(this);
    txtVer_->setObjectName(QStringLiteral("TXT_Ver"));
    txtVer_->setPlainText(keptText_);
    keptText_ = txtVer_->toPlainText();  // the control's own form of the line ends
    txtVer_->setTabStopDistance(40);
    txtVer_->installEventFilter(this);
    connect(txtVer_, &QPlainTextEdit::textChanged, this, &FRM_バージョン情報::RestoreText);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("CMD_OK"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(productLabel);
    layout->addWidget(versionLabel);
    layout->addWidget(txtVer_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    layout->addLayout(buttons);
    resize(420, 260);
}

void FRM_バージョン情報::RestoreText() {
    // The text is information only: any change, typed or pasted, puts the kept text back.
    if (restoring_ || txtVer_->toPlainText() == keptText_) return;
    restoring_ = true;
    txtVer_->setPlainText(keptText_);
    restoring_ = false;
}

bool FRM_バージョン情報::eventFilter(QObject* watched, QEvent* event) {
    if (watched != txtVer_) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::InputMethod) return true;
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    // The text takes no key, but the window's own keys still work from it: Enter presses
    // the default button OK and Esc closes, as from anywhere else in the window.
    switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            okButton_->click();
            break;
        case Qt::Key_Escape:
            reject();
            break;
        default:
            break;
    }
    return true;
}
