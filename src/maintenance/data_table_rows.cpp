#include "maintenance/data_table_rows.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
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

bool IsRealDate(double date) {
    if (!(date >= 10000101 && date <= 99991231) || date != std::trunc(date)) return false;
    const auto number = static_cast<int32_t>(date);
    const std::chrono::year_month_day day{std::chrono::year(number / 10000),
                                          std::chrono::month(number / 100 % 100),
                                          std::chrono::day(number % 100)};
    return day.ok();
}

// A stored date as the whole number the rows sort by: out-of-range numbers and texts are
// held at the ends of the range instead of being converted.
int32_t SortDate(double date) {
    if (!(date == date)) return std::numeric_limits<int32_t>::max();
    if (date >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (date <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(date);
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
    if (std::isnan(Stored)) return "NaN";
    if (std::isinf(Stored)) return Stored > 0 ? "Infinity" : "-Infinity";
    // A fill formats every value of thousands of rows, so the whole number is grouped here.
    // The general format rounds halves away from zero on the decimal form. An exact half
    // below 1e9 has an exact decimal form, so std::round agrees with it; a fraction near
    // one half, or a value whose decimal form has few decimals, is left to it.
    const double fraction = std::fabs(Stored - std::trunc(Stored));
    if (std::fabs(Stored) >= 1e9 || (fraction != 0.5 && std::fabs(fraction - 0.5) < 1e-6))
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
    if (Odd && !IsNull(StoredDate) && !IsRealDate(Date)) {
        if (const auto* text = std::get_if<std::string>(&StoredDate)) return *text;
        if (const auto* whole = std::get_if<int64_t>(&StoredDate)) return std::to_string(*whole);
        return PlainNumber(FieldNumber(StoredDate));
    }
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
    ClearDeletedDates();
}

bool DailyRowTable::BlankDeletedDate(const std::string& dateText) {
    const auto deleted = std::find(deletedDates_.begin(), deletedDates_.end(), dateText);
    if (deleted == deletedDates_.end()) return false;
    deleted->clear();
    deletedKeys_[static_cast<size_t>(deleted - deletedDates_.begin())] = std::monostate{};
    return true;
}

bool DailyRowTable::NeedsStoredDates(const NumberRows& rows) {
    for (int r = 0; r < rows.RecordCount(); ++r)
        if (!IsRealDate(rows.Number(r, 0))) return true;
    return false;
}

void DailyRowTable::Fill(const NumberRows& rows, const std::vector<FieldValue>& storedDates) {
    Clear();
    rows_.resize(static_cast<size_t>(rows.RecordCount()));
    for (int r = 0; r < rows.RecordCount(); ++r) {
        DailyRow& row = rows_[static_cast<size_t>(r)];
        const double date = rows.Number(r, 0);
        row.Date = SortDate(date);
        for (int v = 0; v < 5; ++v) row.Values[v] = {rows.Number(r, v + 1), rows.IsNull(r, v + 1)};
        const bool realDate = IsRealDate(date);
        row.Odd = !realDate ||
                  std::any_of(row.Values.begin(), row.Values.end(), [](const DailyValue& value) {
                      return !value.Null && !std::isfinite(value.Stored);
                  });
        if (!row.Odd) continue;
        if (static_cast<size_t>(r) < storedDates.size())
            row.StoredDate = storedDates[static_cast<size_t>(r)];
        else if (realDate || date == std::trunc(date))
            row.StoredDate = date;
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
    if (row.Odd) return false;
    if (col != kDtColVolume && row.Value(col).Shown() == value) return false;
    // The pull compares the stored prices: a high of 139.6 shows 140, yet a close of 140
    // must raise it, or the bar saved would have its high below its close.
    const PullRule rule = PullRuleOf(col);
    for (const int other : rule.RaiseToN)
        if (row.Value(other).Compared() < value) row.Value(other) = DailyValue::Written(value);
    for (const int other : rule.LowerToN)
        if (row.Value(other).Compared() > value) row.Value(other) = DailyValue::Written(value);
    row.Value(col) = DailyValue::Written(value);
    if (row.State != kRowAdd) row.State = kRowChange;
    return true;
}

DailyRowTable::DateCheck DailyRowTable::CheckNewDate(int gridRow, int32_t date) const {
    if (Row(gridRow).Odd || Row(gridRow).Date == date) return DateCheck::Same;
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
    if (BlankDeletedDate(dateText)) moved.State = kRowChange;
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
        if (row.State != kRowAdd) {
            deletedDates_.push_back(row.DateText());
            deletedKeys_.push_back(row.Odd ? row.StoredDate : FieldValue{int64_t{row.Date}});
        }
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
    if (BlankDeletedDate(added.DateText())) added.State = kRowChange;
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
    // A removed row is deleted by its date as stored, so that a row whose date the grid
    // cannot show never deletes another row.
    for (size_t i = 0; i < deletedDates_.size(); ++i) {
        if (deletedDates_[i].empty() || IsNull(deletedKeys_[i])) continue;
        statements.push_back({remove, {issueId, deletedKeys_[i]}});
    }
    return statements;
}

IssueSummary DailyRowTable::Summary() const {
    // The summary comes from the rows the grid holds faithfully.
    std::vector<const DailyRow*> held;
    for (const DailyRow& row : rows_)
        if (!row.Odd && held.size() < 2) held.push_back(&row);
    if (held.empty()) return {"", "0", kNoChangeText, "0"};
    const DailyRow& newest = *held[0];
    IssueSummary summary;
    summary.LastDate = newest.DateText();
    const double close = newest.Value(kDtColClose).Shown();
    summary.Close = PlainNumber(close);
    summary.Change = held.size() == 1 ? std::string(kNoChangeText)
                                      : PlainNumber(close - held[1]->Value(kDtColClose).Shown());
    summary.Volume = PlainNumber(newest.Value(kDtColVolume).Shown());
    return summary;
}
