// ctest-labels: issuesearch pg
#include "issue_search_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, IssueSearchTest, testing::Values(TestEngine::Postgres));
