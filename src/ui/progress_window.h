#pragma once
// The progress window FRM_処理中 shared by every long job, its counters and the
// screen-wide busy pointer.
//
// A job: cancel caption and both texts (SetProgressTexts), StartProgressShow(items, owner,
// the window); per item the work, StepProgress(kind), events run, stop when
// CancelRequested is -1; then EndProgress and FinishChildDialog.
#include <QWidget>
#include <cstdint>
#include <string>

#include "ui/state.h"

class AviPlayer;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

// The bar's step and maximum for a job of total items.
int32_t ProgressStepFor(int32_t total);
int32_t ProgressMaxFor(int32_t total);
// The bar's value after count items with the given step, never above max.
int32_t ProgressValueFor(int32_t count, int32_t step, int32_t max);
// The second status line after n items of a job of this kind.
std::string ProgressKindText(int kind, int32_t n);

class FRM_処理中 : public QWidget {
  public:
    explicit FRM_処理中(QWidget* parent = nullptr);
    // Hourglass on everything but the cancel button; bar disabled at 0; texts emptied.
    void ResetProgress();

    QLabel* Status1() const { return lblStatus1_; }
    QLabel* Status2() const { return lblStatus2_; }
    QProgressBar* Bar() const { return bar_; }
    QPushButton* CancelButton() const { return cancel_; }
    AviPlayer* Animation() const { return animation_; }

  protected:
    // The window goes only when the job unloads it, never by the title bar.
    void closeEvent(QCloseEvent* event) override;

  private:
    void AskCancel();

    QLabel* lblStatus1_ = nullptr;
    QLabel* lblStatus2_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
    AviPlayer* animation_ = nullptr;
    QGroupBox* frame_ = nullptr;
    QLabel* picture_ = nullptr;
};

// The one progress window, loaded on first use and again after each unload.
FRM_処理中& ProgressWindow();

void SetProgressText(int line, const std::string& text);
void SetProgressTexts(const std::string& text1, const std::string& text2);
void StartProgress(int32_t total);
void StepProgress(int kind);
void EndProgress();
void StartProgressShow(int32_t total, QWidget* owner, QWidget* progressWindow);
