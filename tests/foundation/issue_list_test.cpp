// ctest-labels: issuelist
#include <QAbstractButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

#include "foundation/sql_builders.h"
#include "issue_list_fixture.h"

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
    EXPECT_EQ(MakeListSql(1), kOrder);
    for (int16_t save : {0, 2}) {
        Settei().Record.SearchSettei.CHK_Save = save;
        EXPECT_EQ(MakeListSql(2), kOrder) << save;
    }
    for (int mode : {0, -1, 11}) EXPECT_EQ(MakeListSql(mode), "") << mode;
    // No grid registered: nothing is selected, the rule test alone.
    EXPECT_EQ(MakeListSql(6), " WHERE  順次法則 <> \"\"" + std::string(kOrder));
    EXPECT_EQ(MakeListSql(7), " WHERE  逆次法則 <> \"\"" + std::string(kOrder));
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
        {"O'Neil\t1\r\n", "'O''Neil',"},
    };
    for (const Case& c : cases) EXPECT_EQ(WatchedIdList(c.store), c.list) << c.store;
    TextStores().ChuumokuText = "1301211\t5\r\n";
    EXPECT_EQ(MakeListSql(8), " WHERE 銘柄ID IN('1301211','9999999') " + std::string(kOrder));
}

TEST_F(ListTails, SearchModesUseTheSearchWindowsTexts) {
    auto& sources = IssueList().Sources;
    sources.MakeSearchSql = [] { return std::string(" WHERE 株価 > 100"); };
    sources.SearchNameText = [] { return std::string("銘柄'13"); };
    sources.SearchCodeText = [] { return std::string("72"); };
    EXPECT_EQ(MakeListSql(3), " WHERE 株価 > 100");
    Settei().Record.SearchSettei.CHK_Save = 1;
    EXPECT_EQ(MakeListSql(2), " WHERE 株価 > 100");
    EXPECT_EQ(MakeListSql(4), " WHERE 銘柄名 LIKE '%銘柄''13%'" + std::string(kOrder));
    EXPECT_EQ(MakeListSql(5), " WHERE 証券コード LIKE '72%'" + std::string(kOrder));
    EXPECT_EQ(MakeListSql(9),
              " WHERE 銘柄名 LIKE '%銘柄''13%' AND 市場名 <> '指標' " + std::string(kOrder));
    EXPECT_EQ(MakeListSql(10),
              " WHERE 証券コード LIKE '72%' AND 市場名 <> '指標' " + std::string(kOrder));
}

TEST_F(ListTails, AMissingSearchWindowIsShownAndGivesNoTail) {
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "コントロールが見つかりません。");
    EXPECT_EQ(MakeListSql(4), "");
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
                                {36, std::string("指数")},
                                {37, int64_t{5}}});
    const std::vector<std::string> expected = {"7",   "5",  "0301", " 3", "為替指数",   "指数",
                                               "123", "-2", "1",    "買", "2024/01/05", "12.5",
                                               "3",   "○",  "",     "",   "為替のメモ"};
    EXPECT_EQ(Cells(IssueGridLine(record, "7", memos, watches)), expected);
}

TEST(IssueGridLine, FactorsNullsAndMarks) {
    struct Case {
        const char* code;
        FieldValue price;
        FieldValue change;
        FieldValue turnDate;
        FieldValue mark;
        const char* priceCell;
        const char* changeCell;
        const char* dateCell;
        const char* markCell;
    } cases[] = {
        {"0315", 1234.0, -25.0, {}, {}, "123", "-2", "", ""},
        {"0301", 12345.0, {}, {}, int64_t{0}, "123", "－", "", ""},
        {"1301", {}, 15.5, int64_t{20231229}, std::string("True"), "0", "16", "2023/12/29", "○"},
        {"1302", 99.5, -0.5, {}, int64_t{-1}, "100", "0", "", "○"},
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

TEST_F(IssueListTest, FullFillShowsEveryIssueInQueryOrder) {
    Daily("UPDATE TBL銘柄属性 SET 株価 = 12345, 前日比 = -250 WHERE 銘柄ID = '0301100'");
    Daily("UPDATE TBL銘柄属性 SET 株価 = 1234, 前日比 = NULL WHERE 銘柄ID = '0315100'");
    Daily(
        "UPDATE TBL銘柄属性 SET 転換日 = 20240105, 転換状況 = '売', 斜線W = 1, 上昇率 = 7 "
        "WHERE 銘柄ID = ?",
        {market_->Summary().FirstIssueId});
    TextStores().MemoText = "1301211\tよく見る\r\n";
    TextStores().ChuumokuText = "1301211\t12\r\n";
    TextData().TextDataMode = -1;

    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    const int issues = market_->Summary().IssueCount;
    ASSERT_EQ(grid_->Rows(), issues + 1);
    EXPECT_EQ(status_, std::to_string(issues) + " 件表示されました。");
    EXPECT_EQ(TextData().TextDataMode, 0);
    EXPECT_TRUE(grid_->isEnabled());
    EXPECT_EQ(grid_->Row(), 0);
    EXPECT_EQ(grid_->TextMatrix(0, 2), "コード");
    EXPECT_EQ(grid_->TextMatrix(0, 16), "メモ");
    EXPECT_EQ(IssueList().ShownListRecordset, IssueList().IssueListRecordset);
    for (int row = 1; row < grid_->Rows(); ++row)
        EXPECT_EQ(grid_->TextMatrix(row, 0), std::to_string(row));
    // Codes ascending, the joined listing's two markets by display order.
    EXPECT_EQ(grid_->TextMatrix(1, 2), "0002");
    EXPECT_EQ(grid_->TextMatrix(issues - 1, 5), "西一");
    EXPECT_EQ(grid_->TextMatrix(issues, 5), "西二");

    const int fx = RowOfCode("0301");
    EXPECT_EQ(grid_->TextMatrix(fx, 6), "123");
    EXPECT_EQ(grid_->TextMatrix(fx, 7), "-2");
    const int future = RowOfCode("0315");
    EXPECT_EQ(grid_->TextMatrix(future, 6), "123");
    EXPECT_EQ(grid_->TextMatrix(future, 7), "－");
    const int first = RowOfCode("1301");
    const std::vector<std::string> firstRow = {std::to_string(first),
                                               "0",
                                               "1301",
                                               "12",
                                               "銘柄1301",
                                               "一部",
                                               "",
                                               "－",
                                               "1000",
                                               "売",
                                               "2024/01/05",
                                               "7",
                                               "",
                                               "○",
                                               "",
                                               "水産・農林業",
                                               "よく見る"};
    RecordsetPtr price = Daily("SELECT 株価 FROM TBL銘柄属性 WHERE 銘柄ID = '1301211'");
    std::vector<std::string> shown = grid_->RowCells(first);
    shown[6].clear();  // the price is the generator's; checked below
    EXPECT_EQ(shown, firstRow);
    EXPECT_EQ(grid_->TextMatrix(first, 6),
              std::to_string(static_cast<int64_t>(price->Number(0) + 0.5)));
    // The issue whose industry has no row shows no industry name.
    EXPECT_EQ(grid_->TextMatrix(RowOfCode("1308"), 15), "");
}

TEST_F(IssueListTest, AnEmptyListLeavesTheHeaderDisabled) {
    ASSERT_TRUE(ShowIssueList(*grid_, 8));
    EXPECT_EQ(grid_->Rows(), 1);
    EXPECT_FALSE(grid_->isEnabled());
    EXPECT_EQ(status_, "0 件表示されました。");

    TextStores().ChuumokuText = "1302212\t4\r\n9901011\t1\r\n";
    ShowChuumokuIssues();
    ASSERT_EQ(grid_->Rows(), 3);
    EXPECT_TRUE(grid_->isEnabled());
    EXPECT_EQ(grid_->TextMatrix(1, 3), "4");
    EXPECT_EQ(grid_->TextMatrix(2, 2), "9901");
    EXPECT_EQ(status_, "2 件表示されました。");
    EXPECT_EQ(grid_->RowSel(), 2);
}

TEST_F(IssueListTest, ChosenRowsFillShowsTheChoiceInItsOrder) {
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    const RecordsetPtr all = IssueList().IssueListRecordset;
    Selection().SelectedRows = {7, 2};
    IssueList().SelectedRowTexts = {"8", "3", ""};
    SetListGridHeaders(*grid_);
    FillIssueGrid(*grid_);
    ASSERT_EQ(grid_->Rows(), 3);
    EXPECT_EQ(grid_->TextMatrix(1, 0), "8");
    EXPECT_EQ(grid_->TextMatrix(2, 0), "3");
    EXPECT_EQ(grid_->TextMatrix(1, 2), FieldText(all->Row(7)[kField証券コード]));
    EXPECT_EQ(grid_->TextMatrix(2, 2), FieldText(all->Row(2)[kField証券コード]));
    EXPECT_EQ(Selection().SelectedCount(), 0);
    EXPECT_EQ(status_, "2 件表示されました。");
}

TEST_F(IssueListTest, AChosenRowWithoutALabelStopsTheFill) {
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    Selection().SelectedRows = {4, 5};
    IssueList().SelectedRowTexts = {"5"};
    SetListGridHeaders(*grid_);
    status_.clear();
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "インデックスが有効範囲にありません。");
    FillIssueGrid(*grid_);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(grid_->Rows(), 2);
    EXPECT_EQ(status_, "");
}

TEST_F(IssueListTest, AFailedQueryLeavesTheListAsItWas) {
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    const RecordsetPtr before = IssueList().IssueListRecordset;
    const std::vector<std::string> firstRow = grid_->RowCells(1);
    const std::string status = status_;
    IssueList().Sources.MakeSearchSql = [] { return std::string(" WHERE 無い列 = 1"); };
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);
    EXPECT_FALSE(ShowIssueList(*grid_, 3));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(IssueList().IssueListRecordset, before);
    EXPECT_EQ(grid_->Rows(), market_->Summary().IssueCount + 1);
    EXPECT_EQ(grid_->RowCells(1), firstRow);
    EXPECT_EQ(status_, status);
}

TEST_F(IssueListTest, ObservationListsTheSelectedIssuesWithARule) {
    Daily("UPDATE TBL銘柄属性 SET 順次法則 = ''");
    Daily("UPDATE TBL銘柄属性 SET 順次法則 = 'ろさ買' WHERE 証券コード IN ('1301','1303','1305')");
    Daily("UPDATE TBL銘柄属性 SET 逆次法則 = 'ろあ売' WHERE 証券コード = '1304'");
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    // Nothing selected (the header row is current after a fill): every issue with a rule.
    std::string sql = MakeIssueAttrSql(MakeListSql(6));
    RecordsetPtr forward;
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, sql, forward));
    EXPECT_EQ(forward->RecordCount(), 3);

    SelectRows(RowOfCode("1304"), RowOfCode("1301"));
    sql = MakeIssueAttrSql(MakeListSql(6));
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, sql, forward));
    ASSERT_EQ(forward->RecordCount(), 2);
    EXPECT_EQ(forward->Row(0)[kField証券コード], FieldValue(std::string("1301")));
    EXPECT_EQ(forward->Row(1)[kField証券コード], FieldValue(std::string("1303")));
    sql = MakeIssueAttrSql(MakeListSql(7));
    RecordsetPtr backward;
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, sql, backward));
    ASSERT_EQ(backward->RecordCount(), 1);
    EXPECT_EQ(backward->Row(0)[kField証券コード], FieldValue(std::string("1304")));
}

TEST_F(IssueListTest, TextDataModeEndsWithTheNextFill) {
    QWidget window;
    auto* grid = new FlexGrid(&window);
    auto* mail = new QWidget(&window);
    mail->setObjectName(QStringLiteral("MNU_メールデータ"));
    RegisterSelectionWindow({grid, &window, [this](const std::string& t) { status_ = t; }});
    ASSERT_TRUE(ShowIssueList(*grid, 1));

    TextData().TextDataMode = -1;
    TextData().TextDataTitle = "sample.txt";
    UpdateSelectionMenus();
    MarkTextDataMode();
    EXPECT_FALSE(mail->isEnabled());
    EXPECT_EQ(grid->Rows(), 2);
    EXPECT_EQ(grid->TextMatrix(1, 4), "sample.txt");
    EXPECT_EQ(grid->ColWidth(2), 0);
    EXPECT_EQ(grid->BackColor(), grid->BackColorSel());
    std::string id = "x";
    EXPECT_TRUE(GetCurrentIssueId(id));
    EXPECT_EQ(id, "");

    ShowAllIssues();
    EXPECT_EQ(TextData().TextDataMode, 0);
    EXPECT_TRUE(mail->isEnabled());
    EXPECT_GT(grid->ColWidth(2), 0);
    EXPECT_EQ(grid->Rows(), market_->Summary().IssueCount + 1);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->RowSel(), grid->Rows() - 1);
}

TEST_F(IssueListTest, TheChildWindowsRefreshReloadsAllIssues) {
    ASSERT_TRUE(ShowIssueList(*grid_, 8));
    Selection().SelectedRows = {3};
    ClearStatusAndRefresh();
    EXPECT_EQ(grid_->Rows(), market_->Summary().IssueCount + 1);
    EXPECT_EQ(grid_->RowSel(), grid_->Rows() - 1);
    ChildWindows().ClearSelectedRows();
    EXPECT_EQ(Selection().SelectedCount(), 0);
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
