#pragma once
// The issue search on the synthetic market: the issue list shown in the main frame, the
// screening's commands installed, and three issues given codes that begin with 72 or 73.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <memory>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/state.h"
#include "platform/flex_grid.h"
#include "screening/commands.h"
#include "screening/issue_search_window.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"
#include "ui/frame_access.h"
#include "views/issue_search_commands.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"

class IssueSearchTest : public ::testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(GetParam());
        KABUTO_REQUIRE_MARKET(*market_);
        SetProgramEnd([] {});
        InstallScreeningCommands();
        Daily("UPDATE TBL銘柄属性 SET 証券コード = '7201' WHERE 証券コード = '1305'");
        Daily("UPDATE TBL銘柄属性 SET 証券コード = '7203' WHERE 証券コード = '1306'");
        Daily("UPDATE TBL銘柄属性 SET 証券コード = '7301' WHERE 証券コード = '1307'");
        ShowSelectionList();
        list_ = &SelectionWindow().Grid();
        ASSERT_TRUE(ShowIssueList(*list_, kListAll));
    }
    void TearDown() override {
        DestroyMainFrame();
        SetProgramEnd(nullptr);
        market_.reset();
    }

    void Daily(std::string statement) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs)) << statement;
    }
    QLineEdit* Box(const char* name) const {
        return IssueSearchWindow().findChild<QLineEdit*>(QString::fromUtf8(name));
    }
    // The text put into a box as a paste puts it, and Enter's search run.
    void SearchCode(const std::string& text) {
        Box("TXT_Code")->setText(QString::fromStdString(text));
        IssueSearchWindow().SearchByCodeText();
    }
    void SearchName(const std::string& text) {
        Box("TXT_Name")->setText(QString::fromStdString(text));
        IssueSearchWindow().SearchByNameText();
    }
    FlexGrid& Found() const { return IssueSearchWindow().Grid(); }
    // "code market" of every data row.
    static std::vector<std::string> Rows(const FlexGrid& grid) {
        std::vector<std::string> rows;
        for (int row = 1; row < grid.Rows(); ++row)
            rows.push_back(grid.TextMatrix(row, 1) + " " + grid.TextMatrix(row, 2));
        return rows;
    }

    std::unique_ptr<MarketFixture> market_;
    FlexGrid* list_ = nullptr;
};
