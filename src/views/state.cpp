#include "views/state.h"

ViewState& Views() {
    static ViewState state;
    return state;
}

SelectionState& Selection() {
    static SelectionState state;
    return state;
}

ListServicesState& ListServices() {
    static ListServicesState state;
    return state;
}

void ResetViewsState() {
    Views() = ViewState{};
    Selection() = SelectionState{};
    ListServices() = ListServicesState{};
}
