#pragma once
// The issue list: the list query of a list mode, the recordset behind the issue grid and
// the fill of that grid, one row of 17 cells per issue. The selection services and the
// edit queue find an issue again through the grid's column 0, which holds the issue's
// 1-based position in IssueListRecordset.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/recordset.h"
#include "foundation/state.h"

class FlexGrid;
class QWidget;

// Positions of the fields of the attribute query that the list reads.
inline constexpr int kField銘柄ID = 0;
inline constexpr int kField銘柄名 = 1;
inline constexpr int kField注目 = 2;
inline constexpr int kField証券コード = 3;
inline constexpr int kField市場コード = 4;
inline constexpr int kField業種コード = 5;
inline constexpr int kField売買単位 = 6;
inline constexpr int kField最終日 = 7;
inline constexpr int kField前日比 = 8;
inline constexpr int kField株価 = 9;
inline constexpr int kField出来高 = 10;
inline constexpr int kField上昇率 = 11;
inline constexpr int kField下落率 = 12;
inline constexpr int kField転換日 = 16;
inline constexpr int kField転換状況 = 17;
inline constexpr int kField斜線W = 21;
inline constexpr int kField関門W = 25;
inline constexpr int kField略称 = 36;
inline constexpr int kField表示順 = 37;
inline constexpr int kField業種名 = 38;

inline constexpr int kListGridCols = 17;
inline constexpr const char* kListCountSuffix = " 件表示されました。";
inline constexpr const char* kNullChangeText = "－";

// List modes of the query tail.
enum ListMode : int {
    kListAll = 1,
    kListStartup = 2,
    kListCompound = 3,
    kListByName = 4,
    kListByCode = 5,
    kListForward = 6,
    kListBackward = 7,
    kListWatched = 8,
    kListByNameNoIndex = 9,
    kListByCodeNoIndex = 10,
};

// The tail of the attribute query for a list mode, with the values its "?" markers stand
// for, in order: the searches' typed texts travel as values, never inside the text.
struct ListTail {
    std::string Text;
    std::vector<FieldValue> Parameters;
};

// The tail of the attribute query for a list mode: its WHERE condition and ORDER BY.
// A failure while the tail is built is shown and gives an empty tail.
ListTail MakeListSql(int mode);
// The attribute query with the tail of a list mode, run on the daily catalog; false when
// it failed (ExecuteSql has told the user), leaving recordset as it was.
bool QueryIssueList(int mode, RecordsetPtr& recordset);
// The tail's IN list of watched issues: "'ID'," for every store line with an ID before
// its TAB, in store order.
std::string WatchedIdList(std::string_view chuumokuText);
// " WHERE 銘柄ID='ID'".
std::string MakeWhereId(std::string_view issueId);
// " ORDER BY " and the column list.
std::string MakeOrderBy(std::string_view columns);

// The record at a 0-based position of a recordset; throws when there is none.
const std::vector<FieldValue>& RecordAt(const RecordsetPtr& recordset, int32_t position);
// CLng of a row label: an integer text, blanks around; throws on anything else.
int32_t LabelNumber(std::string_view text);

using IssueValueLookup = std::unordered_map<std::string, std::string>;
// One row of the issue grid as TAB-separated text: the 17 cells of a record of the
// attribute query, with the label in column 0 and the memo and watch number looked up.
std::string IssueGridLine(const std::vector<FieldValue>& record, std::string_view label,
                          const IssueValueLookup& memos, const IssueValueLookup& watches);
// The index factor of a security code: 0.01 for "0301", 0.1 for "0315", else 1.
double IndexFactor(std::string_view code);
