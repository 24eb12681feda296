// ctest-labels: db
#include "foundation/sql_builders.h"

#include <gtest/gtest.h>

namespace {

struct BuilderCase {
    const char* what;
    std::string actual;
    std::string expected;
};

TEST(SqlBuilders, TextsAreExact) {
    const BuilderCase cases[] = {
        {"market list", MakeSijouSql(), "SELECT * FROM TBL市場 ORDER BY 表示順"},
        {"daily bars", MakeDailyBarsSql("1301211"),
         "SELECT 日付,始値,高値,安値,終値,出来高 FROM TBL日次 WHERE 銘柄ID = '1301211' ORDER BY "
         "日付 DESC"},
        {"daily insert", MakeDailyInsertSql("'1301211',20240105,1,2,3,4,5"),
         "INSERT INTO TBL日次 (銘柄ID,日付,始値,高値,安値,終値,出来高) VALUES ( "
         "'1301211',20240105,1,2,3,4,5)"},
        {"daily delete", MakeDailyDeleteSql("日付 = 20240105"),
         "DELETE FROM TBL日次 WHERE 日付 = 20240105"},
        {"daily update", MakeDailyUpdateSql("終値 = 5 WHERE 日付 = 1"),
         "UPDATE TBL日次 SET 終値 = 5 WHERE 日付 = 1"},
        {"update", MakeUpdateSql("TBL銘柄属性", "注目 = 1"), "UPDATE TBL銘柄属性 SET 注目 = 1"},
        {"select", MakeSelectSql("TBL業種", "業種コード,業種名"),
         "SELECT 業種コード,業種名 FROM TBL業種"},
        {"delete", MakeDeleteSql("TBL関門"), "DELETE FROM TBL関門"},
        {"bars daily ascending", MakeBarsSql("1301211", "TBL日次", -1),
         "SELECT 日付,始値,高値,安値,終値,出来高 FROM TBL日次 WHERE 銘柄ID='1301211' ORDER BY 日付 "
         "ASC"},
        {"bars weekly descending", MakeBarsSql("1301211", "TBL週次", 0),
         "SELECT 開始日,始値,高値,安値,終値,出来高,終了日 FROM TBL週次 WHERE 銘柄ID='1301211' "
         "ORDER BY 開始日 DESC"},
        {"bars monthly, server order", MakeBarsSql("1301211", "TBL月次", 1),
         "SELECT 開始日,始値,高値,安値,終値,出来高,終了日 FROM TBL月次 WHERE 銘柄ID='1301211' "
         "ORDER BY 開始日"},
        {"bars of another table", MakeBarsSql("1301211", "TBL市場", -1), ""},
        {"bars of no table", MakeBarsSql("1301211", "", -1), ""},
        {"quote in an issue id stays inside the literal", MakeBarsSql("13'01", "TBL日次", 0),
         "SELECT 日付,始値,高値,安値,終値,出来高 FROM TBL日次 WHERE 銘柄ID='13''01' ORDER BY 日付 "
         "DESC"},
        // The caller's pieces go in as written: blanks, quotes and brackets included.
        {"daily bars of an empty id", MakeDailyBarsSql(""),
         "SELECT 日付,始値,高値,安値,終値,出来高 FROM TBL日次 WHERE 銘柄ID = '' ORDER BY 日付 "
         "DESC"},
        {"daily insert of no values", MakeDailyInsertSql(""),
         "INSERT INTO TBL日次 (銘柄ID,日付,始値,高値,安値,終値,出来高) VALUES ( )"},
        {"daily insert keeps the caller's blanks", MakeDailyInsertSql(" '1301211', 20240105 ,1 "),
         "INSERT INTO TBL日次 (銘柄ID,日付,始値,高値,安値,終値,出来高) VALUES (  '1301211', "
         "20240105 ,1 )"},
        {"daily delete keeps a trailing blank and quotes",
         MakeDailyDeleteSql("銘柄ID = '1301211' AND (日付 >= 20240101) "),
         "DELETE FROM TBL日次 WHERE 銘柄ID = '1301211' AND (日付 >= 20240101) "},
        {"daily update with an empty text written as two double quotes",
         MakeDailyUpdateSql("出来高 = 0, 終値 = \"\" WHERE 銘柄ID = '1301211'"),
         "UPDATE TBL日次 SET 出来高 = 0, 終値 = \"\" WHERE 銘柄ID = '1301211'"},
        {"update of nothing", MakeUpdateSql("TBL銘柄属性", ""), "UPDATE TBL銘柄属性 SET "},
        {"select keeps the blanks of its pieces", MakeSelectSql("TBL分割係数 ", "* "),
         "SELECT *  FROM TBL分割係数 "},
        {"delete with a condition appended", MakeDeleteSql("TBL斜線") + " WHERE user_id=3 ",
         "DELETE FROM TBL斜線 WHERE user_id=3 "},
        {"bars of an empty id", MakeBarsSql("", "TBL週次", -1),
         "SELECT 開始日,始値,高値,安値,終値,出来高,終了日 FROM TBL週次 WHERE 銘柄ID='' ORDER BY "
         "開始日 ASC"},
        {"bars with a flag far from -1 and 0", MakeBarsSql("1301211", "TBL日次", -32768),
         "SELECT 日付,始値,高値,安値,終値,出来高 FROM TBL日次 WHERE 銘柄ID='1301211' ORDER BY "
         "日付"},
        {"bars of a table name with a trailing blank", MakeBarsSql("1301211", "TBL日次 ", -1), ""},
        {"text value", SqlText("a'b"), "'a''b'"},
        {"true", SqlBool(true), "1"},
        {"false", SqlBool(false), "0"},
    };
    for (const BuilderCase& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST(SqlBuilders, AttributeQueryListsEveryColumnThenTheJoins) {
    const std::string head =
        "SELECT DISTINCT TBL銘柄属性.銘柄ID, TBL銘柄属性.銘柄名, TBL銘柄属性.注目, "
        "TBL銘柄属性.証券コード, "
        "TBL銘柄属性.市場コード, TBL銘柄属性.業種コード, TBL銘柄属性.売買単位, TBL銘柄属性.最終日, "
        "TBL銘柄属性.前日比, TBL銘柄属性.株価, TBL銘柄属性.出来高, TBL銘柄属性.上昇率, "
        "TBL銘柄属性.下落率, "
        "TBL銘柄属性.メモ, TBL銘柄属性.法則日, TBL銘柄属性.法則, TBL銘柄属性.転換日, "
        "TBL銘柄属性.転換状況, "
        "TBL銘柄属性.転換法則, TBL銘柄属性.斜線K, TBL銘柄属性.斜線D, TBL銘柄属性.斜線W, "
        "TBL銘柄属性.斜線M, "
        "TBL銘柄属性.関門K, TBL銘柄属性.関門D, TBL銘柄属性.関門W, TBL銘柄属性.関門M, "
        "TBL銘柄属性.順次株価, "
        "TBL銘柄属性.順次法則, TBL銘柄属性.順次観測, TBL銘柄属性.順次観測日, TBL銘柄属性.逆次株価, "
        "TBL銘柄属性.逆次法則, TBL銘柄属性.逆次観測, TBL銘柄属性.逆次観測日, "
        "TBL市場.市場名,TBL市場.略称,TBL市場.表示順,TBL業種.業種名 FROM (TBL市場 INNER JOIN "
        "TBL銘柄属性 ON "
        "TBL市場.市場コード = TBL銘柄属性.市場コード) LEFT JOIN TBL業種 ON TBL銘柄属性.業種コード "
        "= "
        "TBL業種.業種コード";
    EXPECT_EQ(MakeIssueAttrSql(""), head);
    EXPECT_EQ(MakeIssueAttrSql(kAllIssuesListTail), head + " ORDER BY 証券コード,表示順");
}

}  // namespace
