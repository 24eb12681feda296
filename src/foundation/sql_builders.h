#pragma once
// The shared SQL statement builders and the table names of the price catalogs. Each
// builder only assembles text; statements run through ExecuteSql. No Qt types here.
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr const char* kIssueAttrTable = "TBL銘柄属性";
inline constexpr const char* kMarketTable = "TBL市場";
inline constexpr const char* kIndustryTable = "TBL業種";
inline constexpr const char* kDailyTable = "TBL日次";
inline constexpr const char* kWeeklyTable = "TBL週次";
inline constexpr const char* kMonthlyTable = "TBL月次";
inline constexpr const char* kSplitTable = "TBL分割係数";
inline constexpr const char* kShasenTable = "TBL斜線";
inline constexpr const char* kKanmonTable = "TBL関門";

// The 35 columns of TBL銘柄属性 in the order readers address them by position.
inline constexpr int kIssueAttrColumnCount = 35;
extern const char* const kIssueAttrColumns[kIssueAttrColumnCount];

// The list tail of the all-issues list (list mode 1).
inline constexpr const char* kAllIssuesListTail = " ORDER BY 証券コード,表示順";

// A text value inside single quotes, with every quote doubled, so that no value can end
// the literal early.
std::string SqlText(std::string_view value);
// A Boolean for the integer 0/1 mark columns; both engines accept it.
std::string SqlBool(bool value);

// LIKE's escape character, named in every LIKE so that both engines read a pattern alike:
// without it PostgreSQL takes a backslash as an escape and SQLite does not. "!" needs no
// escaping inside a quoted text on either engine, whatever the server's quoting setting.
inline constexpr const char* kLikeEscape = " ESCAPE '!'";
// The user's text for a LIKE pattern with kLikeEscape: the escape character doubled, so it
// stands for itself; % and _ stay the wildcards they always were and a backslash is plain.
std::string LikeText(std::string_view typed);

// An issue ID as the catalogs hold one: seven ASCII letters or digits. IDs read from files
// are checked with it before a statement carries them.
bool IsIssueIdForm(std::string_view id);

// The attribute query joined with the market and industry names, followed by the list
// tail of the list mode (the screening's MakeListSql gives it; empty for no tail).
std::string MakeIssueAttrSql(std::string_view listTail);
std::string MakeSijouSql();
std::string MakeDailyBarsSql(std::string_view issueId);
std::string MakeDailyInsertSql(std::string_view values);
std::string MakeDailyDeleteSql(std::string_view condition);
std::string MakeDailyUpdateSql(std::string_view assignments);
// Bars of one issue from TBL日次, TBL週次 or TBL月次; order flag -1 ascending, 0
// descending, anything else the server's order. Any other table gives "".
std::string MakeBarsSql(std::string_view issueId, std::string_view table, int16_t orderFlag);
// The same statement with the issue ID left to one bound "?": one text for every issue,
// which the engine prepares once.
std::string MakeBoundBarsSql(std::string_view table, int16_t orderFlag);
std::string MakeUpdateSql(std::string_view table, std::string_view assignments);
std::string MakeSelectSql(std::string_view table, std::string_view columns);
std::string MakeDeleteSql(std::string_view table);
