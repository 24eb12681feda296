// ctest-labels: maintenance issueattr pg
#include "issue_edit_window_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, IssueAttributes, testing::Values(TestEngine::Postgres));
