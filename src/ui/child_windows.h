#pragma once
// Child dialogs of the main frame: while one is open its owner takes no input, and the
// dialog that changed the data ends by reloading the issue list.
//
// The owner is not disabled: Qt disables a window together with its disabled parent, so
// the child is given window modality over its owner instead, which the user sees the same.
#include <functional>

#include "ui/state.h"

class QWidget;

// Shows child as a window of owner that blocks input to it until CloseChildEnable.
void ShowChildDisabled(QWidget* owner, QWidget* child);
// Gives owner its input back and unloads child (closed and deleted later: a child is a
// heap object the caller no longer uses after this call).
void CloseChildEnable(QWidget* owner, QWidget* child);
// Ends a child dialog: hourglass, the selection cleared, the list reloaded when refresh
// is -1, the child unloaded and the owner enabled, the pointer restored. Owner and
// pointer are restored on every way out, a failing step included.
void FinishChildDialog(int refresh, QWidget* owner, QWidget* child);
// Reloads the issue list with all issues and selects them; a failure is reported.
void ClearStatusAndRefresh();

// True while child was unloaded by CloseChildEnable and waits for its deletion.
bool IsUnloaded(const QWidget* child);
