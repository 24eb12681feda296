// ctest-labels: screenquery faults pg
#include "hostile_text_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, HostileTextTest, testing::Values(TestEngine::Postgres));
