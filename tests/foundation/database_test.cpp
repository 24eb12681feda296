// ctest-labels: db
#include <sqlite3.h>

#include <filesystem>

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

// Statements with bound values stay prepared between runs; they must hold no lock while
// they wait, see a table changed under them, and let their connection close.
TEST(KeptStatements, HoldNoLockFollowTheSchemaAndLetTheCatalogClose) {
    MarketFixture market(TestEngine::Sqlite);
    KABUTO_REQUIRE_MARKET(market);
    const std::string file = market.Path() + PriceCatalogName(kDailyCatalog) + ".sqlite3";
    std::string read = "SELECT COUNT(*) FROM TBL分割係数 WHERE 銘柄ID = ?";
    NumberRows rows;
    ASSERT_TRUE(ExecuteNumberSql(Database().DailyConnection, read, rows, {std::string("x")}));

    // Another connection writes at once, without waiting for a lock.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other,
                           "ALTER TABLE TBL分割係数 ADD COLUMN 備考 TEXT; "
                           "INSERT INTO TBL分割係数 (銘柄ID, 日付, 分割係数) VALUES ('x', 1, 2)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(other);
    sqlite3_close(other);
    ASSERT_TRUE(ExecuteNumberSql(Database().DailyConnection, read, rows, {std::string("x")}));
    EXPECT_EQ(rows.Number(0, 0), 1);

    // Closed with its kept statements, the catalog leaves no handle on the file.
    ClosePriceDatabases();
    const auto openHandles = [&file] {
        int count = 0;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            if (std::filesystem::read_symlink(fd.path(), error) == file) ++count;
        }
        return count;
    };
    EXPECT_EQ(openHandles(), 0);
}
