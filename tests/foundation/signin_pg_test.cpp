// ctest-labels: signin pg
#include "foundation/signin_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, SigninRule, testing::Values(TestEngine::Postgres));
