// ctest-labels: datatable pg integrity
#include "data_table_save_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, DataTableTest, testing::Values(TestEngine::Postgres));
