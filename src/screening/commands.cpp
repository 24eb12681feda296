#include "screening/commands.h"

#include "foundation/state.h"
#include "screening/search_query.h"

void InstallScreeningCommands() {
    IssueList().Sources.MakeSearchSql = [](ListTail& tail) { return MakeSearchSql(tail); };
}
