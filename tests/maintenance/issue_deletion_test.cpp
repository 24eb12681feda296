// ctest-labels: maintenance issuejobs integrity
#include "issue_deletion_cases.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, IssueDeletion, testing::Values(TestEngine::Sqlite));
