// ctest-labels: issuelist
#include <QAbstractButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>
#include <limits>

#include "foundation/sql_builders.h"
#include "issue_list_cases.h"

namespace {

constexpr const char* kOrder = " ORDER BY 証券コード,表示順";

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        cells.push_back(line.substr(start, tab - start));
    cells.push_back(line.substr(start));
    return cells;
}

// A record of the attribute query: 39 Null fields with the given ones set.
std::vector<FieldValue> Record(std::initializer_list<std::pair<int, FieldValue>> fields) {
    std::vector<FieldValue> record(39);
    for (const auto& [index, value] : fields) record[index] = value;
    return record;
}

class ListTails : public ListModulesTest {};

}  // namespace

TEST_F(ListTails, ModesWithoutSearchWindows) {
    EXPECT_EQ(MakeListSql(1).Text, kOrder);
    for (int16_t save : {0, 2}) {
        Settei().Record.SearchSettei.CHK_Save = save;
        EXPECT_EQ(MakeListSql(2).Text, kOrder) << save;
    }
    for (int mode : {0, -1, 11}) EXPECT_EQ(MakeListSql(mode).Text, "") << mode;
    // No grid registered: nothing is selected, the rule test alone.
    EXPECT_EQ(MakeListSql(6).Text, " WHERE  順次法則 <> \"\"" + std::string(kOrder));
    EXPECT_EQ(MakeListSql(7).Text, " WHERE  逆次法則 <> \"\"" + std::string(kOrder));
    for (int mode : {0, 1, 2, 6, 7, 11}) EXPECT_TRUE(MakeListSql(mode).Parameters.empty()) << mode;
    EXPECT_EQ(MakeWhereId("1301211"), " WHERE 銘柄ID='1301211'");
    EXPECT_EQ(MakeOrderBy("日付"), " ORDER BY 日付");
}

TEST_F(ListTails, WatchedIssuesComeFromEveryStoreLineWithAnId) {
    struct Case {
        const char* store;
        const char* list;
    } cases[] = {
        {"", ""},
        {"1301211\t5\r\n1302212\t\r\n", "'1301211','1302212',"},
        {"no tab here\r\n\t7\r\n1303213\t1\r\n", "'1303213',"},
        {"1301211\t5\r\n1302212\t3", "'1301211',"},  // the piece after the last CR LF
        {"O'Neil\t1\r\n", ""},                       // no issue ID: seven ASCII letters or digits
        {"1301211\t1\r\n130121\t1\r\n13012110\t1\r\n", "'1301211',"},
    };
    for (const Case& c : cases) EXPECT_EQ(WatchedIdList(c.store), c.list) << c.store;
    TextStores().ChuumokuText = "1301211\t5\r\n";
    EXPECT_EQ(MakeListSql(8).Text, " WHERE 銘柄ID IN('1301211','9999999') " + std::string(kOrder));
}

TEST_F(ListTails, SearchModesUseTheSearchWindowsTexts) {
    auto& sources = IssueList().Sources;
    sources.MakeSearchSql = [](ListTail& tail) {
        tail = {" WHERE 株価 > ?", {int64_t{100}}};
        return true;
    };
    sources.SearchNameText = [] { return std::string("銘柄'13"); };
    sources.SearchCodeText = [] { return std::string("72"); };
    for (int16_t save : {0, 1}) {
        Settei().Record.SearchSettei.CHK_Save = save;
        const int mode = save ? 2 : 3;
        EXPECT_EQ(MakeListSql(mode).Text, " WHERE 株価 > ?") << mode;
        EXPECT_EQ(MakeListSql(mode).Parameters, std::vector<FieldValue>{int64_t{100}}) << mode;
    }
    // The typed texts travel as the pattern's value: none of them reaches the text.
    const std::string withoutIndices = " AND 市場名 <> '指標' ";
    const struct {
        int mode;
        std::string text;
        std::string pattern;
    } cases[] = {
        {4, " WHERE 銘柄名 LIKE ? ESCAPE '!'" + std::string(kOrder), "%銘柄'13%"},
        {5, " WHERE 証券コード LIKE ? ESCAPE '!'" + std::string(kOrder), "72%"},
        {9, " WHERE 銘柄名 LIKE ? ESCAPE '!'" + withoutIndices + kOrder, "%銘柄'13%"},
        {10, " WHERE 証券コード LIKE ? ESCAPE '!'" + withoutIndices + kOrder, "72%"},
    };
    for (const auto& c : cases) {
        const ListTail tail = MakeListSql(c.mode);
        EXPECT_EQ(tail.Text, c.text) << c.mode;
        EXPECT_EQ(tail.Parameters, std::vector<FieldValue>{c.pattern}) << c.mode;
    }
}

// A compound search that could not be built has told the user; its tail runs nothing.
TEST_F(ListTails, AFailedCompoundSearchGivesAFailedTail) {
    IssueList().Sources.MakeSearchSql = [](ListTail& tail) { return false; };
    const ListTail tail = MakeListSql(3);
    EXPECT_TRUE(tail.Failed);
    EXPECT_EQ(tail.Text, "");
    RecordsetPtr untouched;
    EXPECT_FALSE(QueryIssueList(3, untouched));
    EXPECT_FALSE(untouched);
    EXPECT_FALSE(MakeListSql(1).Failed);
}

TEST_F(ListTails, AMissingSearchWindowIsShownAndGivesNoTail) {
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "コントロールが見つかりません。");
    const ListTail tail = MakeListSql(4);
    EXPECT_EQ(tail.Text, "");
    EXPECT_TRUE(tail.Parameters.empty());
    EXPECT_TRUE(sink.AllShown());
}

TEST(IssueGridLine, SeventeenCellsWithTheListsConversions) {
    const IssueValueLookup memos = {{"0301100", "為替のメモ"}};
    const IssueValueLookup watches = {{"0301100", " 3"}};
    const auto record = Record({{0, std::string("0301100")},
                                {1, std::string(" 為替指数 ")},
                                {3, std::string("0301")},
                                {6, int64_t{1}},
                                {8, -250.0},
                                {9, 12345.0},
                                {11, 12.5},
                                {12, std::string("3")},
                                {16, int64_t{20240105}},
                                {17, std::string("買")},
                                {21, int64_t{1}},
                                {25, int64_t{0}},
                                {36, std::string("指標")},
                                {37, int64_t{5}}});
    const std::vector<std::string> expected = {"7",   "5",  "0301", " 3", "為替指数",   "指標",
                                               "123", "-2", "1",    "買", "2024/01/05", "12.5",
                                               "3",   "○",  "",     "",   "為替のメモ"};
    EXPECT_EQ(Cells(IssueGridLine(record, "7", memos, watches)), expected);
}

TEST(IssueGridLine, FactorsNullsAndMarks) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::string huge = "1" + std::string(300, '0');
    const std::string e19 = "1" + std::string(19, '0');
    const std::string e20 = "1" + std::string(20, '0');
    struct Case {
        const char* code;
        FieldValue price;
        FieldValue change;
        FieldValue turnDate;
        FieldValue mark;
        std::string priceCell;
        std::string changeCell;
        const char* dateCell;
        const char* markCell;
    } cases[] = {
        {"0315", 1234.0, -25.0, {}, {}, "123", "-2", "", ""},
        {"0301", 12345.0, {}, {}, int64_t{0}, "123", "－", "", ""},
        {"1301", {}, 15.5, int64_t{20231229}, std::string("True"), "0", "16", "2023/12/29", "○"},
        {"1302", 99.5, -0.5, {}, int64_t{-1}, "100", "0", "", "○"},
        // Catalog values past every integer type still show as the numbers they are.
        {"1303", 1e300, -1e300, 1e300, {}, huge, "-" + huge, "", ""},
        {"1304", 1e19, -1e19, int64_t{2147483648}, {}, e19, "-" + e19, "", ""},
        {"1305", inf, nan, -inf, {}, "", "", "", ""},
        {"1306", {}, 0.0, int64_t{-2147483648}, {}, "0", "0", "-214748/36/48", ""},
        {"1307", std::string(20, '9'), {}, 20240105.9, {}, e20, "－", "2024/01/05", ""},
    };
    for (const Case& c : cases) {
        const auto record = Record({{0, std::string(c.code) + "211"},
                                    {3, std::string(c.code)},
                                    {8, c.change},
                                    {9, c.price},
                                    {16, c.turnDate},
                                    {21, c.mark}});
        const auto cells = Cells(IssueGridLine(record, "1", {}, {}));
        ASSERT_EQ(cells.size(), 17u);
        EXPECT_EQ(cells[6], c.priceCell) << c.code;
        EXPECT_EQ(cells[7], c.changeCell) << c.code;
        EXPECT_EQ(cells[10], c.dateCell) << c.code;
        EXPECT_EQ(cells[13], c.markCell) << c.code;
        EXPECT_EQ(cells[3], "");
        EXPECT_EQ(cells[16], "");
    }
}

TEST(IssueGridLine, ATabInAValueStaysInsideItsCell) {
    const auto record = Record({{0, std::string("1301211")}, {1, std::string("A\tB")}});
    const auto cells = Cells(IssueGridLine(record, "1", {}, {}));
    ASSERT_EQ(cells.size(), 17u);
    EXPECT_EQ(cells[4], "A B");
}

TEST(ListHeaders, TitlesWidthsAndAlignmentsOfTheTwoListGrids) {
    FlexGrid grid;
    grid.SetCols(3);
    grid.SetRows(5);
    grid.SetTextMatrix(3, 2, "old");
    SetListGridHeaders(grid);
    EXPECT_EQ(grid.Rows(), 1);
    EXPECT_EQ(grid.Cols(), 17);
    EXPECT_EQ(grid.TextMatrix(0, 0), "");
    EXPECT_EQ(grid.TextMatrix(0, 6), "株価");
    EXPECT_EQ(grid.TextMatrix(0, 14), "関門");
    EXPECT_EQ(grid.ColWidth(0), 0);
    EXPECT_GT(grid.ColWidth(2), 0);
    EXPECT_EQ(grid.ColAlignment(7), FlexAlign::RightCenter);
    EXPECT_EQ(grid.FixedAlignment(7), FlexAlign::LeftCenter);
    EXPECT_EQ(grid.ColAlignment(13), FlexAlign::CenterCenter);
    EXPECT_EQ(grid.ColAlignment(16), FlexAlign::LeftCenter);

    FlexGrid observed;
    observed.SetCols(8);
    SetObservationGridHeaders(observed);
    EXPECT_EQ(observed.TextMatrix(0, 2), "コード");
    EXPECT_EQ(observed.TextMatrix(0, 7), "法則名");
    EXPECT_EQ(observed.ColWidth(1), 0);
}

TEST(SearchPresets, NameAndCodeSearchSwitchTheBoxes) {
    QWidget window;
    auto* byName = new QRadioButton(&window);
    byName->setObjectName(QStringLiteral("OPT_銘柄名検索"));
    auto* byCode = new QRadioButton(&window);
    byCode->setObjectName(QStringLiteral("OPT_コード検索"));
    auto* name = new QLineEdit(QStringLiteral("銘柄"), &window);
    name->setObjectName(QStringLiteral("TXT_Name"));
    auto* code = new QLineEdit(QStringLiteral("13"), &window);
    code->setObjectName(QStringLiteral("TXT_Code"));
    window.show();

    SetSearchByName(&window);
    EXPECT_TRUE(byName->isChecked());
    EXPECT_TRUE(name->isEnabled());
    EXPECT_FALSE(code->isEnabled());
    EXPECT_EQ(name->selectedText(), QStringLiteral("銘柄"));

    SetSearchByCode(&window);
    EXPECT_TRUE(byCode->isChecked());
    EXPECT_TRUE(code->isEnabled());
    EXPECT_FALSE(name->isEnabled());
    EXPECT_EQ(code->selectedText(), QStringLiteral("13"));

    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "コントロールが見つかりません。");
    SetSearchByName(nullptr);
    EXPECT_TRUE(sink.AllShown());
}

TEST(StoreIndex, AnswersAsTheStoreSearchDoes) {
    const std::string store =
        "1301211\tfirst\r\n1302212\ta\tb\r\n1301211\tsecond\r\nno tab\r\n\tblank id\r\n"
        "1303213\t\r\n1304214\tlast";
    const auto index = IssueValueIndex(store);
    for (const char* id : {"1301211", "1302212", "1303213", "1304214", "9999999", ""})
        EXPECT_EQ(index.count(id) ? index.at(id) : "", FindIssueValue(store, id)) << id;

    EXPECT_EQ(ReplaceIssueValueLine("1301211\t1\r\n1302212\t2\r\n1301211\t3\r\n", "1301211", "9"),
              "1302212\t2\r\n1301211\t9\r\n");
    EXPECT_EQ(ReplaceIssueValueLine("1301211\t1\r\n", "1301211", ""), "");
    EXPECT_EQ(ReplaceIssueValueLine("13012110\t1\r\n", "1301211", ""), "13012110\t1\r\n");
}

INSTANTIATE_TEST_SUITE_P(Sqlite, IssueListTest, testing::Values(TestEngine::Sqlite));
