#pragma once
// The sign-in window: asks for the user ID and password when none is saved, and after an
// invalid sign-in.
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

// Shown modally by start-up when no user ID is saved.
void ShowLogonWindowModal();
// Shown without waiting after an invalid ID or password; the window deletes itself.
void ShowLogonWindowModeless();
// Without a saved user ID, the sign-in window asks for one. The values typed there are
// used for this run whether or not the window saved them.
void AskForSignIn();
