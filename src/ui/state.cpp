#include "ui/state.h"

ChildWindowState& ChildWindows() {
    static ChildWindowState state;
    return state;
}

GridWheelState& GridWheel() {
    static GridWheelState state;
    return state;
}

ProgressState& Progress() {
    static ProgressState state;
    return state;
}

void ResetUiState() {
    ChildWindows() = ChildWindowState{};
    GridWheel() = GridWheelState{};
    Progress() = ProgressState{};
}
