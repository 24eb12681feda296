// ctest-labels: db pg
#include "foundation/database_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, DatabaseRoad, testing::Values(TestEngine::Postgres));
