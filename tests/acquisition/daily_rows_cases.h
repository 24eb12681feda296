#pragma once
// Deleting one day's daily rows before that day is imported again, on a small synthetic
// market: run on SQLite (daily_rows_test) and on the throwaway PostgreSQL server
// (daily_rows_pg_test).
#include <gtest/gtest.h>

#include <memory>

#include "acquisition/import_staging.h"
#include "foundation/database.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"

namespace daily_rows_cases {

class DailyRows : public testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(GetParam(), MarketSpec{2, 5});
        KABUTO_REQUIRE_MARKET(*market_);
    }
    int64_t Count(const std::string& where, const std::vector<FieldValue>& parameters) {
        std::string sql = "SELECT COUNT(*) FROM TBL日次" + where;
        RecordsetPtr rows;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, sql, rows, parameters));
        return rows ? static_cast<int64_t>(FieldNumber(rows->Field(0))) : -1;
    }

    std::unique_ptr<MarketFixture> market_;
};

TEST_P(DailyRows, DeletesEveryRowOfTheDateAndNoOther) {
    const int32_t first = market_->Summary().FirstDate;
    const int32_t last = market_->Summary().LastDate;
    struct Case {
        const char* what;
        int32_t date;
        bool hasRows;
    };
    const Case cases[] = {
        {"the last day", last, true},
        {"the first day", first, true},
        {"a day without rows", 19990101, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int64_t all = Count("", {});
        const int64_t ofDate = Count(" WHERE 日付 = ?", {int64_t{c.date}});
        EXPECT_EQ(ofDate > 0, c.hasRows);
        EXPECT_TRUE(DeleteDailyRowsOfDate(c.date));
        EXPECT_EQ(Count(" WHERE 日付 = ?", {int64_t{c.date}}), 0);
        EXPECT_EQ(Count("", {}), all - ofDate);
    }
}

}  // namespace daily_rows_cases

using daily_rows_cases::DailyRows;
