#include "foundation/state.h"

#include <QPainter>
#include <QPrinter>

DatabaseState& Database() {
    static DatabaseState state;
    return state;
}

SetteiState& Settei() {
    static SetteiState state;
    return state;
}

SigninState& Signin() {
    static SigninState state;
    return state;
}

TextStoreState& TextStores() {
    static TextStoreState state;
    return state;
}

TextDataState& TextData() {
    static TextDataState state;
    return state;
}

IssueListState& IssueList() {
    static IssueListState state;
    return state;
}

IssueSelectionState& IssueSelection() {
    static IssueSelectionState state;
    return state;
}

IssueEditState& IssueEdits() {
    static IssueEditState state;
    return state;
}

PrinterSetupState& PrinterSetup() {
    static PrinterSetupState state;
    return state;
}

void ResetFoundationState() {
    ResetDatabase();
    Settei() = SetteiState{};
    Signin() = SigninState{};
    TextStores() = TextStoreState{};
    TextData() = TextDataState{};
    IssueList() = IssueListState{};
    IssueSelection() = IssueSelectionState{};
    IssueEdits() = IssueEditState{};
    PrinterSetup() = PrinterSetupState{};
}
