#include "ui/cell_editor_keys.h"

#include <QApplication>
#include <QDateEdit>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "foundation/text_utils.h"
#include "platform/flex_grid.h"
#include "ui/dialog_keys.h"
#include "ui/input_boxes.h"

CellEditorKeys::CellEditorKeys(QWidget* window, FlexGrid* grid, QLineEdit* text, QDateEdit* date,
                               std::function<void()> commitText, std::function<void()> commitDate)
    : QObject(window),
      window_(window),
      grid_(grid),
      text_(text),
      date_(date),
      commitText_(std::move(commitText)),
      commitDate_(std::move(commitDate)) {
    text_->installEventFilter(this);
    date_->installEventFilter(this);
}

bool CellEditorKeys::eventFilter(QObject* watched, QEvent* event) {
    const bool text = watched == text_;
    if (!text && watched != date_) return false;
    if (event->type() == QEvent::FocusOut) {
        // The calendar or a context menu taking the focus is no end of the edit.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            if (text) {
                ++textCommits_;
                commitText_();
            } else {
                commitDate_();
            }
        }
        return false;
    }
    // A paste passes the filter that typing passes: the value entered is the whole number
    // the cell shows.
    if (text && (event->type() == QEvent::ContextMenu || event->type() == QEvent::Drop))
        return RefusesPaste(text_, NumericKeys::Digits, event);
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!text) return OnDateKey(key->key());
    if (key->matches(QKeySequence::Paste)) return RefusesPaste(text_, NumericKeys::Digits, event);
    if (OnTextKey(key->key())) return true;
    if (key->text().isEmpty()) return false;
    int code = static_cast<int>(key->text().at(0).unicode());
    FilterDigitKey(code);
    return code == 0;  // only digits and Backspace are typed
}

void CellEditorKeys::CommitTextByFocus() {
    const int before = textCommits_;
    grid_->setFocus();
    if (textCommits_ == before) commitText_();
}

bool CellEditorKeys::OnTextKey(int key) {
    switch (key) {
        case Qt::Key_Escape:
            text_->hide();
            EnableDialogKeys(window_);
            grid_->setFocus();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            CommitTextByFocus();
            return true;
        case Qt::Key_Down:
        case Qt::Key_Up: {
            CommitTextByFocus();
            QApplication::processEvents();
            if (text_->isVisible()) return true;  // refused: the editor stays
            const int row = grid_->Row();
            if (key == Qt::Key_Down && row < grid_->Rows() - 1) grid_->SetRow(row + 1);
            if (key == Qt::Key_Up && row > 1) grid_->SetRow(row - 1);
            return true;
        }
        default:
            return false;
    }
}

bool CellEditorKeys::OnDateKey(int key) {
    if (key != Qt::Key_Escape) return false;
    date_->hide();
    EnableDialogKeys(window_);
    grid_->setFocus();
    return true;
}
