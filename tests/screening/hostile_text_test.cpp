// ctest-labels: screenquery faults
#include "hostile_text_cases.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, HostileTextTest, testing::Values(TestEngine::Sqlite));
