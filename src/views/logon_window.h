#pragma once
// The sign-in window: asks for the user ID and password when no pair is saved, and after
// an invalid sign-in.
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

class FRM_Logon : public QDialog {
  public:
    explicit FRM_Logon(QWidget* parent = nullptr);
    // True when the window was left with ｷｬﾝｾﾙ.
    bool Cancelled() const { return cancelled_; }

  private:
    void OnOk();
    void OnCancel();

    QLineEdit* uid_;
    QLineEdit* upw_;
    QCheckBox* savePw_;
    bool cancelled_ = false;
};

// Shown modally by start-up when no sign-in pair is saved.
void ShowLogonWindowModal();
// Shown without waiting after an invalid ID or password; the window deletes itself.
void ShowLogonWindowModeless();
// Without a saved user ID and password, the sign-in window asks for them: a saved ID
// alone (an empty password saved once) would otherwise end every later start. The values
// typed there are used for this run whether or not the window saved them.
void AskForSignIn();
