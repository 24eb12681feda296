#include "screening/commands.h"

#include "foundation/state.h"
#include "screening/compound_search_window.h"
#include "screening/issue_search_window.h"
#include "screening/kagi_judge_window.h"
#include "screening/manual_analysis_window.h"
#include "screening/observation_command.h"
#include "screening/search_query.h"
#include "screening/user_settings_window.h"
#include "views/issue_search_commands.h"
#include "views/state.h"

void InstallScreeningCommands() {
    IssueList().Sources.MakeSearchSql = [](ListTail& tail) { return MakeSearchSql(tail); };
    SelectionRoutines& routines = Selection().Routines;
    routines.ShowCompoundSearch = ShowCompoundSearch;
    routines.ShowUserSettings = ShowUserSettings;
    routines.ShowKagiJudgeSettings = ShowKagiJudgeSettings;
    routines.RunObservation = [] { RunObservation(); };
    routines.ShowManualAnalysis = ShowManualAnalysis;
    routines.SearchByCode = [] { SearchByCode(); };
    routines.SearchByName = [] { SearchByName(); };
    IssueSearchState& search = IssueSearch();
    search.SearchWindow = [] { return static_cast<QWidget*>(&IssueSearchWindow()); };
    search.ShowSearchWindow = [] { ShowIssueSearchWindow(); };
    UseIssueSearchTexts();
}
