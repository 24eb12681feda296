#pragma once
// The splash window FRM_見出し, shown while the start-up does its slow work.
#include <QWidget>

class AviPlayer;
class QLabel;

inline constexpr const char* kSplashClipFileName = "v5StMv.avi";

class FRM_見出し : public QWidget {
  public:
    explicit FRM_見出し(QWidget* parent = nullptr);

    QLabel* Picture1() const { return picture_; }
    AviPlayer* Animation1() const { return animation_; }

  private:
    // Plays the start-up clip from the program's folder, repeating until the window
    // closes; without the clip the window shows without animation.
    void Form_Load();

    QLabel* picture_ = nullptr;
    AviPlayer* animation_ = nullptr;
};
