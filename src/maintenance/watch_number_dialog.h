#pragma once
// The watch-number dialog FRM_注目: the number to give the issues selected in the list, or
// the issue a chart view shows. Its OK hands the number to the registration, which asks,
// writes and closes the dialog.
#include <QDialog>

class QLineEdit;

class FRM_注目 : public QDialog {
  public:
    explicit FRM_注目(QWidget* parent = nullptr);
    QLineEdit* NumberBox() const { return number_; }

  private:
    void OnOk();
    void Close();

    QLineEdit* number_ = nullptr;
};

// The number the dialog opens with: the 注目 cell of the list row of the issue in question
// (the first selected row, moved by CurrentIssuePos in a chart view), "1" when it is blank
// or the row is not a data row of the grid.
std::string InitialChuumokuNumber();
// Command 15 and 注目 > 指定: the dialog over the disabled main frame; in the list view only
// with a selection.
void ShowChuumokuDialog();
