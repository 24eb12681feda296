#include "views/splash_window.h"

#include <QFont>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/app_path.h"
#include "platform/avi_player.h"
#include "views/about_window.h"

FRM_見出し::FRM_見出し(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("FRM_見出し"));
    setAttribute(Qt::WA_DeleteOnClose);

    picture_ = new QLabel(FRM_バージョン情報::ProductName(), this);
    picture_->setObjectName(QStringLiteral("Picture1"));
    picture_->setAlignment(Qt::AlignCenter);
    QFont font = picture_->font();
    font.setPointSize(28);
    font.setBold(true);
    picture_->setFont(font);
    picture_->setMinimumSize(360, 120);

    animation_ = new AviPlayer(this);
    animation_->setObjectName(QStringLiteral("Animation1"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture_);
    layout->addWidget(animation_, 0, Qt::AlignHCenter);
    Form_Load();
}

void FRM_見出し::Form_Load() {
    if (animation_->Open(AppPath() + kSplashClipFileName)) animation_->Play();
}
