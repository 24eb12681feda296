#pragma once
// The observation list on the synthetic market: the issue list shown in the main frame with
// every issue selected, five issues with a forward observation in force and one of them
// with a backward one, and the screening's commands installed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/state.h"
#include "platform/flex_grid.h"
#include "screening/commands.h"
#include "screening/observation_window.h"
#include "screening/state.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"

struct ObservedIssue {
    const char* code;
    double price;
    const char* observation;
    const char* rule;
};

// Issues on the markets 一部 (1301 and 1312), 二部, 西一 and 西二: by code, by the markets'
// display order and by their short names the five come in three different orders.
inline const std::vector<ObservedIssue> kForwardIssues = {
    {"1301", 500, "上", "ろさ買①"},  {"1302", 1500, "下", "ろさ売②"},
    {"1306", 2400, "上", "ろさ買③"}, {"1307", 1000, "下", "ろあ売①"},
    {"1312", 90, "上", "ろあ買①"},
};
inline const ObservedIssue kBackwardIssue = {"1302", 1450, "上", "ろさ買②"};

class ObservationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>();
        KABUTO_REQUIRE_MARKET(*market_);
        SetProgramEnd([] {});
        InstallScreeningCommands();
        for (const ObservedIssue& issue : kForwardIssues) Observe("順次", issue);
        ShowSelectionList();
        list_ = &SelectionWindow().Grid();
        ASSERT_TRUE(ShowIssueList(*list_, kListAll));
        SelectAllRows(*list_);
    }
    void TearDown() override {
        DestroyMainFrame();
        SetProgramEnd(nullptr);
        market_.reset();
    }

    void Daily(std::string statement, const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs, parameters)) << statement;
    }
    // The direction's line price, observation and rule written for one issue.
    void Observe(const std::string& direction, const ObservedIssue& issue) {
        Daily("UPDATE TBL銘柄属性 SET " + direction + "株価 = ?, " + direction + "観測 = ?, " +
                  direction + "法則 = ? WHERE 証券コード = ?",
              {issue.price, std::string(issue.observation), std::string(issue.rule),
               std::string(issue.code)});
    }
    // The list's menu item that starts the command.
    void Trigger(const char* item) { SelectionWindow().MenuItem(item)->trigger(); }

    static std::vector<std::string> Column(const FlexGrid& grid, int col) {
        std::vector<std::string> cells;
        for (int row = 1; row < grid.Rows(); ++row) cells.push_back(grid.TextMatrix(row, col));
        return cells;
    }

    std::unique_ptr<MarketFixture> market_;
    FlexGrid* list_ = nullptr;
};
