// ctest-labels: db integrity pg
#include "foundation/transaction_guard_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, TransactionGuardTest, testing::Values(TestEngine::Postgres));
