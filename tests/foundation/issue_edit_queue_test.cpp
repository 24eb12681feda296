// ctest-labels: issuelist
#include "ui/grid_sort.h"
#include "issue_edit_queue_cases.h"

namespace {

class EditQueue : public ListModulesTest {};

}  // namespace

TEST_F(EditQueue, QueuedEditsBecomeOneBoundUpdate) {
    ClearEditQueue();
    QueueIssueEdit(2, 3, "12");
    QueueIssueEdit(13, 16, "it's");
    QueueIssueEdit(7, 0, "2024/02/30");
    QueueIssueEdit(14, 0, "2024/01/05");
    QueueIssueEdit(8, 7, "－");
    QueueIssueEdit(8, 7, " -25 ");
    QueueIssueEdit(21, 13, "○");
    QueueIssueEdit(25, 14, "  ");
    QueueIssueEdit(11, 11, "12.5");
    QueueIssueEdit(10, 0, "");
    QueueIssueEdit(9, 6, "abc");
    const IssueUpdate update = RenderIssueUpdate(IssueEdits().EditQueue, "X");
    EXPECT_EQ(update.Statement,
              "UPDATE TBL銘柄属性 SET 注目 = ? , メモ = ? , 最終日 = ? , 法則日 = ? , 前日比 = ? , "
              "前日比 = ? , 斜線W = ? , 関門W = ? , 上昇率 = ? , 出来高 = ? , 株価 = ? WHERE "
              "(銘柄ID = ?)");
    const std::vector<FieldValue> expected = {
        int64_t{12},       std::string("it's"), std::monostate{},
        int64_t{20240105}, std::monostate{},    -25.0,
        int64_t{1},        int64_t{0},          int64_t{13},
        std::monostate{},  std::monostate{},    std::string("X")};
    EXPECT_EQ(update.Parameters, expected);

    EXPECT_THROW(RenderIssueUpdate({}, "X"), std::invalid_argument);
    EXPECT_THROW(RenderIssueUpdate({{35, 0, "1"}}, "X"), std::out_of_range);
    EXPECT_FALSE(MakeIssueUpdateSql({}, "X"));
}

TEST_F(EditQueue, GridValuesTakeTheListsConversions) {
    struct Case {
        IssueEdit edit;
        const char* issueId;
        const char* shown;
    } cases[] = {
        {{9, 6, "12345"}, "0301100", "123"},     {{9, 6, "1234"}, "0315100", "123"},
        {{9, 6, "1234.4"}, "1301211", "1234"},   {{8, 7, "-25"}, "0315100", "-2"},
        {{8, 7, "－"}, "1301211", "－"},         {{11, 11, "12.5"}, "1301211", "13"},
        {{16, 10, "20240105"}, "1301211", ""},   {{16, 10, "2024/01/05"}, "1301211", "2024/01/05"},
        {{1, 4, "  名前  "}, "1301211", "名前"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GridValueOf(c.edit, c.issueId), c.shown) << c.edit.Value << " " << c.issueId;
    EXPECT_THROW(GridValueOf({9, 6, "abc"}, "1301211"), std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, IssueListTest, testing::Values(TestEngine::Sqlite));
