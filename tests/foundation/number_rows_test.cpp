// ctest-labels: db
#include "foundation/number_rows.h"

#include <gtest/gtest.h>

TEST(NumberRows, RowsStartAsZerosAndKeepNoFieldsOfAnEarlierStatement) {
    NumberRows rows;
    rows.Reset(3);
    double* first = rows.AddRow();
    first[0] = 1;
    first[2] = 3;
    rows.SetNull(0, 1);
    for (int r = 1; r < 3000; ++r) rows.AddRow()[1] = r;
    ASSERT_EQ(rows.RecordCount(), 3000);
    EXPECT_EQ(rows.FieldCount(), 3);
    EXPECT_DOUBLE_EQ(rows.Number(0, 0), 1);
    EXPECT_DOUBLE_EQ(rows.Number(0, 2), 3);
    EXPECT_TRUE(rows.IsNull(0, 1));
    EXPECT_TRUE(rows.AnyNull());
    EXPECT_DOUBLE_EQ(rows.Number(2999, 1), 2999);
    EXPECT_FALSE(rows.IsNull(2999, 1));

    rows.Reset(2);
    EXPECT_EQ(rows.RecordCount(), 0);
    EXPECT_FALSE(rows.AnyNull());
    rows.AddRow();
    EXPECT_DOUBLE_EQ(rows.Number(0, 0), 0);
    EXPECT_DOUBLE_EQ(rows.Number(0, 1), 0);
    EXPECT_FALSE(rows.IsNull(0, 0));
    EXPECT_FALSE(rows.IsNull(0, 1));
}

TEST(NumberRows, ARecordsetGivesTheNumbersItsFieldsGive) {
    const Recordset recordset({"a", "b", "c", "d"},
                              {{int64_t{20240105}, 12.5, std::monostate{}, std::string("7.5")},
                               {int64_t{-3}, 0.0, std::string("x"), std::string("")}});
    NumberRows rows;
    NumberRowsOf(recordset, rows);
    ASSERT_EQ(rows.RecordCount(), 2);
    ASSERT_EQ(rows.FieldCount(), 4);
    for (int r = 0; r < 2; ++r)
        for (int f = 0; f < 4; ++f) {
            EXPECT_DOUBLE_EQ(rows.Number(r, f), FieldNumber(recordset.Row(r)[f])) << r << f;
            EXPECT_EQ(rows.IsNull(r, f), IsNull(recordset.Row(r)[f])) << r << f;
        }
}
