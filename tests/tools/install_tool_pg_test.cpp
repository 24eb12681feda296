// ctest-labels: tools pg
#include "install_tool_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, InstallTool, testing::Values(TestEngine::Postgres));
