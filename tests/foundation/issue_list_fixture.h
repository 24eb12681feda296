#pragma once
// The issue list on the synthetic market: a signed-in market (SQLite or PostgreSQL), an issue grid
// registered as the selection window's, and the list status captured.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/database.h"
#include "foundation/issue_edit_queue.h"
#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "foundation/text_stores.h"
#include "platform/flex_grid.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"
#include "ui/child_windows.h"
#include "views/list_services.h"

// Tests of the list modules without a market.
class ListModulesTest : public testing::Test {};

class IssueListTest : public testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(GetParam());
        KABUTO_REQUIRE_MARKET(*market_);
        grid_ = std::make_unique<FlexGrid>();
        grid_->SetSelectionByRow(true);
        RegisterSelectionWindow(
            {grid_.get(), nullptr, [this](const std::string& text) { status_ = text; }});
    }
    void TearDown() override {
        grid_.reset();
        market_.reset();
    }

    // Runs a statement on the daily catalog that must succeed.
    RecordsetPtr Daily(std::string statement, const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs, parameters)) << statement;
        return rs;
    }
    // The data row whose code column holds code (and market short name, when given).
    int RowOfCode(const std::string& code, const std::string& market = {}) const {
        for (int row = 1; row < grid_->Rows(); ++row)
            if (grid_->TextMatrix(row, 2) == code &&
                (market.empty() || grid_->TextMatrix(row, 5) == market))
                return row;
        return -1;
    }
    // Selects the data rows from..to (either order) as a user drags.
    void SelectRows(int from, int to) {
        grid_->SetRow(from);
        grid_->SetRowSel(to);
    }

    std::unique_ptr<MarketFixture> market_;
    std::unique_ptr<FlexGrid> grid_;
    std::string status_;
};
