#pragma once
// The kagi judgement dialog, FRM_鈎判設定: the variants of the kagi rules the user may
// choose, seven pairs of option buttons over the four rule families. OK saves and closes,
// 適用 saves and stays, ｷｬﾝｾﾙ closes without saving.
#include <QDialog>

class QTabWidget;

class FRM_鈎判設定 : public QDialog {
  public:
    explicit FRM_鈎判設定(QWidget* parent = nullptr);
    // The window's load: the choices into the buttons (all settings reset when they cannot
    // be shown) and the copy the opening view compares with.
    void Load();
    QTabWidget* Tabs() const { return tabs_; }

  private:
    void Build();
    void SaveChoices();

    QTabWidget* tabs_ = nullptr;
};

// Selects each option button as its KagiJudgeSettei field says. False, without a message,
// when a button is missing.
bool LoadKagiJudgeForm(QWidget& window);
// Stores each button's state into its field; a failure is shown and ends the copy.
void SaveKagiJudgeForm(QWidget& window);

// MNU_鈎足判定: the window shown modally over the active window.
void ShowKagiJudgeSettings();
