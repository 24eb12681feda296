// ctest-labels: maintenance issuejobs pg integrity
#include "issue_deletion_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, IssueDeletion, testing::Values(TestEngine::Postgres));
