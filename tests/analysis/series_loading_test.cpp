// ctest-labels: series
#include "analysis/series_loading_cases.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, SeriesLoads, testing::Values(TestEngine::Sqlite));
