#pragma once
// The price data table's tests share a small market: the main frame with the issue list,
// the view controller and the data table command installed, and three issues of their own:
//   3001211  40 daily rows from 2024/01/01, open 100+i, high 110+i, low 90+i, close 105+i,
//            volume 1000+i; the newest (2024/02/09) has the open 139.4 and a Null high, the
//            one before it a Null close and volume;
//   3002211  one row, 2024/01/05: 500, 520, 480, 510, 100;
//   3003211  no rows.
// The window is opened as the command does, modally over the main frame, and the test runs
// inside it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "maintenance/commands.h"
#include "maintenance/data_table_window.h"
#include "platform/flex_grid.h"
#include "support/market_fixture.h"
#include "support/modal.h"
#include "support/scripted_sink.h"
#include "ui/state.h"
#include "views/chart_commands.h"
#include "views/chart_view_fixture.h"
#include "views/chart_views.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/state.h"

inline constexpr const char* kLongIssue = "3001211";
inline constexpr const char* kOneRowIssue = "3002211";
inline constexpr const char* kEmptyIssue = "3003211";

class DataTableTest : public ::testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(GetParam(), MarketSpec{1, 5});
        KABUTO_REQUIRE_MARKET(*market_);
        const char* insertIssue =
            "INSERT INTO TBL銘柄属性 (銘柄ID,銘柄名,証券コード,市場コード,最終日,株価,前日比,"
            "出来高) VALUES (?,?,?,?,?,?,?,?)";
        Run(insertIssue, {std::string(kLongIssue), std::string("長期"), std::string("3001"),
                          std::string("211"), int64_t{20240208}, 100.0, std::monostate{}, 1.0});
        Run(insertIssue, {std::string(kOneRowIssue), std::string("一行"), std::string("3002"),
                          std::string("211"), int64_t{20240105}, 510.0, 5.0, 100.0});
        Run(insertIssue, {std::string(kEmptyIssue), std::string("空"), std::string("3003"),
                          std::string("211"), std::monostate{}, 0.0, std::monostate{}, 0.0});
        const QDate first(2024, 1, 1);
        for (int i = 0; i < 40; ++i) {
            const QDate day = first.addDays(i);
            std::vector<FieldValue> values = {100.0 + i, 110.0 + i, 90.0 + i, 105.0 + i,
                                              1000.0 + i};
            if (i == 39) values = {139.4, std::monostate{}, 129.0, 144.0, 1039.0};
            if (i == 38) values[3] = values[4] = std::monostate{};
            InsertDaily(kLongIssue, DateNumber(day), values);
        }
        InsertDaily(kOneRowIssue, 20240105, {500.0, 520.0, 480.0, 510.0, 100.0});

        ShowWholeListInFrame(1200, 800);
        InstallMaintenanceCommands();
    }
    void TearDown() override {
        DestroyMainFrame();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void Run(std::string statement, const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs, parameters)) << statement;
    }
    RecordsetPtr Daily(std::string statement, const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs, parameters)) << statement;
        return rs;
    }
    void InsertDaily(const std::string& id, int32_t date, std::vector<FieldValue> values) {
        values.insert(values.begin(), {id, int64_t{date}});
        Run("INSERT INTO TBL日次 (銘柄ID,日付,始値,高値,安値,終値,出来高) VALUES (?,?,?,?,?,?,?)",
            values);
    }
    // The stored row of a day: open, high, low, close, volume; empty when there is none.
    std::vector<FieldValue> StoredRow(const std::string& id, int32_t date) {
        RecordsetPtr rs =
            Daily("SELECT 始値,高値,安値,終値,出来高 FROM TBL日次 WHERE 銘柄ID = ? AND 日付 = ?",
                  {id, int64_t{date}});
        if (!rs || rs->RecordCount() == 0) return {};
        std::vector<FieldValue> row = rs->Row(0);
        for (FieldValue& value : row)
            if (!IsNull(value)) value = FieldNumber(value);
        return row;
    }
    int StoredCount(const std::string& id) {
        RecordsetPtr rs = Daily("SELECT COUNT(*) FROM TBL日次 WHERE 銘柄ID = ?", {id});
        return rs ? static_cast<int>(rs->Number(0)) : -1;
    }
    // 最終日, 株価, 前日比, 出来高 of the issue's attribute row.
    std::vector<FieldValue> StoredSummary(const std::string& id) {
        RecordsetPtr rs =
            Daily("SELECT 最終日,株価,前日比,出来高 FROM TBL銘柄属性 WHERE 銘柄ID = ?", {id});
        std::vector<FieldValue> row = rs->Row(0);
        for (FieldValue& value : row)
            if (!IsNull(value)) value = FieldNumber(value);
        return row;
    }
    static int32_t DateNumber(const QDate& day) {
        return day.year() * 10000 + day.month() * 100 + day.day();
    }

    // The list's grid row of an issue.
    static int ListRowOf(const std::string& id) {
        FlexGrid& grid = SelectionWindow().Grid();
        for (int row = 1; row < grid.Rows(); ++row) {
            const int position = std::stoi(grid.TextMatrix(row, 0)) - 1;
            if (FieldText(RecordAt(IssueList().IssueListRecordset, position).at(kField銘柄ID)) ==
                id)
                return row;
        }
        return -1;
    }
    // The list rows from one issue to another selected, as the user drags over them.
    static void SelectIssues(const std::string& first, const std::string& last) {
        FlexGrid& grid = SelectionWindow().Grid();
        grid.SetRow(ListRowOf(first));
        grid.SetRowSel(ListRowOf(last));
    }
    // The data table command with the test run inside the modal window; the window is
    // cancelled afterwards when the test left it open.
    void WithTable(const std::function<void(FRM_データ表&)>& test) {
        bool ran = false;
        AnswerNextModalNamed(QString::fromUtf8(kDataTableFormName), [&](QWidget* modal) {
            auto* window = dynamic_cast<FRM_データ表*>(modal);
            ASSERT_NE(window, nullptr);
            ran = true;
            test(*window);
            if (window->isVisible()) window->reject();
        });
        DoCommand(12);
        EXPECT_TRUE(ran);
        EXPECT_EQ(GridWheel().CurrentFormName, "");
    }
    void WithIssueTable(const std::string& id, const std::function<void(FRM_データ表&)>& test) {
        SelectIssues(id, id);
        WithTable(test);
    }

    static QLineEdit* TextEditor(FRM_データ表& window) {
        return window.findChild<QLineEdit*>("TXT_Edit");
    }
    static QDateEdit* DateEditor(FRM_データ表& window) {
        return window.findChild<QDateEdit*>("DPC_Edit");
    }
    static std::string Label(FRM_データ表& window, const char* name) {
        return window.findChild<QLabel*>(QString::fromUtf8(name))->text().toStdString();
    }
    // A value typed into the cell's editor and committed with Enter.
    static void TypeValue(FRM_データ表& window, int row, int col, const char* text) {
        window.Grid().SetRow(row);
        window.Grid().SetCol(col);
        window.FGR_日次_DblClick();
        QLineEdit* editor = TextEditor(window);
        ASSERT_TRUE(editor->isVisible());
        editor->clear();
        QTest::keyClicks(editor, QString::fromUtf8(text));
        QTest::keyClick(editor, Qt::Key_Return);
    }
    // The row's date picked in the date editor, which commits as it loses the focus.
    static void PickDate(FRM_データ表& window, int row, const QDate& date) {
        window.Grid().SetRow(row);
        window.Grid().SetCol(kDtColDate);
        window.FGR_日次_DblClick();
        ASSERT_TRUE(DateEditor(window)->isVisible());
        DateEditor(window)->setDate(date);
        window.DPC_Edit_LostFocus();
    }

    std::unique_ptr<MarketFixture> market_;
    ScriptedSink sink_;
};
