#pragma once
// The print dialog FRM_印刷: printer, paper size and feed, orientation, range and copies,
// shown with the saved print settings at every opening. OK asks, stores the choice in
// PrintJob (never in the saved settings) and prints what fits the view and the window
// that opened the dialog.
#include <QDialog>
#include <string>

class QComboBox;
class QLineEdit;
class QRadioButton;
class UpDownSpinner;

inline constexpr const char* kPrintDialogName = "FRM_印刷";
inline constexpr const char* kStartPrintSettingsQuestion = "以上の設定で印刷を開始しますか？";

// TXT_Count after a change: a text that is empty, not a whole number of 16 bits, or below
// 1 becomes "1"; any other stays as typed.
std::string CheckedCopiesText(const std::string& text);

class FRM_印刷 : public QDialog {
  public:
    explicit FRM_印刷(QWidget* parent = nullptr);
    ~FRM_印刷() override;

    void CMD_OK_Click();

  private:
    void BuildControls();
    void WireControls();
    void Load();
    void EnableRangeAndCopies();
    void StepCopies(int step);

    QComboBox* printer_ = nullptr;
    QComboBox* size_ = nullptr;
    QComboBox* feed_ = nullptr;
    QRadioButton* portrait_ = nullptr;
    QRadioButton* landscape_ = nullptr;
    QRadioButton* all_ = nullptr;
    QRadioButton* choice_ = nullptr;
    QLineEdit* count_ = nullptr;
    UpDownSpinner* spinner_ = nullptr;
};

// Shows FRM_印刷 modally over owner; it unloads when it closes.
void ShowPrintDialog(QWidget* owner);
