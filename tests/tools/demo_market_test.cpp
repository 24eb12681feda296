// ctest-labels: tools firsthour
// The demo market as the charts load it: stored weekly and monthly rows lie before every
// split, so each period chart ends on the daily chart's last close and meets the daily
// prices at the split instead of falling to half of them.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <memory>
#include <string>
#include <vector>

#include "analysis/chart_loading.h"
#include "analysis/series.h"
#include "analysis/state.h"
#include "foundation/database.h"
#include "platform/atomic_file.h"
#include "support/market_fixture.h"
#include "support/temp_folder.h"

namespace {

std::vector<std::string> IssueIds(const std::string& prefix) {
    RecordsetPtr rows;
    std::string error;
    const std::string daily = CatalogConnectionString(prefix, PriceCatalogName(kDailyCatalog));
    EXPECT_TRUE(
        RunCatalogSql(daily, "SELECT 銘柄ID FROM TBL銘柄属性 ORDER BY 銘柄ID", {}, &rows, error))
        << error;
    std::vector<std::string> ids;
    if (!rows) return ids;
    for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) ids.push_back(rows->Text(0));
    return ids;
}

const SeriesPoint& Last(const SeriesRecord& record) {
    return record.Points[static_cast<size_t>(record.Count - 1)];
}

// "yyyy/mm/dd" as yyyymmdd.
int DateNumber(const std::string& text) {
    return std::stoi(text.substr(0, 4)) * 10000 + std::stoi(text.substr(5, 2)) * 100 +
           std::stoi(text.substr(8, 2));
}

class DemoMarket : public testing::Test {
  protected:
    void SetUp() override { KABUTO_REQUIRE_MARKET(*market_); }
    std::unique_ptr<MarketFixture> market_ =
        std::make_unique<MarketFixture>(TestEngine::Sqlite, kDemoMarket);
};

TEST_F(DemoMarket, EveryPeriodChartEndsOnTheNewestDailyClose) {
    const std::vector<std::string> ids = IssueIds(market_->Prefix());
    ASSERT_EQ(ids.size(), static_cast<size_t>(market_->Summary().IssueCount));
    for (const std::string& id : ids) {
        ASSERT_TRUE(LoadChartSeries(id, kChartDaily, false)) << id;
        ASSERT_TRUE(LoadChartSeries(id, kChartWeekly, false)) << id;
        ASSERT_TRUE(LoadChartSeries(id, kChartMonthly, false)) << id;
        const double close = Last(Series().DailySeries).Close;
        EXPECT_EQ(Last(Series().WeeklySeries).Close, close) << id << " weekly";
        EXPECT_EQ(Last(Series().MonthlySeries).Close, close) << id << " monthly";
    }
}

// The week before the split week is a stored row; its close is the daily close of its
// last day, both on the price after the split.
TEST_F(DemoMarket, TheWeekBeforeASplitEndsOnItsLastDailyClose) {
    const MarketSummary& summary = market_->Summary();
    ASSERT_FALSE(summary.SplitIssueId.empty());
    ASSERT_TRUE(LoadChartSeries(summary.SplitIssueId, kChartDaily, false));
    const SeriesRecord daily = Series().DailySeries;
    ASSERT_TRUE(LoadChartSeries(summary.SplitIssueId, kChartWeekly, false));
    const SeriesRecord& weekly = Series().WeeklySeries;
    int splitWeek = -1;
    for (int i = 0; i < weekly.Count && splitWeek < 0; ++i) {
        const std::string& label = weekly.Points[static_cast<size_t>(i)].DateText;
        if (DateNumber(label.substr(label.size() - 10)) >= summary.SplitDate) splitWeek = i;
    }
    ASSERT_GT(splitWeek, 0);
    const std::string& before = weekly.Points[static_cast<size_t>(splitWeek - 1)].DateText;
    const std::string lastDay = before.substr(before.size() - 10);
    const SeriesPoint* day = nullptr;
    for (int i = 0; i < daily.Count; ++i)
        if (daily.Points[static_cast<size_t>(i)].DateText == lastDay)
            day = &daily.Points[static_cast<size_t>(i)];
    ASSERT_NE(day, nullptr) << lastDay;
    EXPECT_EQ(weekly.Points[static_cast<size_t>(splitWeek - 1)].Close, day->Close) << before;
}

// kabuto-install demo runs the analysis: the list's 転換 is filled, the observation has
// issues to show and the compound search's "ATec.dat" is there.
TEST(DemoInstallation, ComesAnalysed) {
    TempAppFolder folder;
    QProcess tool;
    tool.start(QStringLiteral(KABUTO_BINARY_DIR "/kabuto-install"),
               {QStringLiteral("demo"), QString::fromStdString(folder.Path())});
    ASSERT_TRUE(tool.waitForFinished(600000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(FileExists(folder.File("ATec.dat")));
    const std::string daily =
        CatalogConnectionString(SqlitePrefix(folder.Path()), PriceCatalogName(kDailyCatalog));
    const auto count = [&daily](const std::string& where) {
        RecordsetPtr rows;
        std::string error;
        EXPECT_TRUE(RunCatalogSql(daily, "SELECT COUNT(*) FROM TBL銘柄属性 WHERE " + where, {},
                                  &rows, error))
            << error;
        if (!rows) return -1.0;
        rows->MoveFirst();
        return FieldNumber(rows->Field(0));
    };
    EXPECT_GT(count("転換状況 <> ''"), 0);
    EXPECT_GT(count("転換日 > 0"), 0);
    EXPECT_GT(count("順次観測 <> '' OR 逆次観測 <> ''"), 0);
    ResetDatabase();
}

}  // namespace
