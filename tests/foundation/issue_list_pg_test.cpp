// ctest-labels: issuelist integrity pg
#include <QScopeGuard>

#include "issue_edit_queue_cases.h"
#include "issue_list_cases.h"
#include "selection_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, IssueListTest, testing::Values(TestEngine::Postgres));

// A server that reads backslashes in quoted texts as escapes (the catalog set so): the
// connection turns standard quoting back on, so that "\'" typed into a search, or
// reaching a text still pasted between quotes, ends no text early.
TEST_P(IssueListTest, ABackslashQuoteEndsNoTextOnAServerThatEscapes) {
    const std::string server = CatalogConnectionString(market_->Prefix(), "postgres");
    const std::string alter = "ALTER DATABASE \"" + PriceCatalogName(kDailyCatalog) + "\" ";
    std::string error;
    ASSERT_TRUE(
        RunCatalogSql(server, alter + "SET standard_conforming_strings = off", {}, nullptr, error))
        << error;
    const auto reset = qScopeGuard([&] {
        std::string ignored;
        RunCatalogSql(server, alter + "RESET standard_conforming_strings", {}, nullptr, ignored);
    });
    // A new session reads the catalog's setting.
    ClosePriceDatabases();
    ASSERT_TRUE(OpenPriceDatabases());
    EXPECT_EQ(Daily("SHOW standard_conforming_strings")->Text(0), "on");

    const std::string hostile = "\\' OR 1=1 --";
    IssueList().Sources.SearchNameText = [&] { return hostile; };
    TextStores().ChuumokuText = hostile + "\t1\r\n";
    for (const int mode : {kListByName, kListWatched}) {
        RecordsetPtr found;
        ASSERT_TRUE(QueryIssueList(mode, found)) << mode;
        EXPECT_EQ(found->RecordCount(), 0) << mode;
    }
    EXPECT_EQ(Daily(MakeIssueAttrSql(MakeWhereId(hostile)))->RecordCount(), 0);
}
