// ctest-labels: maintenance issueattr firsthour
// The merge tab's candidates show their codes, markets and names whole: the index codes
// 0301 and 0315 read as themselves, not both as "03…".
#include "issue_edit_window_fixture.h"
#include "support/grid_cells.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, IssueAttributes, testing::Values(TestEngine::Sqlite));

TEST_P(IssueAttributes, TheMergeCandidatesAreShownUncut) {
    // Row 5 is 1301; 17 the joined listing with two candidates on two markets.
    for (int row : {5, 17}) {
        ASSERT_NE(Open(row, row, 1), nullptr) << row;
        Press("CMD_検索");
        FlexGrid* candidates = Get<FlexGrid>("FGR_該当銘柄");
        ASSERT_GT(candidates->Rows(), 1) << row;
        EXPECT_EQ(CutCells(*candidates), std::vector<std::string>{}) << row;
        Press("CMD_cancel");
    }
}
