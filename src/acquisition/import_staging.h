#pragma once
// The staging steps of an archive import: rows taken from a day's members into a staging
// table, the issue master's names and codes merged into them, the index codes mapped, and
// the day's old daily rows deleted. Nothing calls them from a window yet: the import that
// would order them, the reader of the daily-price member and the transfer into TBL日次
// are not built.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One staging row, kStagingColumns cells: date, open, code, high, low, unit ("100"),
// close, volume, name, industry ("00"), figure.
using StagingRow = std::vector<std::string>;
using StagingTable = std::vector<StagingRow>;
inline constexpr int kStagingColumns = 11;
inline constexpr int kStagingCode = 2;

// Reads the first line of a member (code page 932, fields split at ",") and appends one
// row when it has at least 8 fields and its first field is importDate (yyyymmdd).
bool StageFirstLine(StagingTable& table, const std::string& path, int32_t importDate);
// Merges the issue master member into the table: the rows of each code receive the
// master's name, industry and figure. keepGoing runs after every line read; false stops
// the merge, which then fails.
bool MergeIssueMaster(StagingTable& table, const std::string& path,
                      const std::function<bool()>& keepGoing = {});
// The index codes of the data server as stored: the first "I001" becomes "0312", and
// every code that begins with "I1" becomes "04" followed by its last two characters.
void MapIndexCodes(StagingTable& table);
// Deletes every daily row of the date (yyyymmdd); false after a shown failure.
bool DeleteDailyRowsOfDate(int32_t date);
