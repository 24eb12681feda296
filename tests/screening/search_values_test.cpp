// ctest-labels: screening issuesearch firsthour
// The issue search shows the codes, markets and names it found whole: the index codes 0301
// and 0315 read as themselves, not both as "03…".
#include "issue_search_fixture.h"
#include "support/grid_cells.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, IssueSearchTest, testing::Values(TestEngine::Sqlite));

TEST_P(IssueSearchTest, TheFoundIssuesAreShownUncut) {
    for (const char* code : {"03", "13", "99"}) {
        SearchCode(code);
        ASSERT_GT(Found().Rows(), 1) << code;
        EXPECT_EQ(CutCells(Found()), std::vector<std::string>{}) << code;
    }
    EXPECT_EQ(Rows(Found()), (std::vector<std::string>{"9901 西部市場一部", "9901 西部市場二部"}));
}
