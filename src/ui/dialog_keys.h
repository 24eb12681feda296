#pragma once
// Enter and Esc of a dialog with an in-grid editor. While the editor (TXT_Edit or DPC_Edit
// laid over a cell) is open, Enter and Esc belong to it: the window's CMD_OK stops being
// the default button and Esc stops clicking CMD_cancel. Every window is passed in and its
// controls are found by name.
class QAction;
class QWidget;

inline constexpr const char* kEscActionName = "ACT_Esc";

// CMD_OK the default button, Esc clicks CMD_cancel.
void EnableDialogKeys(QWidget* window);
// Neither: Enter and Esc go to the control with the focus and stop there.
void DisableDialogKeys(QWidget* window);
// Both editors hidden, whichever was open, then the keys back to the window.
void EndGridEdit(QWidget* window);

// The window's Esc action, made on first use: while enabled, Esc clicks CMD_cancel.
QAction* EscAction(QWidget& window);
