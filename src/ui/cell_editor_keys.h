#pragma once
// The keys and the focus of the two in-grid editors of an editing window (the data table,
// the portfolio): TXT_Edit for numbers and DPC_Edit for dates, laid over a grid cell.
// Either editor commits when it loses the focus, except to its own calendar or menu. Esc
// drops the edit; Enter, Up and Down of the text editor give the focus back to the grid,
// which commits, and the arrows then move the current row. The text editor takes digits
// and Backspace only, typed, pasted or dropped.
#include <QObject>
#include <functional>

class FlexGrid;
class QDateEdit;
class QLineEdit;
class QWidget;

class CellEditorKeys : public QObject {
  public:
    // Watches both editors; the commits are the window's own procedures.
    CellEditorKeys(QWidget* window, FlexGrid* grid, QLineEdit* text, QDateEdit* date,
                   std::function<void()> commitText, std::function<void()> commitDate);

    // The text editor's commit through the grid taking the focus. A window that is not
    // active gets no focus events, so the commit is then called here.
    void CommitTextByFocus();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool OnTextKey(int key);
    bool OnDateKey(int key);

    QWidget* window_;
    FlexGrid* grid_;
    QLineEdit* text_;
    QDateEdit* date_;
    std::function<void()> commitText_;
    std::function<void()> commitDate_;
    int textCommits_ = 0;  // commits begun by a lost focus, to tell if one ran
};
