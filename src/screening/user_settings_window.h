#pragma once
// The user settings dialog, FRM_ユーザ設定: the user's working options of UserSettei, the
// four display counts of the next start and the saved sign-in, on four tabs. The turn
// analysis tabs are shown but cannot be brought forward; their options load and save with
// the rest. OK saves and closes, 適用 saves and stays, ｷｬﾝｾﾙ closes without saving.
#include <QDialog>

class QTabWidget;

class FRM_ユーザ設定 : public QDialog {
  public:
    explicit FRM_ユーザ設定(QWidget* parent = nullptr);
    // The window's load: the settings into the controls (all settings reset when they
    // cannot be shown), the enable states, and the copy the opening view compares with.
    void Load();
    QTabWidget* Tabs() const { return tabs_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Build();
    void BindControls();
    void OnScopeOption(bool everything);
    void SaveSettings();
    void OnApply();
    void OnOk();

    QTabWidget* tabs_ = nullptr;
};

// Copies UserSettei and the sign-in pair into the window's controls, found by name. False,
// without a message, at the first value a control would not hold.
bool LoadUserForm(QWidget& window);
// Copies the controls back in the same order; a failure is shown and ends the copy.
void SaveUserForm(QWidget& window);

// MNU_ユーザ設定: the window shown modally over the active window.
void ShowUserSettings();
