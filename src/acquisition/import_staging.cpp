#include "acquisition/import_staging.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "foundation/database.h"
#include "foundation/text_utils.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"

namespace {

constexpr int kStagedFields = 8;
constexpr int kMasterFields = 6;
constexpr int kNameBytes = 50;
constexpr int kMaxIndustry = 36;

// The master row of one code: code, name, industry, figure.
using MasterRow = std::array<std::string, 4>;

std::vector<std::string> SplitFields(std::string_view line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t comma; (comma = line.find(',', start)) != std::string_view::npos; start = comma + 1)
        fields.emplace_back(line.substr(start, comma - start));
    fields.emplace_back(line.substr(start));
    return fields;
}

bool ReadMemberText(const std::string& path, std::string& text) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    text = FromCp932(bytes);
    return true;
}

std::string NumberOrZero(const std::string& field) {
    return IsNumericText(field) ? field : "0";
}

// A whole number as the platform rounds it: an exact half to the even neighbour.
long long WholeNumber(const std::string& text) {
    return std::llrint(NumericValue(text));
}

std::string IndustryCode(const std::string& field) {
    if (!IsNumericText(field)) return "00";
    const double value = NumericValue(field);
    if (value <= 0 || value > kMaxIndustry) return "00";
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02lld", WholeNumber(field));
    return digits;
}

std::string Figure(const std::string& field) {
    if (TrimSpaces(field).empty() || !IsNumericText(field)) return "0";
    return std::to_string(WholeNumber(field));
}

bool MasterRowOf(std::string_view line, MasterRow& row) {
    const std::vector<std::string> fields = SplitFields(line);
    if (fields.size() < kMasterFields || fields[0].empty() || fields[2].empty()) return false;
    row = {ToNarrow(TrimSpaces(fields[0])), LeftSjis(fields[2], kNameBytes),
           IndustryCode(fields[3]), Figure(fields[5])};
    return true;
}

// Walks both code-ordered lists once; staging codes without a master row are passed.
void JoinMaster(StagingTable& table, const std::vector<MasterRow>& master) {
    size_t s = 0;
    size_t m = 0;
    while (s < table.size() && m < master.size()) {
        const std::string& code = table[s][kStagingCode];
        if (code < master[m][0]) {
            ++s;
        } else if (master[m][0] < code) {
            ++m;
        } else {
            std::copy(master[m].begin() + 1, master[m].end(), table[s].begin() + 8);
            ++s;
        }
    }
}

bool ByCode(const StagingRow& a, const StagingRow& b) {
    return a[kStagingCode] < b[kStagingCode];
}

}  // namespace

bool StageFirstLine(StagingTable& table, const std::string& path, int32_t importDate) {
    std::string text;
    if (!ReadMemberText(path, text)) return false;
    const std::vector<std::string_view> lines = TextLines(text);
    if (lines.empty()) return false;
    std::vector<std::string> f = SplitFields(lines.front());
    if (f.size() < kStagedFields) return false;
    for (std::string& field : f) field = TrimSpaces(field);
    if (f[0].size() != 8 || f[0] != std::to_string(importDate)) return false;
    table.push_back({f[0], NumberOrZero(f[3]), ToNarrow(f[1]), NumberOrZero(f[4]),
                     NumberOrZero(f[5]), "100", NumberOrZero(f[6]), NumberOrZero(f[7]),
                     LeftSjis(f[2], kNameBytes), "00", "0"});
    return true;
}

bool MergeIssueMaster(StagingTable& table, const std::string& path,
                      const std::function<bool()>& keepGoing) {
    std::stable_sort(table.begin(), table.end(), ByCode);
    std::string text;
    if (!ReadMemberText(path, text)) return false;
    std::vector<MasterRow> master;
    for (std::string_view line : TextLines(text)) {
        MasterRow row;
        if (MasterRowOf(line, row)) master.push_back(std::move(row));
        if (keepGoing && !keepGoing()) return false;
    }
    std::stable_sort(master.begin(), master.end(),
                     [](const MasterRow& a, const MasterRow& b) { return a[0] < b[0]; });
    JoinMaster(table, master);
    return true;
}

void MapIndexCodes(StagingTable& table) {
    auto first = std::find_if(table.begin(), table.end(),
                              [](const StagingRow& row) { return row[kStagingCode] == "I001"; });
    if (first != table.end()) (*first)[kStagingCode] = "0312";
    for (StagingRow& row : table) {
        std::string& code = row[kStagingCode];
        if (code.rfind("I1", 0) == 0) code = "04" + code.substr(code.size() - 2);
    }
}

bool DeleteDailyRowsOfDate(int32_t date) {
    std::string sql = "DELETE FROM TBL日次 WHERE 日付 = ?";
    RecordsetPtr none;
    return ExecuteSql(Database().DailyConnection, sql, none, {int64_t{date}});
}
