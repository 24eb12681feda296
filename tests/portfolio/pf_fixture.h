#pragma once
// The portfolio window's tests share a small market: six issues with their 株価 (0 leaves
// the current price to the daily rows), the issue list and markets read, and the
// portfolio's commands installed.
#include <gtest/gtest.h>

#include <QLabel>
#include <functional>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/selection.h"
#include "platform/flex_grid.h"
#include "portfolio/commands.h"
#include "portfolio/pf_window.h"
#include "support/market_fixture.h"
#include "support/modal.h"
#include "support/scripted_sink.h"
#include "ui/state.h"
#include "views/state.h"

class PfWindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        KABUTO_REQUIRE_MARKET(market_);
        // Issues whose 株価 gives the current price; 0 leaves it to the daily rows.
        const struct {
            const char* id;
            const char* name;
            double price;
        } issues[] = {
            {"3001211", "値付き", 450}, {"3002211", "終値なし", 0}, {"3003212", "二部", 450},
            {"3003011", "西一", 450},   {"3004211", "安値", 300},   {"3005211", "高値", 900},
        };
        for (const auto& issue : issues) {
            Run("INSERT INTO TBL銘柄属性 (銘柄ID,銘柄名,証券コード,市場コード,株価) VALUES "
                "(?,?,?,?,?)",
                {std::string(issue.id), std::string(issue.name), std::string(issue.id, 4),
                 std::string(issue.id + 4), issue.price});
        }
        ASSERT_TRUE(SetRSALL());
        ASSERT_TRUE(GetSijou());
        IssueList().ShownListRecordset = IssueList().IssueListRecordset;
        InstallPortfolioCommands();
    }
    void Run(std::string statement, const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs, parameters)) << statement;
    }
    static void SetList(int list, std::vector<PfEntry> entries) {
        Portfolio().PfCounts[list] = static_cast<int16_t>(entries.size());
        Portfolio().PfLists[list] = std::move(entries);
    }
    // Opens the window on a tab as the menu does, runs the checks on it and closes it.
    void WithWindow(int tab, const std::function<void(FRM_PF&, FlexGrid&)>& check) {
        bool ran = false;
        AnswerNextModalNamed(QString::fromUtf8(kPfFormName), [&](QWidget* modal) {
            auto* window = dynamic_cast<FRM_PF*>(modal);
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(Views().ViewKind, 22);
            EXPECT_EQ(GridWheel().CurrentFormName, "FRM_PF");
            check(*window, *window->findChild<FlexGrid*>("FGR_PF"));
            ran = true;
            window->reject();
        });
        Selection().Routines.ShowPortfolio(tab);
        EXPECT_TRUE(ran);
        EXPECT_EQ(Views().ViewKind, 3);
        EXPECT_EQ(GridWheel().CurrentFormName, "");
    }
    static std::string Label(FRM_PF& window, const char* name) {
        return window.findChild<QLabel*>(name)->text().toStdString();
    }
    static std::vector<std::string> Column(FlexGrid& grid, int col) {
        std::vector<std::string> cells;
        for (int row = 1; row < grid.Rows(); ++row) cells.push_back(grid.TextMatrix(row, col));
        return cells;
    }

    MarketFixture market_{TestEngine::Sqlite, MarketSpec{1, 5}};
    ScriptedSink sink_;
};
