#include "screening/commands.h"

#include "foundation/state.h"
#include "screening/compound_search_window.h"
#include "screening/search_query.h"
#include "views/state.h"

void InstallScreeningCommands() {
    IssueList().Sources.MakeSearchSql = [](ListTail& tail) { return MakeSearchSql(tail); };
    Selection().Routines.ShowCompoundSearch = ShowCompoundSearch;
}
