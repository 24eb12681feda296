// ctest-labels: maildata
#include "acquisition/daily_rows_cases.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, DailyRows, testing::Values(TestEngine::Sqlite));
