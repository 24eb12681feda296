// ctest-labels: series pg
#include "analysis/series_loading_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, SeriesLoads, testing::Values(TestEngine::Postgres));
