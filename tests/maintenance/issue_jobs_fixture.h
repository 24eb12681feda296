#pragma once
// The issue jobs on the synthetic market: the whole issue list shown in the main frame, the
// view controller and the maintenance commands installed, and helpers that read an issue's
// rows and press the progress window's cancel button partway through a job.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/state.h"
#include "maintenance/commands.h"
#include "platform/flex_grid.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"
#include "ui/progress_window.h"
#include "views/chart_commands.h"
#include "views/chart_view_fixture.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/state.h"

class IssueJobsTest : public testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(GetParam());
        KABUTO_REQUIRE_MARKET(*market_);
        SetProgramEnd([] {});
        ShowWholeListInFrame(1000, 700);
        InstallMaintenanceCommands();
    }
    void TearDown() override {
        DestroyMainFrame();
        SetProgramEnd(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        market_.reset();
    }

    static FlexGrid& Grid() { return SelectionWindow().Grid(); }

    // The issue ID the list shows at a grid row.
    static std::string IdOfRow(int row) {
        const int position = std::stoi(Grid().TextMatrix(row, 0)) - 1;
        return FieldText(IssueList().IssueListRecordset->Row(position).at(0));
    }
    static int RowOfIssue(const std::string& issueId) {
        for (int row = 1; row < Grid().Rows(); ++row)
            if (IdOfRow(row) == issueId) return row;
        return -1;
    }
    // Rows first .. last selected as the user drags over them, and collected as a menu
    // command collects them; the IDs of those rows in order.
    static std::vector<std::string> SelectRows(int first, int last) {
        Grid().SetRow(first);
        Grid().SetRowSel(last);
        EXPECT_TRUE(CollectSelectedRows(Grid()));
        std::vector<std::string> ids;
        for (int row = first; row <= last; ++row) ids.push_back(IdOfRow(row));
        return ids;
    }

    static RecordsetPtr Run(const CatalogConnection& catalog, std::string statement,
                            const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(catalog, statement, rs, parameters)) << statement;
        return rs;
    }
    static RecordsetPtr Daily(std::string statement,
                              const std::vector<FieldValue>& parameters = {}) {
        return Run(Database().DailyConnection, std::move(statement), parameters);
    }

    // The issue's row counts in the six tables a deletion empties, in its order.
    static std::vector<int64_t> RowCounts(const std::string& issueId) {
        const DatabaseState& db = Database();
        const std::pair<const CatalogConnection*, const char*> tables[] = {
            {&db.DailyConnection, "TBL銘柄属性"}, {&db.DailyConnection, "TBL斜線"},
            {&db.DailyConnection, "TBL関門"},     {&db.DailyConnection, "TBL日次"},
            {&db.WeeklyConnection, "TBL週次"},    {&db.MonthlyConnection, "TBL月次"},
        };
        std::vector<int64_t> counts;
        for (const auto& [catalog, table] : tables) {
            RecordsetPtr rs =
                Run(*catalog, std::string("SELECT COUNT(*) FROM ") + table + " WHERE 銘柄ID = ?",
                    {issueId});
            counts.push_back(rs ? static_cast<int64_t>(rs->Number(0)) : -1);
        }
        return counts;
    }

    // A diagonal line and a barrier of the issue for each of the users.
    static void DrawLinesAndBarriers(const std::string& issueId, const std::vector<int>& users) {
        for (int user : users) {
            Daily("INSERT INTO TBL斜線 (銘柄ID, 線種, 番号, user_id) VALUES (?, 5, 0, ?)",
                  {issueId, int64_t{user}});
            Daily(
                "INSERT INTO TBL関門 (銘柄ID, 線種, 番号, 上限, 下限, user_id) VALUES (?, 5, "
                "0, 120.0, 100.0, ?)",
                {issueId, int64_t{user}});
        }
    }

    // Presses the progress window's cancel button once `done` issues have been counted:
    // the job sees it at the next issue. The texts of line 2 are recorded as they change.
    void CancelAfter(int32_t done) {
        QProgressBar* bar = ProgressWindow().Bar();
        auto pressed = std::make_shared<bool>(false);
        QObject::connect(bar, &QProgressBar::valueChanged, bar, [done, pressed](int) {
            if (*pressed || Progress().ProgressCount != done) return;
            *pressed = true;
            ProgressWindow().CancelButton()->click();
        });
    }
    void RecordProgressTexts() {
        QProgressBar* bar = ProgressWindow().Bar();
        QObject::connect(bar, &QProgressBar::valueChanged, bar, [this](int) {
            progressTexts_.push_back(ProgressWindow().Status1()->text().toStdString() + "|" +
                                     ProgressWindow().Status2()->text().toStdString());
        });
    }

    std::unique_ptr<MarketFixture> market_;
    std::vector<std::string> progressTexts_;
};
