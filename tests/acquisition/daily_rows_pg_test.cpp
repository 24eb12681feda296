// ctest-labels: maildata pg
#include "acquisition/daily_rows_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, DailyRows, testing::Values(TestEngine::Postgres));
