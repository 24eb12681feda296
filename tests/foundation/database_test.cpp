// ctest-labels: db
#include "foundation/database_cases.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, DatabaseRoad, testing::Values(TestEngine::Sqlite));

TEST(CatalogNames, PriceCatalogsCarryTheDataSuffix) {
    EXPECT_EQ(PriceCatalogName("株価データ_日次"), "株価データ_日次_Data");
    EXPECT_EQ(PriceCatalogName("a.mdb.mdb"), "a_Data");
    EXPECT_EQ(CatalogConnectionString("P;", "x"), "P;Initial catalog=x;");
}
