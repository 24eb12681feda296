// ctest-labels: datarows
// The data table opened over the kagi chart: each accepted edit redraws the chart from the
// grid, closing draws it again from the stored rows; the series the grid hands over, joined
// with an issue's earlier listing or not.
#include <chrono>

#include "analysis/chart_loading.h"
#include "analysis/state.h"
#include "data_table_fixture.h"
#include "foundation/state.h"
#include "maintenance/data_table_chart.h"

namespace {

class DataTableLinkTest : public DataTableTest {
  protected:
    void SetUp() override {
        DataTableTest::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        // The chart needs every price of its rows.
        Run("UPDATE TBL日次 SET 高値 = 150, 終値 = 140, 出来高 = 1 WHERE 銘柄ID = ? AND 日付 >= ?",
            {std::string(kLongIssue), int64_t{20240208}});
    }
    // The view of a command over one issue of the list.
    void OpenView(const std::string& id, int command) {
        SelectIssues(id, id);
        DoCommand(command);
        ASSERT_EQ(Views().ViewKind, command);
    }
    static int KagiDrawings() { return Views().ChartDrawings[0]; }
    static const std::vector<SeriesPoint>& Handed() { return Series().TextDataSeries; }
};

INSTANTIATE_TEST_SUITE_P(Sqlite, DataTableLinkTest, testing::Values(TestEngine::Sqlite));

TEST_P(DataTableLinkTest, EditsOverTheKagiChartRedrawItAndClosingShowsTheStoredOne) {
    OpenView(kLongIssue, 4);
    // Every way out draws the stored chart again: Cancel, OK without changes and the title bar.
    const std::function<void(FRM_データ表&)> closers[] = {
        [](FRM_データ表& window) { window.CMD_cancel_Click(); },
        [](FRM_データ表& window) { window.close(); },
    };
    for (const auto& close : closers) {
        WithTable([&](FRM_データ表& window) {
            const int before = KagiDrawings();
            TypeValue(window, 1, kDtColClose, "300");
            EXPECT_EQ(KagiDrawings(), before + 1);
            EXPECT_EQ(TextData().TextDataMode, 0);
            EXPECT_EQ(TextData().TextDataTitle, kLongIssue);
            ASSERT_EQ(Handed().size(), 40u);
            EXPECT_EQ(Series().TextDataCount, 40);
            EXPECT_EQ(Handed().front().DateText.Text(), "2024/01/01");
            EXPECT_EQ(Handed().back().DateText.Text(), "2024/02/09");
            EXPECT_EQ(Handed().back().Close, 300);
            EXPECT_EQ(Handed().back().Open, 139) << "the number the cell shows";
            EXPECT_EQ(window.KagiRedrawn, -1);
            close(window);
            EXPECT_FALSE(window.isVisible());
            EXPECT_EQ(KagiDrawings(), before + 2) << "the stored chart again";
        });
        ASSERT_TRUE(LoadChartSeries(kLongIssue, 4));
        EXPECT_EQ(Series().DailySeries.Points[39].Close, 140) << "nothing saved";
    }
}

TEST_P(DataTableLinkTest, OkSavesAndShowsTheSavedChart) {
    OpenView(kLongIssue, 4);
    sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerOk);
    WithTable([&](FRM_データ表& window) {
        const int before = KagiDrawings();
        TypeValue(window, 1, kDtColClose, "300");
        window.CMD_OK_Click();
        EXPECT_EQ(KagiDrawings(), before + 2);
    });
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(Series().DailySeries.Points[39].Close, 300) << "the kagi view reloaded the rows";
}

TEST_P(DataTableLinkTest, DeletingEveryRowHandsAnEmptySeriesAndCancelStillRedraws) {
    OpenView(kLongIssue, 4);
    sink_.Expect(MsgKind::OkCancel, kDtDeleteQuestion, kAnswerCancel)
        .Expect(MsgKind::OkCancel, kDtDeleteQuestion, kAnswerOk);
    WithTable([&](FRM_データ表& window) {
        const int before = KagiDrawings();
        window.Grid().SetRow(1);
        window.Grid().SetRowSel(40);
        window.CMD_Del_Click();  // cancelled: the chart is drawn from the unchanged grid
        EXPECT_EQ(Handed().size(), 40u);
        EXPECT_EQ(window.KagiRedrawn, -1);
        EXPECT_EQ(KagiDrawings(), before + 1);
        window.CMD_Del_Click();
        EXPECT_TRUE(Handed().empty());
        EXPECT_EQ(Series().TextDataCount, 0);
        EXPECT_FALSE(window.Grid().isEnabled());
    });
    EXPECT_TRUE(sink_.AllShown());
}

TEST_P(DataTableLinkTest, FromTheDailyViewOrTheListNothingIsRedrawn) {
    OpenView(kLongIssue, 5);
    const auto drawn = Views().ChartDrawings;
    WithTable([&](FRM_データ表& window) {
        TypeValue(window, 1, kDtColClose, "300");
        window.CMD_Add_Click();
        EXPECT_EQ(window.KagiRedrawn, 0);
        window.CMD_cancel_Click();
    });
    EXPECT_EQ(Views().ChartDrawings, drawn);
    EXPECT_EQ(Views().ViewKind, 5);
    DoCommand(3);
    WithIssueTable(kOneRowIssue, [&](FRM_データ表& window) {
        TypeValue(window, 1, kDtColClose, "300");
        EXPECT_EQ(window.KagiRedrawn, 0);
    });
    EXPECT_EQ(Views().ChartDrawings, drawn);
}

TEST_P(DataTableLinkTest, AJoinedIssueKeepsItsEarlierListingBeforeTheGrid) {
    const std::string joined = market_->Summary().JoinedIssueId;
    const std::string older = market_->Summary().JoinedOlderIssueId;
    ASSERT_FALSE(joined.empty());
    Settei().FixedToday = std::chrono::year{1990} / std::chrono::month{1} / std::chrono::day{1};
    RecordsetPtr olderRows =
        Daily("SELECT 日付,終値 FROM TBL日次 WHERE 銘柄ID = ? ORDER BY 日付", {older});
    ASSERT_GT(olderRows->RecordCount(), 0);

    for (const int16_t join : {1, 0}) {
        SCOPED_TRACE(join);
        Settei().Record.UserSettei.CHK_連続 = join;
        OpenView(joined, 4);
        WithTable([&](FRM_データ表& window) {
            const int gridRows = window.Rows().Count();
            ASSERT_GT(gridRows, 0);
            const QDate oldest = QDate::fromString(
                QString::fromStdString(window.Rows().Row(gridRows).DateText()), "yyyy/MM/dd");
            const std::initializer_list<QDateEdit*> pickers = {
                window.findChild<QDateEdit*>("DPC_Add"), window.findChild<QDateEdit*>("DPC_開始"),
                window.findChild<QDateEdit*>("DPC_Edit")};
            EXPECT_EQ(window.HasJoinedListing, join == 1 ? -1 : 0);
            EXPECT_EQ(window.KagiRedrawn, 0) << "learning the join draws nothing";
            for (QDateEdit* picker : pickers) {
                if (join == 1) {
                    EXPECT_EQ(window.FirstEditableDate, oldest);
                    EXPECT_EQ(picker->minimumDate(), oldest);
                } else {
                    EXPECT_LT(picker->minimumDate(), QDate(1800, 1, 1));
                }
            }
            // Today lies before the first editable day: the pickers start on that day.
            if (join == 1) EXPECT_EQ(window.findChild<QDateEdit*>("DPC_Add")->date(), oldest);

            TypeValue(window, 1, kDtColVolume, "777");
            const size_t earlier = join == 1 ? Handed().size() - gridRows : 0;
            ASSERT_EQ(Handed().size(), earlier + gridRows);
            if (join == 1) {
                ASSERT_GT(earlier, 0u);
                // The earlier listing's oldest bar with its stored close.
                EXPECT_EQ(Handed().front().Close, FieldNumber(olderRows->Row(0).at(1)));
                EXPECT_EQ(Handed().front().SplitFlag, kNoSplit);
            }
            EXPECT_EQ(Handed().back().Volume, 777);
            EXPECT_EQ(Handed()[earlier].DateText.Text(), window.Rows().Row(gridRows).DateText());
        });
    }
}

TEST_P(DataTableLinkTest, AFailedJoinedLoadRedrawsNothing) {
    Settei().Record.UserSettei.CHK_連続 = 1;
    OpenView(kLongIssue, 4);
    WithTable([&](FRM_データ表& window) {
        const int before = KagiDrawings();
        Series().TextDataSeries.assign(3, SeriesPoint{});
        Run("ALTER TABLE TBL日次 RENAME TO TBL日次_退避");
        sink_.Expect(MsgKind::Warn);
        TypeValue(window, 1, kDtColClose, "300");
        Run("ALTER TABLE TBL日次_退避 RENAME TO TBL日次");
        EXPECT_EQ(KagiDrawings(), before);
        EXPECT_EQ(Handed().size(), 3u) << "the series of before is not drawn as this issue's";
        EXPECT_EQ(window.KagiRedrawn, 0);
    });
}

TEST(BuildBarsFromGrid, TheGridsRowsOldestFirstAfterTheEarlierBars) {
    DailyRowTable rows;
    NumberRows numbers;
    numbers.Reset(6);
    for (const auto& values : {std::array<double, 6>{20240105, 10, 12, 9, 11, 100},
                               std::array<double, 6>{20240104, 20, 22, 19, 21, 200}})
        std::copy(values.begin(), values.end(), numbers.AddRow());
    rows.Fill(numbers);
    SeriesPoint earlier;
    earlier.DateText = DateLabel("2023/12/29");
    earlier.Close = 5.5;
    earlier.SplitFlag = -1;
    earlier.Ma1 = 3;
    const std::vector<SeriesPoint> bars = BuildBarsFromGrid(rows, {earlier});
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(bars[0].DateText.Text(), "2023/12/29");
    EXPECT_EQ(bars[0].Close, 5.5);
    EXPECT_EQ(bars[0].Ma1, -1) << "only the date and the prices are taken";
    EXPECT_EQ(bars[1].DateText.Text(), "2024/01/04");
    EXPECT_EQ(bars[1].Open, 20);
    EXPECT_EQ(bars[2].High, 12);
    EXPECT_EQ(bars[2].Low, 9);
    EXPECT_EQ(bars[2].Close, 11);
    EXPECT_EQ(bars[2].Volume, 100);
    EXPECT_TRUE(BuildBarsFromGrid(DailyRowTable{}).empty());
}

}  // namespace
