// ctest-labels: datatable pg
#include "data_table_save_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, DataTableTest, testing::Values(TestEngine::Postgres));
