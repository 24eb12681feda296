#pragma once
// The shared records of the widget helpers, one owner for them all: the child dialogs'
// list steps, the wheel scrolling of the list grids and the progress counters. Each record
// lives for the whole run; ResetUiState gives every one of them the values of a fresh start.
#include <cstdint>
#include <functional>
#include <string>

// The two steps of ending a dialog that belong to the issue list. The issue list sets
// them when it is built; unset, they do nothing. A step reports a failure by throwing.
struct ChildWindowState {
    std::function<void()> ClearSelectedRows;
    // Panel 2 of the status bar emptied, the list reloaded with all issues, all selected.
    std::function<void()> RefreshIssueList;
};

ChildWindowState& ChildWindows();

struct GridWheelState {
    // The list window last loaded ("" when none but the selection window is open);
    // the print dispatch reads it.
    std::string CurrentFormName;
    // -1 when the data table's text editor refused the typed value, else 0.
    int16_t EditRejected = 0;
    // Set while one wheel step runs: a commit procedure may open a message box, and a
    // wheel turn during it must not scroll the list under the box.
    bool WheelBusy = false;
};

GridWheelState& GridWheel();

struct ProgressState {
    // -1 once the user confirmed the cancel; 0 when the window loads and a job starts.
    // The sign-in window uses the same flag for its own cancel button.
    int32_t CancelRequested = 0;
    int32_t ProgressCount = 0;  // items counted since the last StartProgress
    int32_t Step = 1;           // items per visible update
    int32_t NextMark = 0;       // the count at which the next update is due
};

ProgressState& Progress();

// Every record above as a fresh run has it.
void ResetUiState();
