#include "foundation/sql_builders.h"

const char* const kIssueAttrColumns[kIssueAttrColumnCount] = {
    "銘柄ID",   "銘柄名",   "注目",       "証券コード", "市場コード", "業種コード", "売買単位",
    "最終日",   "前日比",   "株価",       "出来高",     "上昇率",     "下落率",     "メモ",
    "法則日",   "法則",     "転換日",     "転換状況",   "転換法則",   "斜線K",      "斜線D",
    "斜線W",    "斜線M",    "関門K",      "関門D",      "関門W",      "関門M",      "順次株価",
    "順次法則", "順次観測", "順次観測日", "逆次株価",   "逆次法則",   "逆次観測",   "逆次観測日"};

std::string SqlText(std::string_view value) {
    std::string out = "'";
    for (char c : value) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

std::string SqlBool(bool value) {
    return value ? "1" : "0";
}

std::string LikeText(std::string_view typed) {
    std::string out;
    for (char c : typed) {
        if (c == '!') out += '!';
        out += c;
    }
    return out;
}

bool IsIssueIdForm(std::string_view id) {
    constexpr size_t kIssueIdLength = 7;
    if (id.size() != kIssueIdLength) return false;
    for (char c : id) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!letter && !(c >= '0' && c <= '9')) return false;
    }
    return true;
}

// The issue ID goes between the builders' own quotes; doubling any quote in it keeps the
// exact text for every real ID and stops a crafted one from ending the literal.
static std::string QuotedInner(std::string_view value) {
    const std::string quoted = SqlText(value);
    return quoted.substr(1, quoted.size() - 2);
}

std::string MakeIssueAttrSql(std::string_view listTail) {
    std::string sql = "SELECT DISTINCT ";
    for (const char* column : kIssueAttrColumns)
        sql += std::string(kIssueAttrTable) + "." + column + ", ";
    sql += std::string(kMarketTable) + ".市場名,";
    sql += std::string(kMarketTable) + ".略称,";
    sql += std::string(kMarketTable) + ".表示順,";
    sql += std::string(kIndustryTable) + ".業種名";
    sql += std::string(" FROM (") + kMarketTable + " INNER JOIN " + kIssueAttrTable + " ON " +
           kMarketTable + ".市場コード = " + kIssueAttrTable + ".市場コード)";
    sql += std::string(" LEFT JOIN ") + kIndustryTable + " ON " + kIssueAttrTable +
           ".業種コード = " + kIndustryTable + ".業種コード";
    sql += listTail;
    return sql;
}

std::string MakeSijouSql() {
    return std::string("SELECT *") + " FROM " + kMarketTable + " ORDER BY 表示順";
}

std::string MakeDailyBarsSql(std::string_view issueId) {
    return std::string("SELECT 日付,始値,高値,安値,終値,出来高") + " FROM " + kDailyTable +
           " WHERE 銘柄ID = '" + QuotedInner(issueId) + "'" + " ORDER BY 日付 DESC";
}

std::string MakeDailyInsertSql(std::string_view values) {
    return std::string("INSERT INTO ") + kDailyTable + " (銘柄ID,日付,始値,高値,安値,終値,出来高)" +
           " VALUES ( " + std::string(values) + ")";
}

std::string MakeDailyDeleteSql(std::string_view condition) {
    return std::string("DELETE FROM ") + kDailyTable + " WHERE " + std::string(condition);
}

std::string MakeDailyUpdateSql(std::string_view assignments) {
    return std::string("UPDATE ") + kDailyTable + " SET " + std::string(assignments);
}

namespace {

// The bars statement with idPiece as the issue: a quoted literal or a bound "?".
std::string BarsSqlFor(std::string_view idPiece, std::string_view table, int16_t orderFlag) {
    std::string sql;
    std::string orderColumn;
    if (table == kDailyTable) {
        sql = "SELECT 日付,始値,高値,安値,終値,出来高";
        orderColumn = "日付";
    } else if (table == kWeeklyTable || table == kMonthlyTable) {
        sql = "SELECT 開始日,始値,高値,安値,終値,出来高,終了日";
        orderColumn = "開始日";
    } else {
        return "";
    }
    sql += " FROM " + std::string(table) + " WHERE " + "銘柄ID" + "=" + std::string(idPiece) +
           " ORDER BY " + orderColumn;
    if (orderFlag == -1) sql += " ASC";
    if (orderFlag == 0) sql += " DESC";
    return sql;
}

}  // namespace

std::string MakeBarsSql(std::string_view issueId, std::string_view table, int16_t orderFlag) {
    return BarsSqlFor("'" + QuotedInner(issueId) + "'", table, orderFlag);
}

std::string MakeBoundBarsSql(std::string_view table, int16_t orderFlag) {
    return BarsSqlFor("?", table, orderFlag);
}

std::string MakeUpdateSql(std::string_view table, std::string_view assignments) {
    return "UPDATE " + std::string(table) + " SET " + std::string(assignments);
}

std::string MakeSelectSql(std::string_view table, std::string_view columns) {
    return "SELECT " + std::string(columns) + " FROM " + std::string(table);
}

std::string MakeDeleteSql(std::string_view table) {
    return "DELETE FROM " + std::string(table);
}
