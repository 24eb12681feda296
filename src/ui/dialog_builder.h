#pragma once
// Building a settings dialog in code: tab pages, framed groups laid out on a grid, the
// controls inside them named after the settings they edit, and the OK, ｷｬﾝｾﾙ and 適用
// buttons below.
#include <QGridLayout>
#include <QGroupBox>
#include <QString>
#include <span>

class QBoxLayout;
class QComboBox;
class QDialog;
class QTabWidget;
class QVBoxLayout;
class QWidget;

inline QString Q(const char* text) {
    return QString::fromUtf8(text);
}

// A page of the tab control whose groups stack from the top.
QVBoxLayout* AddTab(QTabWidget* tabs, const char* caption);
// A framed group in a column of groups; its controls go on its grid.
QGroupBox* Frame(QBoxLayout* column, const char* name, const char* caption);
inline QGridLayout* Grid(QGroupBox* frame) {
    return static_cast<QGridLayout*>(frame->layout());
}

template <typename Button>
Button* AddButton(QGroupBox* frame, const char* name, const char* caption, int row, int col) {
    auto* button = new Button(Q(caption), frame);
    button->setObjectName(Q(name));
    Grid(frame)->addWidget(button, row, col);
    return button;
}

void AddLabel(QGroupBox* frame, const char* caption, int row, int col);
// A drop-down list with fixed entries.
QComboBox* AddList(QGroupBox* frame, const char* name, std::span<const char* const> items, int row,
                   int col);
// CMD_OK "OK" (the default button), CMD_cancel "ｷｬﾝｾﾙ" and CMD_適用 "適用(&A)", 1200 x 310
// twips each, right-aligned in a row under the dialog's contents.
void AddSettingsButtons(QDialog* dialog, QBoxLayout* layout);
// The same three buttons at their own places on a dialog laid out by position: one row
// at `top`, the first at `left`, each 1320 twips (a button and a gap) right of the last.
void PlaceSettingsButtons(QDialog* dialog, int leftTwips, int topTwips);
// Places control at a rectangle given in twips.
void PlaceAt(QWidget* control, int left, int top, int width, int height);
