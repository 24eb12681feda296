#include "screening/commands.h"

#include "screening/issue_search_window.h"
#include "screening/observation_command.h"
#include "views/issue_search_commands.h"
#include "views/state.h"

void InstallScreeningCommands() {
    SelectionRoutines& routines = Selection().Routines;
    routines.RunObservation = [] { RunObservation(); };
    routines.SearchByCode = [] { SearchByCode(); };
    routines.SearchByName = [] { SearchByName(); };
    IssueSearchState& search = IssueSearch();
    search.SearchWindow = [] { return static_cast<QWidget*>(&IssueSearchWindow()); };
    search.ShowSearchWindow = [] { ShowIssueSearchWindow(); };
    UseIssueSearchTexts();
}
