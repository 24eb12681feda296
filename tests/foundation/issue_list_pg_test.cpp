// ctest-labels: issuelist pg
#include "issue_edit_queue_cases.h"
#include "issue_list_cases.h"
#include "selection_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, IssueListTest, testing::Values(TestEngine::Postgres));
