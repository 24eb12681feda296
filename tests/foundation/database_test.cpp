// ctest-labels: db
#include "foundation/database_cases.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, DatabaseRoad, testing::Values(TestEngine::Sqlite));

TEST(CatalogNames, PriceCatalogsCarryTheDataSuffix) {
    EXPECT_EQ(PriceCatalogName("株価データ_日次"), "株価データ_日次_Data");
    EXPECT_EQ(PriceCatalogName("a.mdb.mdb"), "a_Data");
    EXPECT_EQ(CatalogConnectionString("P;", "x"), "P;Initial catalog=x;");
}

// SQLite keeps each price table in the order of its key, so an issue's bars are one run of
// pages and no second copy of the key sits in an index.
TEST(CatalogLayout, SqlitePriceTablesAreClusteredOnTheirKey) {
    MarketFixture market(TestEngine::Sqlite);
    KABUTO_REQUIRE_MARKET(market);
    const std::pair<const CatalogConnection*, const char*> tables[] = {
        {&Database().DailyConnection, kDailyTable},
        {&Database().WeeklyConnection, kWeeklyTable},
        {&Database().MonthlyConnection, kMonthlyTable},
    };
    for (const auto& [connection, table] : tables) {
        std::string statement = "SELECT sql FROM sqlite_master WHERE name = ?";
        RecordsetPtr rs;
        ASSERT_TRUE(ExecuteSql(*connection, statement, rs, {std::string(table)}));
        ASSERT_EQ(rs->RecordCount(), 1) << table;
        const std::string create = rs->Text(0);
        EXPECT_NE(create.find("PRIMARY KEY (銘柄ID, "), std::string::npos) << create;
        EXPECT_EQ(create.substr(create.size() - 14), " WITHOUT ROWID") << create;
        statement = "SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = ?";
        ASSERT_TRUE(ExecuteSql(*connection, statement, rs, {std::string(table)}));
        EXPECT_EQ(rs->Number(0), 0) << table;
    }
    // The split table keeps its row numbers: the clustering is for the price tables.
    std::string statement = "SELECT sql FROM sqlite_master WHERE name = ?";
    RecordsetPtr rs;
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs, {std::string(kSplitTable)}));
    EXPECT_EQ(rs->Text(0).find("WITHOUT ROWID"), std::string::npos);
}
