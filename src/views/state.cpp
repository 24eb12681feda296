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

IssueSearchState& IssueSearch() {
    static IssueSearchState state;
    return state;
}

ChartViewHooks& ChartViews() {
    static ChartViewHooks state;
    return state;
}

void ResetViewsState() {
    IssueSearch() = IssueSearchState{};
    ChartViews() = ChartViewHooks{};
    Views() = ViewState{};
    Selection() = SelectionState{};
    ListServices() = ListServicesState{};
}
