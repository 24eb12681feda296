// ctest-labels: manualanalysis pg integrity
#include "manual_analysis_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, ManualAnalysisTest, testing::Values(TestEngine::Postgres));
