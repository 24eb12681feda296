#pragma once
// The selection's cases on a market, run on SQLite and on PostgreSQL.
#include "issue_list_fixture.h"

TEST_P(IssueListTest, GatheredRecordsCarryTheSelectedIssues) {
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    TextStores().ChuumokuText = "1308040\t7\r\n";
    TextStores().MemoText = "1308040\t業種なし\r\n";
    const int index = RowOfCode("0201");
    const int noIndustry = RowOfCode("1308");
    const int plain = RowOfCode("1301");
    SelectRows(index, index);
    ASSERT_TRUE(CollectSelectedRows(*grid_));
    IssueSelection().SelectedRows.push_back(IssueSelection().SelectedRows[0] +
                                            (noIndustry - index));
    IssueSelection().SelectedRows.push_back(IssueSelection().SelectedRows[0] + (plain - index));

    GatherSelectedRecords(1);
    const auto& work = IssueSelection().IssueWorkArray;
    ASSERT_EQ(work.size(), 3u);
    EXPECT_EQ(work[0].IssueId, "0201100");
    EXPECT_EQ(work[0].Industry, "00");  // the index issues have no industry
    EXPECT_EQ(work[0].Watch, 0);
    EXPECT_EQ(work[0].Number, 1);
    EXPECT_EQ(work[1].IssueId, "1308040");
    EXPECT_EQ(work[1].Code, "1308");
    EXPECT_EQ(work[1].Name, "銘柄1308");
    EXPECT_EQ(work[1].Market, "040");
    EXPECT_EQ(work[1].Industry, "9999");
    EXPECT_EQ(work[1].Watch, 7);
    EXPECT_EQ(work[1].Memo, "業種なし");
    EXPECT_EQ(work[2].Number, 3);
    EXPECT_EQ(work[2].Industry, "0050");

    GatherSelectedRecords(2);
    ASSERT_EQ(work.size(), 3u);
    EXPECT_EQ(work[1].IssueId, "1308040");
    EXPECT_EQ(work[1].Number, 0);
    EXPECT_EQ(work[1].Watch, 0);
    EXPECT_EQ(work[1].Memo, "");

    std::string id;
    GetSelectedCode(2, id);
    EXPECT_EQ(id, "1301211");
    EXPECT_THROW(GetSelectedCode(3, id), std::out_of_range);
    IssueSelection().CurrentIssuePos = 1;
    ASSERT_TRUE(GetCurrentIssueId(id));
    EXPECT_EQ(id, "1308040");
    ClearIssueWorkArray();
    EXPECT_TRUE(IssueSelection().IssueWorkArray.empty());
}

TEST_P(IssueListTest, AllIssuesAndMarketsAtStartUp) {
    ASSERT_TRUE(SetRSALL());
    const RecordsetPtr all = IssueList().AllIssuesRecordset;
    ASSERT_TRUE(all);
    EXPECT_EQ(all->RecordCount(), market_->Summary().IssueCount);

    ASSERT_TRUE(GetSijou());
    const auto& markets = IssueSelection().SijouList;
    ASSERT_EQ(markets.size(), 12u);
    EXPECT_EQ(markets[0].First, "第一市場一部");
    EXPECT_EQ(markets[0].Second, "一部");
    EXPECT_EQ(markets[5].Second, "指標");
    EXPECT_EQ(markets[11].Second, "北新");

    // A failed query keeps the recordset of all issues and says so.
    Daily("DROP TABLE TBL業種");
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);
    EXPECT_FALSE(SetRSALL());
    EXPECT_EQ(IssueList().AllIssuesRecordset, all);
    // No market: the list cannot be formed.
    Daily("DELETE FROM TBL市場");
    sink.Expect(MsgKind::Warn, "インデックスが有効範囲にありません。");
    EXPECT_FALSE(GetSijou());
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(IssueSelection().SijouList.size(), 12u);
}
