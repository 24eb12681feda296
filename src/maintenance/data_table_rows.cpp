#include "maintenance/data_table_rows.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "analysis/dates.h"
#include "foundation/error_texts.h"
#include "foundation/sql_builders.h"
#include "foundation/text_utils.h"
#include "platform/number_format.h"

namespace {

constexpr const char* kValueFormat = "##,##0";

// Which other prices an edit of a column pulls to the new value N: raised to N where they
// lie below it, lowered to N where they lie above it.
struct PullRule {
    std::vector<int> RaiseToN;
    std::vector<int> LowerToN;
};

PullRule PullRuleOf(int col) {
    switch (col) {
        case kDtColOpen:
            return {{kDtColHigh}, {kDtColLow}};
        case kDtColHigh:
            return {{}, {kDtColOpen, kDtColLow, kDtColClose}};
        case kDtColLow:
            return {{kDtColOpen, kDtColHigh, kDtColClose}, {}};
        case kDtColClose:
            return {{kDtColHigh}, {kDtColLow}};
        default:
            return {};
    }
}

void CheckValueColumn(int col) {
    if (col < kDtColOpen || col > kDtColVolume) throw std::out_of_range(kErrSubscriptOutOfRange);
}

}  // namespace

double DailyValue::Shown() const {
    return Null ? 0.0 : RoundDecimalHalfAway(Stored, 0);
}

std::string DailyValue::Text() const {
    if (Null) return "0";
    // A fill formats every value of thousands of rows, so the whole number is grouped here.
    // The general format rounds halves on the decimal form; a fraction near one half, or a
    // value whose decimal form has few decimals, is left to it.
    const double fraction = std::fabs(Stored - std::trunc(Stored));
    if (std::fabs(Stored) >= 1e9 || std::fabs(fraction - 0.5) < 1e-6)
        return FormatNumber(Stored, kValueFormat);
    const auto whole = static_cast<int64_t>(std::round(Stored));
    // Written from the last digit back, a comma before each full group of three.
    char buffer[24];
    char* const end = buffer + sizeof buffer;
    char* at = end;
    uint64_t rest = whole < 0 ? 0 - static_cast<uint64_t>(whole) : static_cast<uint64_t>(whole);
    for (int written = 0; written == 0 || rest > 0; ++written, rest /= 10) {
        if (written > 0 && written % 3 == 0) *--at = ',';
        *--at = static_cast<char>('0' + rest % 10);
    }
    if (whole < 0) *--at = '-';
    return std::string(at, end);
}

FieldValue DailyValue::Bound() const {
    if (Null) return std::monostate{};
    return Stored;
}

std::string DailyRow::DateText() const {
    // A stored date of eight digits, written without the general formatter: a fill writes
    // one for each of thousands of rows.
    if (Date < 10000101 || Date > 99991231) return FormatDateNumber(Date);
    std::string text = "0000/00/00";
    int32_t rest = Date;
    for (const int at : {9, 8, 6, 5, 3, 2, 1, 0}) {
        text[static_cast<size_t>(at)] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    }
    return text;
}

void DailyRowTable::Clear() {
    rows_.clear();
    deletedDates_.clear();
}

void DailyRowTable::Fill(const NumberRows& rows) {
    Clear();
    rows_.resize(static_cast<size_t>(rows.RecordCount()));
    for (int r = 0; r < rows.RecordCount(); ++r) {
        DailyRow& row = rows_[static_cast<size_t>(r)];
        row.Date = static_cast<int32_t>(rows.Number(r, 0));
        for (int v = 0; v < 5; ++v) row.Values[v] = {rows.Number(r, v + 1), rows.IsNull(r, v + 1)};
    }
}

std::vector<std::string> DailyRowTable::Cells(int gridRow) const {
    const DailyRow& row = Row(gridRow);
    std::vector<std::string> cells(kDtCols);
    cells[kDtColState] = row.State;
    cells[kDtColDate] = row.DateText();
    for (int col = kDtColOpen; col <= kDtColVolume; ++col) cells[col] = row.Value(col).Text();
    return cells;
}

bool DailyRowTable::ValueRefused(int col, double value) {
    CheckValueColumn(col);
    return col >= kDtColClose ? !(value > 0) : !(value >= 0);
}

bool DailyRowTable::CommitValue(int gridRow, int col, double value) {
    CheckValueColumn(col);
    DailyRow& row = rows_.at(gridRow - 1);
    if (col != kDtColVolume && row.Value(col).Shown() == value) return false;
    const PullRule rule = PullRuleOf(col);
    for (const int other : rule.RaiseToN)
        if (row.Value(other).Shown() < value) row.Value(other) = DailyValue::Written(value);
    for (const int other : rule.LowerToN)
        if (row.Value(other).Shown() > value) row.Value(other) = DailyValue::Written(value);
    row.Value(col) = DailyValue::Written(value);
    if (row.State != kRowAdd) row.State = kRowChange;
    return true;
}

DailyRowTable::DateCheck DailyRowTable::CheckNewDate(int gridRow, int32_t date) const {
    if (Row(gridRow).Date == date) return DateCheck::Same;
    const bool taken = std::any_of(rows_.begin(), rows_.end(),
                                   [date](const DailyRow& row) { return row.Date == date; });
    return taken ? DateCheck::Duplicate : DateCheck::Move;
}

int DailyRowTable::MoveToDate(int gridRow, int32_t date) {
    DailyRow moved = Row(gridRow);
    moved.State = kRowAdd;
    moved.Date = date;
    // A stored row removed from this date is still in the table: the moved row updates it.
    const std::string dateText = moved.DateText();
    const auto deleted = std::find(deletedDates_.begin(), deletedDates_.end(), dateText);
    if (deleted != deletedDates_.end()) {
        deleted->clear();
        moved.State = kRowChange;
    }
    DeleteRows(gridRow, gridRow);
    rows_.push_back(std::move(moved));
    SortNewestFirst();
    const auto at = std::find_if(rows_.begin(), rows_.end(),
                                 [date](const DailyRow& row) { return row.Date == date; });
    return static_cast<int>(at - rows_.begin()) + 1;
}

void DailyRowTable::DeleteRows(int first, int last) {
    if (first < 1 || last > Count() || first > last)
        throw std::out_of_range(kErrSubscriptOutOfRange);
    for (int r = first; r <= last; ++r) {
        DailyRow& row = rows_[static_cast<size_t>(r - 1)];
        if (row.State != kRowAdd) deletedDates_.push_back(row.DateText());
        row.State = kRowRemoving;
    }
    std::erase_if(rows_, [](const DailyRow& row) { return row.State == kRowRemoving; });
    SortNewestFirst();
}

bool DailyRowTable::HasDate(int32_t date) const {
    return std::any_of(rows_.begin(), rows_.end(),
                       [date](const DailyRow& row) { return row.Date == date; });
}

int DailyRowTable::AddRow(int32_t date) {
    DailyRow added;
    added.Date = date;
    added.State = kRowAdd;
    const auto deleted = std::find(deletedDates_.begin(), deletedDates_.end(), added.DateText());
    if (deleted != deletedDates_.end()) {
        deleted->clear();
        added.State = kRowChange;
    }
    added.Value(kDtColVolume) = DailyValue::Written(1);
    rows_.push_back(std::move(added));
    SortNewestFirst();
    const auto at = std::find_if(rows_.begin(), rows_.end(),
                                 [date](const DailyRow& row) { return row.Date == date; });
    return static_cast<int>(at - rows_.begin()) + 1;
}

DailyRowTable::Range DailyRowTable::PeriodRows(int32_t start, int32_t end) const {
    Range range;
    for (int r = 1; r <= Count(); ++r) {
        const int32_t date = Row(r).Date;
        if (start != 0 && date < start) break;
        if (end != 0 && date > end) continue;
        if (range.First == 0) range.First = r;
        range.Last = r;
    }
    return range;
}

void DailyRowTable::SortNewestFirst() {
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const DailyRow& a, const DailyRow& b) { return a.Date > b.Date; });
}

DailyRowTable::Cell DailyRowTable::FirstCellToFix() const {
    for (int r = 1; r <= Count(); ++r) {
        const DailyRow& row = Row(r);
        if (row.State.empty() || row.Value(kDtColClose).Shown() != 0) continue;
        return {r, row.Value(kDtColVolume).Shown() > 0 ? kDtColClose : kDtColVolume};
    }
    return {};
}

int DailyRowTable::FirstRowToWrite() const {
    if (Count() == 0) return 0;
    if (!deletedDates_.empty()) return 1;
    for (int r = 1; r <= Count(); ++r)
        if (!Row(r).State.empty()) return r;
    return 0;
}

std::vector<BoundStatement> DailyRowTable::SaveStatements(const std::string& issueId,
                                                          int firstRow) const {
    static const std::string insert = MakeDailyInsertSql("?,?,?,?,?,?,?");
    static const std::string update = MakeDailyUpdateSql(
        "始値 = ?,高値 = ?,安値 = ?,終値 = ?,出来高 = ? WHERE (銘柄ID = ? AND 日付 = ?)");
    static const std::string remove = MakeDailyDeleteSql("銘柄ID = ? AND 日付 = ?");
    std::vector<BoundStatement> statements;
    for (int r = std::max(firstRow, 1); r <= Count(); ++r) {
        const DailyRow& row = Row(r);
        if (row.State.empty()) continue;
        BoundStatement statement;
        const bool change = row.State == kRowChange;
        statement.Text = change ? update : insert;
        if (!change) statement.Parameters = {issueId, int64_t{row.Date}};
        for (const DailyValue& value : row.Values) statement.Parameters.push_back(value.Bound());
        if (change) {
            statement.Parameters.emplace_back(issueId);
            statement.Parameters.emplace_back(int64_t{row.Date});
        }
        statements.push_back(std::move(statement));
    }
    for (const std::string& date : deletedDates_) {
        if (date.empty()) continue;
        statements.push_back({remove, {issueId, int64_t{DateToNum(date)}}});
    }
    return statements;
}

IssueSummary DailyRowTable::Summary() const {
    if (rows_.empty()) return {"", "0", kNoChangeText, "0"};
    const DailyRow& newest = rows_[0];
    IssueSummary summary;
    summary.LastDate = newest.DateText();
    const double close = newest.Value(kDtColClose).Shown();
    summary.Close = PlainNumber(close);
    summary.Change = rows_.size() == 1 ? std::string(kNoChangeText)
                                       : PlainNumber(close - rows_[1].Value(kDtColClose).Shown());
    summary.Volume = PlainNumber(newest.Value(kDtColVolume).Shown());
    return summary;
}
