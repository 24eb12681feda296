// ctest-labels: db integrity
#include "foundation/transaction_guard_cases.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, TransactionGuardTest, testing::Values(TestEngine::Sqlite));
