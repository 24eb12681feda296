#include "foundation/issue_edit_queue.h"

#include <array>
#include <cmath>
#include <stdexcept>

#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/issue_list.h"
#include "foundation/sql_builders.h"
#include "foundation/text_stores.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/number_format.h"

namespace {

enum class FieldClass { Text, Date, Change, Mark, Integer, Number };

constexpr int kPriceColumn = 6;
constexpr int kChangeColumn = 7;
constexpr int kTurnDateColumn = 10;

FieldClass ClassOf(int32_t field) {
    constexpr std::array kTextFields = {0, 1, 3, 4, 5, 13, 15, 17, 18, 28, 29, 32, 33};
    constexpr std::array kDateFields = {7, 14, 16, 30, 34};
    // 注目 and 売買単位 are 32-bit integer columns on every engine.
    constexpr std::array kIntegerFields = {2, 6};
    for (int text : kTextFields)
        if (field == text) return FieldClass::Text;
    for (int date : kDateFields)
        if (field == date) return FieldClass::Date;
    for (int integer : kIntegerFields)
        if (field == integer) return FieldClass::Integer;
    if (field == kField前日比) return FieldClass::Change;
    if (field >= 19 && field <= 26) return FieldClass::Mark;
    return FieldClass::Number;
}

// A "yyyy/mm/dd" date as the stored yyyymmdd number; Null for anything else.
FieldValue DateValue(const std::string& value) {
    if (!IsValidSlashDate(value)) return std::monostate{};
    std::string digits;
    for (char c : value)
        if (c != '/') digits.push_back(c);
    return static_cast<int64_t>(std::stoll(digits));
}

// Whole numbers, as the column's format writes them. A blank value is no value; a text
// that is no number, or whose number the column cannot hold, is refused rather than
// stored as Null or as a wrapped-around number.
template <typename Int>
FieldValue WholeValue(const std::string& value) {
    if (TrimSpaces(value).empty()) return std::monostate{};
    if (!IsNumericText(value)) throw std::invalid_argument(kErrTypeMismatch);
    return static_cast<int64_t>(WholeOf<Int>(RoundDecimalHalfAway(NumericValue(value), 0)));
}

// The DOUBLE PRECISION columns written as whole numbers take any finite number, rounded as
// the column's format writes it: one past what a 64-bit integer holds is bound as a double.
FieldValue WholeNumberValue(const std::string& value) {
    if (TrimSpaces(value).empty()) return std::monostate{};
    if (!IsNumericText(value)) throw std::invalid_argument(kErrTypeMismatch);
    const double whole = RoundDecimalHalfAway(NumericValue(value), 0);
    if (!std::isfinite(whole)) throw std::overflow_error(kErrOverflow);
    if (std::fabs(whole) < 0x1p63) return static_cast<int64_t>(whole);
    return whole;
}

FieldValue BoundValue(const IssueEdit& edit) {
    const std::string& value = edit.Value;
    switch (ClassOf(edit.Field)) {
        case FieldClass::Text:
            return value;
        case FieldClass::Date:
            return DateValue(value);
        case FieldClass::Change:
            if (!IsNumericText(TrimSpaces(value))) return std::monostate{};
            return NumericValue(value);
        case FieldClass::Mark:
            return static_cast<int64_t>(TrimSpaces(value).empty() ? 0 : 1);
        case FieldClass::Integer:
            return WholeValue<int32_t>(value);
        case FieldClass::Number:
            return WholeNumberValue(value);
    }
    return std::monostate{};
}

double GridFactor(std::string_view issueId) {
    if (issueId == "0301100") return 0.01;
    if (issueId == "0315100") return 0.1;
    return 1.0;
}

// The list shows watch numbers from the watch store, so a watch number shown in the list
// is kept there too; "0" or nothing means the issue is not watched.
void KeepWatchInStore(const std::vector<IssueEdit>& queue, const std::string& issueId) {
    for (const IssueEdit& edit : queue) {
        if (edit.Field != kField注目 || edit.GridColumn == 0) continue;
        std::string watch = TrimSpaces(edit.Value);
        if (watch == "0") watch.clear();
        TextStores().ChuumokuText =
            ReplaceIssueValueLine(TextStores().ChuumokuText, issueId, watch);
    }
}

}  // namespace

void SetListRowUpdater(ListRowUpdater updater) {
    IssueEdits().ApplyToList = std::move(updater);
}

void ClearEditQueue() {
    IssueEdits().EditQueue.clear();
}

void QueueIssueEdit(int32_t field, int32_t gridColumn, std::string value) {
    IssueEdits().EditQueue.push_back({field, gridColumn, std::move(value)});
}

IssueUpdate RenderIssueUpdate(const std::vector<IssueEdit>& queue, std::string_view issueId) {
    if (queue.empty()) throw std::invalid_argument("更新する項目がありません。");
    IssueUpdate update;
    std::string assignments;
    for (const IssueEdit& edit : queue) {
        if (edit.Field < 0 || edit.Field >= kIssueAttrColumnCount)
            throw std::out_of_range(kErrSubscriptOutOfRange);
        if (!assignments.empty()) assignments += " , ";
        assignments += std::string(kIssueAttrColumns[edit.Field]) + " = ?";
        update.Parameters.push_back(BoundValue(edit));
    }
    update.Statement = MakeUpdateSql(kIssueAttrTable, assignments + " WHERE (銘柄ID = ?)");
    update.Parameters.emplace_back(std::string(issueId));
    return update;
}

bool MakeIssueUpdateSql(const std::vector<IssueEdit>& queue, const std::string& issueId) {
    IssueUpdate update;
    try {
        update = RenderIssueUpdate(queue, issueId);
    } catch (const std::exception&) {
        return false;
    }
    RecordsetPtr result;
    return ExecuteSql(Database().DailyConnection, update.Statement, result, update.Parameters);
}

std::string GridValueOf(const IssueEdit& edit, std::string_view issueId) {
    const double factor = GridFactor(issueId);
    std::string value = edit.Value;
    if (edit.GridColumn == kPriceColumn) {
        if (!IsNumericText(value)) throw std::invalid_argument(kErrTypeMismatch);
        value = WholeNumberText(std::trunc(NumericValue(value) * factor + 0.5));
    }
    if (edit.GridColumn == kChangeColumn && IsNumericText(value))
        value = WholeNumberText(std::floor(factor * NumericValue(value) + 0.5));
    if (IsNumericText(value)) value = FormatNumber(NumericValue(value), "##0");
    if (edit.GridColumn == kTurnDateColumn && !IsValidSlashDate(TrimSpaces(value))) value.clear();
    return TrimSpaces(value);
}

bool ApplyEditsToMainGrid(const std::vector<IssueEdit>& queue, const std::string& issueId) {
    try {
        KeepWatchInStore(queue, issueId);
    } catch (const std::exception&) {
        return false;
    }
    const ListRowUpdater& applyToList = IssueEdits().ApplyToList;
    return applyToList && applyToList(queue, issueId);
}

void CommitIssueEdits(const std::vector<IssueEdit>& queue, const std::string& issueId) {
    RunTrapped([&] {
        if (!MakeIssueUpdateSql(queue, issueId)) {
            MsgWarn(kUpdateFailedMessage);
            return;
        }
        if (!ApplyEditsToMainGrid(queue, issueId)) MsgInfo(kUpdateLaterMessage);
    });
}
