#include "ui/progress_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "foundation/trap.h"
#include "platform/app_path.h"
#include "platform/avi_player.h"
#include "platform/message_box.h"
#include "ui/child_windows.h"

namespace {

struct KindText {
    int kind;
    bool withCount;
    const char* text;
};

constexpr KindText kKindTexts[] = {
    {3, true, "銘柄削除しました"},
    {4, false, "ﾒｰﾙﾃﾞｰﾀより更新しています"},
    {5, true, "銘柄追加しました"},
    {6, true, "銘柄の注目指定を登録しました"},
    {7, true, "銘柄の注目指定を取消しました"},
};

// count / step written with the pattern "0": halves away from zero.
int32_t RoundedRatio(int32_t count, int32_t step) {
    return static_cast<int32_t>(std::floor(static_cast<double>(count) / step + 0.5));
}

QPointer<FRM_処理中>& Instance() {
    static QPointer<FRM_処理中> instance;
    return instance;
}

}  // namespace

int32_t ProgressStepFor(int32_t total) {
    if (total < 50) return 1;
    if (total < 100) return 5;
    if (total < 500) return 10;
    if (total < 1000) return 50;
    return 100;
}

int32_t ProgressMaxFor(int32_t total) {
    total = std::max(total, 0);
    return RoundedRatio(total, ProgressStepFor(total)) + 1;
}

int32_t ProgressValueFor(int32_t count, int32_t step, int32_t max) {
    return std::min(RoundedRatio(count, step) + 1, max);
}

std::string ProgressKindText(int kind, int32_t n) {
    for (const KindText& entry : kKindTexts) {
        if (entry.kind != kind) continue;
        return entry.withCount ? std::to_string(n) + entry.text : std::string(entry.text);
    }
    return {};
}

FRM_処理中::FRM_処理中(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("FRM_処理中"));
    setWindowTitle(QStringLiteral("処理中..."));

    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("Picture1"));
    animation_ = new AviPlayer(this);
    animation_->setObjectName(QStringLiteral("Animation1"));
    animation_->setMinimumSize(48, 48);

    frame_ = new QGroupBox(QStringLiteral("状況..."), this);
    frame_->setObjectName(QStringLiteral("FRM_状況"));
    lblStatus1_ = new QLabel(frame_);
    lblStatus1_->setObjectName(QStringLiteral("LBL_状況1"));
    lblStatus2_ = new QLabel(frame_);
    lblStatus2_->setObjectName(QStringLiteral("LBL_状況2"));
    auto* frameLayout = new QVBoxLayout(frame_);
    frameLayout->addWidget(lblStatus1_);
    frameLayout->addWidget(lblStatus2_);

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("PRG_Bar"));
    bar_->setTextVisible(false);

    cancel_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel_->setObjectName(QStringLiteral("CMD_cancel"));
    QObject::connect(cancel_, &QPushButton::clicked, this, [this] { AskCancel(); });

    auto* top = new QHBoxLayout;
    top->addWidget(picture_);
    top->addWidget(animation_);
    top->addWidget(frame_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    resize(420, 170);

    // Loading the window starts a fresh job state.
    Progress().CancelRequested = 0;
    ResetProgress();
    if (animation_->Open(AppPath() + "v5Wait.avi")) animation_->Play();
}

void FRM_処理中::ResetProgress() {
    // The arrow over the cancel button shows the user the one thing that still responds.
    for (QWidget* busy : {static_cast<QWidget*>(this), static_cast<QWidget*>(picture_),
                          static_cast<QWidget*>(frame_), static_cast<QWidget*>(lblStatus1_),
                          static_cast<QWidget*>(lblStatus2_), static_cast<QWidget*>(bar_)}) {
        busy->setCursor(Qt::WaitCursor);
    }
    cancel_->setCursor(Qt::ArrowCursor);
    bar_->setEnabled(false);
    bar_->setMinimum(0);
    bar_->setValue(0);
    lblStatus1_->clear();
    lblStatus2_->clear();
}

void FRM_処理中::AskCancel() {
    if (MsgOkCancel("処理を中断しますか？") == kAnswerOk) Progress().CancelRequested = -1;
}

void FRM_処理中::closeEvent(QCloseEvent* event) {
    if (!IsUnloaded(this)) event->ignore();
}

FRM_処理中& ProgressWindow() {
    QPointer<FRM_処理中>& instance = Instance();
    if (!instance || IsUnloaded(instance)) instance = new FRM_処理中;
    return *instance;
}

void SetProgressText(int line, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (line == 1) ProgressWindow().Status1()->setText(shown);
    if (line == 2) ProgressWindow().Status2()->setText(shown);
    QCoreApplication::processEvents();
}

void SetProgressTexts(const std::string& text1, const std::string& text2) {
    ProgressWindow().Status1()->setText(QString::fromStdString(text1));
    ProgressWindow().Status2()->setText(QString::fromStdString(text2));
    QCoreApplication::processEvents();
}

void StartProgress(int32_t total) {
    RunTrapped([total] {
        ProgressState& state = Progress();
        // A cancel left over from an earlier job must not stop this one.
        state.CancelRequested = 0;
        state.ProgressCount = 0;
        state.NextMark = 0;
        state.Step = ProgressStepFor(total);
        QProgressBar* bar = ProgressWindow().Bar();
        bar->setMaximum(ProgressMaxFor(total));
        bar->setValue(1);
        QCoreApplication::processEvents();
        state.NextMark = state.Step;
    });
}

void StepProgress(int kind) {
    RunTrapped([kind] {
        ProgressState& state = Progress();
        ++state.ProgressCount;
        if (state.ProgressCount != state.NextMark) return;
        SetProgressText(2, ProgressKindText(kind, state.ProgressCount));
        QProgressBar* bar = ProgressWindow().Bar();
        bar->setValue(ProgressValueFor(state.ProgressCount, state.Step, bar->maximum()));
        state.NextMark = state.ProgressCount + state.Step;
    });
}

void EndProgress() {
    QProgressBar* bar = ProgressWindow().Bar();
    if (bar->value() == bar->maximum()) return;
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
}

void StartProgressShow(int32_t total, QWidget* owner, QWidget* progressWindow) {
    StartProgress(total);
    ShowChildDisabled(owner, progressWindow);
}
