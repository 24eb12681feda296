#pragma once
// What the dialogs around a list grid share: controls placed by the twips of their layout,
// the list grid's look, the etched separator above the buttons, the window's frame.
#include <QString>

class FlexGrid;
class QDialog;
class QWidget;

QString Utf8(const char* text);

// control named (unless name is "") and placed at left, top, width, height in twips.
void PlaceWidget(QWidget* control, const char* name, int left, int top, int width, int height);
template <typename T>
T* PlaceControl(T* control, const char* name, int left, int top, int width, int height) {
    PlaceWidget(control, name, left, top, width, height);
    return control;
}

// Whole rows selected in cyan with black text on white, in "ＭＳ Ｐゴシック" 9 pt.
void StyleListGrid(FlexGrid& grid);
// The etched line across the window above its buttons.
void AddSeparator(QWidget* parent, int left, int top, int width);
// A modal dialog of a fixed client size in twips, named and captioned.
void SetUpListDialog(QDialog& dialog, const char* name, const char* caption, int width, int height);
