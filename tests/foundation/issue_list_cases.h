#pragma once
// The issue list's cases on a market, run on SQLite and on PostgreSQL.
#include <QAction>
#include <QMenu>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "foundation/sql_builders.h"
#include "issue_list_fixture.h"

TEST_P(IssueListTest, FullFillShowsEveryIssueInQueryOrder) {
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
    EXPECT_EQ(grid_->TextMatrix(1, 2), "0101");
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
                                               "",
                                               "1000",
                                               "売",
                                               "2024/01/05",
                                               "7",
                                               "",
                                               "○",
                                               "",
                                               "水産・農林業",
                                               "よく見る"};
    RecordsetPtr price = Daily("SELECT 株価, 前日比 FROM TBL銘柄属性 WHERE 銘柄ID = '1301211'");
    std::vector<std::string> shown = grid_->RowCells(first);
    shown[6].clear();  // the price and the change are the generator's; checked below
    shown[7].clear();
    EXPECT_EQ(shown, firstRow);
    price->MoveFirst();
    EXPECT_EQ(grid_->TextMatrix(first, 6),
              std::to_string(static_cast<int64_t>(price->Number(0) + 0.5)));
    EXPECT_EQ(grid_->TextMatrix(first, 7),
              std::to_string(static_cast<int64_t>(std::floor(price->Number(1) + 0.5))));
    // The issue whose industry has no row shows no industry name.
    EXPECT_EQ(grid_->TextMatrix(RowOfCode("1308"), 15), "");
}

// The generated market reads like a real one: each issue's row carries what the analysis
// would leave from its daily rows, the newest close, date and volume and the change from
// the close before, so no row shows "－".
TEST_P(IssueListTest, EveryGeneratedIssueShowsItsNewestCloseAndItsChange) {
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    const RecordsetPtr list = IssueList().IssueListRecordset;
    ASSERT_EQ(list->RecordCount(), grid_->Rows() - 1);
    for (int row = 1; row < grid_->Rows(); ++row) {
        const std::vector<FieldValue>& issue = list->Row(row - 1);
        const std::string id = FieldText(issue.at(kField銘柄ID));
        SCOPED_TRACE(id);
        RecordsetPtr newest = Daily(
            "SELECT 日付, 終値, 出来高 FROM TBL日次 WHERE 銘柄ID = ? ORDER BY 日付 DESC LIMIT 2",
            {id});
        ASSERT_EQ(newest->RecordCount(), 2);
        const double change = FieldNumber(newest->Row(0)[1]) - FieldNumber(newest->Row(1)[1]);
        EXPECT_EQ(FieldNumber(issue.at(kField最終日)), FieldNumber(newest->Row(0)[0]));
        EXPECT_EQ(FieldNumber(issue.at(kField株価)), FieldNumber(newest->Row(0)[1]));
        EXPECT_EQ(FieldNumber(issue.at(kField出来高)), FieldNumber(newest->Row(0)[2]));
        ASSERT_FALSE(IsNull(issue.at(kField前日比)));
        const double stored = FieldNumber(issue.at(kField前日比));
        EXPECT_NEAR(stored, change, 1e-9);
        const double factor = IndexFactor(FieldText(issue.at(kField証券コード)));
        EXPECT_EQ(grid_->TextMatrix(row, 7),
                  std::to_string(static_cast<int64_t>(std::floor(stored * factor + 0.5))));
    }
}

TEST_P(IssueListTest, AnEmptyListLeavesTheHeaderDisabled) {
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

TEST_P(IssueListTest, ChosenRowsFillShowsTheChoiceInItsOrder) {
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    const RecordsetPtr all = IssueList().IssueListRecordset;
    IssueSelection().SelectedRows = {7, 2};
    IssueList().SelectedRowTexts = {"8", "3", ""};
    SetListGridHeaders(*grid_);
    FillIssueGrid(*grid_);
    ASSERT_EQ(grid_->Rows(), 3);
    EXPECT_EQ(grid_->TextMatrix(1, 0), "8");
    EXPECT_EQ(grid_->TextMatrix(2, 0), "3");
    EXPECT_EQ(grid_->TextMatrix(1, 2), FieldText(all->Row(7)[kField証券コード]));
    EXPECT_EQ(grid_->TextMatrix(2, 2), FieldText(all->Row(2)[kField証券コード]));
    EXPECT_EQ(IssueSelection().SelectedCount(), 0);
    EXPECT_EQ(status_, "2 件表示されました。");
}

TEST_P(IssueListTest, AChosenRowWithoutALabelStopsTheFill) {
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    IssueSelection().SelectedRows = {4, 5};
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

TEST_P(IssueListTest, AFailedQueryLeavesTheListAsItWas) {
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

TEST_P(IssueListTest, ObservationListsTheSelectedIssuesWithARule) {
    Daily("UPDATE TBL銘柄属性 SET 順次法則 = ''");
    Daily("UPDATE TBL銘柄属性 SET 順次法則 = 'ろさ買' WHERE 証券コード IN ('1301','1303','1305')");
    Daily("UPDATE TBL銘柄属性 SET 逆次法則 = 'ろあ売' WHERE 証券コード = '1304'");
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    // Nothing selected (the header row is current after a fill): every issue with a rule.
    RecordsetPtr forward;
    ASSERT_TRUE(QueryIssueList(6, forward));
    EXPECT_EQ(forward->RecordCount(), 3);

    SelectRows(RowOfCode("1304"), RowOfCode("1301"));
    ASSERT_TRUE(QueryIssueList(6, forward));
    ASSERT_EQ(forward->RecordCount(), 2);
    EXPECT_EQ(forward->Row(0)[kField証券コード], FieldValue(std::string("1301")));
    EXPECT_EQ(forward->Row(1)[kField証券コード], FieldValue(std::string("1303")));
    RecordsetPtr backward;
    ASSERT_TRUE(QueryIssueList(7, backward));
    ASSERT_EQ(backward->RecordCount(), 1);
    EXPECT_EQ(backward->Row(0)[kField証券コード], FieldValue(std::string("1304")));
}

TEST_P(IssueListTest, TextDataModeEndsWithTheNextFill) {
    QWidget window;
    auto* grid = new FlexGrid(&window);
    auto* mail = new QAction(&window);
    mail->setObjectName(QStringLiteral("MNU_メールデータ"));
    auto* watch = new QMenu(&window);
    watch->setObjectName(QStringLiteral("MNU_注目"));
    RegisterSelectionWindow({grid, &window, [this](const std::string& t) { status_ = t; }});
    ASSERT_TRUE(ShowIssueList(*grid, 1));

    TextData().TextDataMode = -1;
    TextData().TextDataTitle = "sample.txt";
    UpdateSelectionMenus();
    MarkTextDataMode();
    EXPECT_FALSE(mail->isEnabled());
    EXPECT_FALSE(watch->menuAction()->isEnabled());
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
    EXPECT_TRUE(watch->menuAction()->isEnabled());
    EXPECT_GT(grid->ColWidth(2), 0);
    EXPECT_EQ(grid->Rows(), market_->Summary().IssueCount + 1);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->RowSel(), grid->Rows() - 1);
}

TEST_P(IssueListTest, TheChildWindowsRefreshReloadsAllIssues) {
    ASSERT_TRUE(ShowIssueList(*grid_, 8));
    IssueSelection().SelectedRows = {3};
    ClearStatusAndRefresh();
    EXPECT_EQ(grid_->Rows(), market_->Summary().IssueCount + 1);
    EXPECT_EQ(grid_->RowSel(), grid_->Rows() - 1);
    ChildWindows().ClearSelectedRows();
    EXPECT_EQ(IssueSelection().SelectedCount(), 0);
}

// The name and code searches take whatever the user typed: quotes and backslashes find
// what they spell and nothing more, while % and _ stay LIKE's wildcards.
TEST_P(IssueListTest, SearchTextsAreValuesNotStatementText) {
    Daily("UPDATE TBL銘柄属性 SET 銘柄名 = ? WHERE 証券コード = '1301'",
          {std::string("O'Neil商事")});
    Daily("UPDATE TBL銘柄属性 SET 銘柄名 = ? WHERE 証券コード = '1302'", {std::string("円\\安")});
    RecordsetPtr all;
    ASSERT_TRUE(QueryIssueList(kListAll, all));
    const auto codes = [](const RecordsetPtr& rs) {
        std::vector<std::string> out;
        for (int i = 0; i < rs->RecordCount(); ++i)
            out.push_back(FieldText(rs->Row(i)[kField証券コード]));
        return out;
    };
    const std::vector<std::string> every = codes(all);
    std::vector<std::string> everyButIndices;
    std::copy_if(every.begin(), every.end(), std::back_inserter(everyButIndices),
                 [](const std::string& code) { return code.rfind("0", 0) != 0; });

    struct Case {
        int mode;
        const char* text;
        std::vector<std::string> codes;
    };
    const Case cases[] = {
        {kListByName, "\\' OR 1=1 --", {}},
        {kListByName, "' OR '1'='1", {}},
        {kListByName, "'); DELETE FROM TBL銘柄属性; --", {}},
        {kListByName, "'", {"1301"}},
        {kListByName, "O'Neil", {"1301"}},
        {kListByName, "O_Neil", {"1301"}},
        {kListByName, "\"\"", {}},
        {kListByName, "%", every},
        {kListByNameNoIndex, "指数", {}},
        {kListByCode, "13_1", {"1301", "1311"}},
        {kListByCode, "1' OR '1'='1", {}},
        {kListByCode, "\\", {}},
        {kListByCode, "%", every},
        {kListByCodeNoIndex, "%", everyButIndices},
    };
    for (const Case& c : cases) {
        IssueList().Sources.SearchNameText = [&c] { return std::string(c.text); };
        IssueList().Sources.SearchCodeText = [&c] { return std::string(c.text); };
        RecordsetPtr found;
        ASSERT_TRUE(QueryIssueList(c.mode, found)) << c.mode << " " << c.text;
        EXPECT_EQ(codes(found), c.codes) << c.mode << " " << c.text;
    }
    RecordsetPtr after;
    ASSERT_TRUE(QueryIssueList(kListAll, after));
    EXPECT_EQ(codes(after), every);
}
