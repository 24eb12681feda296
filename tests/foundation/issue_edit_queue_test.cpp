// ctest-labels: issuelist integrity
#include "foundation/error_texts.h"
#include "issue_edit_queue_cases.h"
#include "ui/grid_sort.h"

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
    QueueIssueEdit(9, 6, " ");
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

TEST_F(EditQueue, NumberFieldsTakeTheWholeNumbersTheirColumnsHold) {
    // 注目 (2) and 売買単位 (6) are 32-bit columns; 株価 (9), 出来高 (10), 上昇率 (11) and
    // the observation prices (27, 31) hold doubles: any finite number, rounded, bound as a
    // 64-bit whole number where one holds it.
    const struct {
        int32_t field;
        const char* value;
        FieldValue bound;
    } accepted[] = {
        {2, "2147483647", int64_t{2147483647}},
        {6, "-2147483648", int64_t{-2147483648}},
        {2, " 12.5 ", int64_t{13}},
        {9, "2147483648", int64_t{2147483648}},
        {10, "9,000,000,000,000,000,000", int64_t{9000000000000000000}},
        {9, "99999999999999999999", 1e20},
        {10, "-99999999999999999999", -1e20},
        {11, "9,300,000,000,000,000,000", 9.3e18},
        {27, "-0.4", int64_t{0}},
        {9, "", std::monostate{}},
        {10, "   ", std::monostate{}},
    };
    for (const auto& c : accepted) {
        const IssueUpdate update = RenderIssueUpdate({{c.field, 0, c.value}}, "X");
        EXPECT_EQ(update.Parameters.front(), c.bound) << c.field << " " << c.value;
    }

    const std::string infinite(310, '9');
    const struct {
        int32_t field;
        std::string value;
        const char* error;
    } refused[] = {
        {9, "abc", kErrTypeMismatch},     {9, "-1e5", kErrTypeMismatch},
        {31, "1e5", kErrTypeMismatch},    {10, infinite, kErrTypeMismatch},
        {2, "2147483648", kErrOverflow},  {6, "2147483647.5", kErrOverflow},
        {2, "-2147483649", kErrOverflow},
    };
    for (const auto& c : refused) {
        const std::vector<IssueEdit> queue = {{1, 0, "kept"}, {c.field, 0, c.value}};
        try {
            RenderIssueUpdate(queue, "X");
            ADD_FAILURE() << c.field << " " << c.value << " was taken";
        } catch (const std::exception& error) {
            EXPECT_STREQ(error.what(), c.error) << c.field << " " << c.value;
        }
        EXPECT_FALSE(MakeIssueUpdateSql(queue, "X")) << c.field << " " << c.value;
    }
}

TEST_F(EditQueue, GridValuesTakeTheListsConversions) {
    struct Case {
        IssueEdit edit;
        const char* issueId;
        const char* shown;
    } cases[] = {
        {{9, 6, "12345"}, "0301100", "123"},
        {{9, 6, "1234"}, "0315100", "123"},
        {{9, 6, "1234.4"}, "1301211", "1234"},
        {{8, 7, "-25"}, "0315100", "-2"},
        {{8, 7, "－"}, "1301211", "－"},
        {{11, 11, "12.5"}, "1301211", "13"},
        {{16, 10, "20240105"}, "1301211", ""},
        {{16, 10, "2024/01/05"}, "1301211", "2024/01/05"},
        {{1, 4, "  名前  "}, "1301211", "名前"},
        {{9, 6, "99999999999999999999"}, "1301211", "100000000000000000000"},
        {{8, 7, "-99999999999999999999"}, "1301211", "-100000000000000000000"},
        {{9, 6, "99999999999999999999"}, "0301100", "1000000000000000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GridValueOf(c.edit, c.issueId), c.shown) << c.edit.Value << " " << c.issueId;
    EXPECT_THROW(GridValueOf({9, 6, "abc"}, "1301211"), std::invalid_argument);
    EXPECT_THROW(GridValueOf({9, 6, std::string(310, '9')}, "1301211"), std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, IssueListTest, testing::Values(TestEngine::Sqlite));
