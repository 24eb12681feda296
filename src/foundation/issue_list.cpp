#include "foundation/issue_list.h"

#include <QAbstractButton>
#include <QWidget>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/settings.h"
#include "foundation/sql_builders.h"
#include "foundation/state.h"
#include "foundation/text_stores.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/number_format.h"

namespace {

// Issues by security code, an issue on several markets by the markets' display order.
constexpr const char* kListOrder = kAllIssuesListTail;
// 指標 is the market name of the index issues.
constexpr const char* kNoIndexCondition = " AND 市場名 <> '指標' ";
// An issue ID that matches no issue: it keeps the IN list of the watched issues valid.
constexpr const char* kNoIssueEntry = "'9999999'";

// A TAB inside a value would shift every later cell of its row.
std::string CellText(std::string text) {
    for (char& c : text)
        if (c == '\t') c = ' ';
    return text;
}

std::string TrimmedField(const std::vector<FieldValue>& record, int field) {
    return CellText(TrimSpaces(FieldText(record.at(field))));
}

std::string Lookup(const IssueValueLookup& index, const std::string& issueId) {
    const auto found = index.find(issueId);
    return found == index.end() ? std::string() : found->second;
}

std::string Required(const std::function<std::string()>& source) {
    if (!source) throw std::runtime_error("コントロールが見つかりません。");
    return source();
}

// The name and code searches: the typed text is bound as a value, so no quote or backslash
// in it can reach the statement; a % or _ in it still acts as LIKE's wildcard, as the
// search has always let it.
ListTail SearchTail(const char* column, const std::string& pattern, bool withoutIndices) {
    return {std::string(" WHERE ") + column + " LIKE ?" + kLikeEscape +
                (withoutIndices ? kNoIndexCondition : "") + kListOrder,
            {pattern}};
}

ListTail CompoundSearchTail(const std::function<bool(ListTail&)>& source) {
    if (!source) throw std::runtime_error("コントロールが見つかりません。");
    ListTail tail;
    if (!source(tail)) return {{}, {}, true};
    return tail;
}

ListTail BuildListTail(int mode) {
    if (mode == kListStartup)
        mode = Settei().Record.SearchSettei.CHK_Save == 1 ? kListCompound : kListAll;
    const ListTailSources& sources = IssueList().Sources;
    switch (mode) {
        case kListAll:
            return {kListOrder, {}};
        case kListCompound:
            return CompoundSearchTail(sources.MakeSearchSql);
        case kListByName:
        case kListByNameNoIndex:
            return SearchTail("銘柄名", "%" + LikeText(Required(sources.SearchNameText)) + "%",
                              mode == kListByNameNoIndex);
        case kListByCode:
        case kListByCodeNoIndex:
            return SearchTail("証券コード", LikeText(Required(sources.SearchCodeText)) + "%",
                              mode == kListByCodeNoIndex);
        case kListForward:
        case kListBackward: {
            const std::string selected = sources.SelectedIdList ? sources.SelectedIdList() : "";
            const char* rule = mode == kListForward ? " 順次法則 <> " : " 逆次法則 <> ";
            // "" is the database's empty text; ExecuteSql turns it into ''.
            return {" WHERE " + selected + rule + "\"\"" + kListOrder, {}};
        }
        case kListWatched:
            return {" WHERE 銘柄ID IN(" + WatchedIdList(TextStores().ChuumokuText) + kNoIssueEntry +
                        ") " + kListOrder,
                    {}};
        default:
            return {};
    }
}

}  // namespace

ListTail MakeListSql(int mode) {
    ListTail tail;
    RunTrapped([&] { tail = BuildListTail(mode); });
    return tail;
}

bool QueryIssueList(int mode, RecordsetPtr& recordset) {
    const ListTail tail = MakeListSql(mode);
    if (tail.Failed) return false;
    std::string sql = MakeIssueAttrSql(tail.Text);
    return ExecuteSql(Database().DailyConnection, sql, recordset, tail.Parameters);
}

std::string WatchedIdList(std::string_view chuumokuText) {
    std::string list;
    size_t start = 0;
    // What follows the last CR LF is no line of the store.
    for (size_t end; (end = chuumokuText.find("\r\n", start)) != std::string_view::npos;
         start = end + 2) {
        const std::string_view line = chuumokuText.substr(start, end - start);
        const size_t tab = line.find('\t');
        // A line whose ID is not one the catalogs could hold watches nothing; the file's
        // bytes never reach the statement.
        if (tab == std::string_view::npos || !IsIssueIdForm(line.substr(0, tab))) continue;
        list += SqlText(line.substr(0, tab)) + ",";
    }
    return list;
}

std::string MakeWhereId(std::string_view issueId) {
    return std::string(" WHERE ") + "銘柄ID" + "=" + SqlText(issueId);
}

std::string MakeOrderBy(std::string_view columns) {
    return " ORDER BY " + std::string(columns);
}

const std::vector<FieldValue>& RecordAt(const RecordsetPtr& recordset, int32_t position) {
    if (!recordset || position < 0 || position >= recordset->RecordCount())
        throw std::out_of_range(kErrSubscriptOutOfRange);
    return recordset->Row(position);
}

int32_t LabelNumber(std::string_view text) {
    const std::string trimmed = TrimSpaces(text);
    int32_t number = 0;
    const char* end = trimmed.data() + trimmed.size();
    const auto [ptr, error] = std::from_chars(trimmed.data(), end, number);
    if (trimmed.empty() || error != std::errc() || ptr != end)
        throw std::invalid_argument(kErrTypeMismatch);
    return number;
}

double IndexFactor(std::string_view code) {
    if (code == "0301") return 0.01;
    if (code == "0315") return 0.1;
    return 1.0;
}

std::string IssueGridLine(const std::vector<FieldValue>& record, std::string_view label,
                          const IssueValueLookup& memos, const IssueValueLookup& watches) {
    const std::string issueId = TrimSpaces(FieldText(record.at(kField銘柄ID)));
    const std::string code = TrimmedField(record, kField証券コード);
    const double factor = IndexFactor(code);

    // Whole numbers of any size: a catalog value past 64 bits still shows its digits.
    const FieldValue& price = record.at(kField株価);
    const std::string priceText = WholeNumberText(std::trunc(FieldNumber(price) * factor + 0.5));
    const FieldValue& change = record.at(kField前日比);
    const std::string changeText =
        IsNull(change) ? kNullChangeText
                       : WholeNumberText(std::floor(FieldNumber(change) * factor + 0.5));
    const FieldValue& turnDate = record.at(kField転換日);
    const double turnDateNumber = FieldNumber(turnDate);
    // A turn date too large for a date number is no date.
    const std::string turnDateText = IsNull(turnDate) || !FitsWhole<int32_t>(turnDateNumber)
                                         ? ""
                                         : FormatDateNumber(static_cast<int32_t>(turnDateNumber));

    const std::string cells[kListGridCols] = {
        CellText(std::string(label)),
        TrimmedField(record, kField表示順),
        code,
        Lookup(watches, issueId),
        TrimmedField(record, kField銘柄名),
        TrimmedField(record, kField略称),
        priceText,
        changeText,
        TrimmedField(record, kField売買単位),
        TrimmedField(record, kField転換状況),
        turnDateText,
        TrimmedField(record, kField上昇率),
        TrimmedField(record, kField下落率),
        IsTrueValue(record.at(kField斜線W)) ? "○" : "",
        IsTrueValue(record.at(kField関門W)) ? "○" : "",
        TrimmedField(record, kField業種名),
        Lookup(memos, issueId),
    };
    std::string line;
    for (int col = 0; col < kListGridCols; ++col) {
        if (col > 0) line += '\t';
        line += cells[col];
    }
    return line;
}
