// ctest-labels: screenquery pg
#include "search_query_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, SearchQueryTest, testing::Values(TestEngine::Postgres));
