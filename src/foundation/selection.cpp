#include "foundation/selection.h"

#include <algorithm>
#include <optional>
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

std::string NullAsEmpty(const FieldValue& value) {
    return FieldText(ReplaceNull(1, value));
}

}  // namespace

void ClearSelectedRows() {
    IssueSelection().SelectedRows.clear();
}

void GetSelectedCode(int32_t index, std::string& issueId) {
    const IssueSelectionState& state = IssueSelection();
    if (index < 0 || index >= state.SelectedCount())
        throw std::out_of_range(kErrSubscriptOutOfRange);
    issueId = FieldText(
        RecordAt(IssueList().IssueListRecordset, state.SelectedRows[index]).at(kField銘柄ID));
}

void ClearIssueWorkArray() {
    IssueSelection().IssueWorkArray.clear();
}

void GatherSelectedRecords(int mode) {
    IssueSelectionState& state = IssueSelection();
    const int32_t count = state.SelectedCount();
    state.IssueWorkArray.assign(count, IssueWorkRecord{});
    for (int32_t j = 0; j < count; ++j) {
        IssueWorkRecord& work = state.IssueWorkArray[j];
        // A record that cannot be read keeps its empty fields; the others are still read.
        try {
            const auto& record = RecordAt(IssueList().IssueListRecordset, state.SelectedRows[j]);
            work.IssueId = FieldText(record.at(kField銘柄ID));
            work.Code = NullAsEmpty(record.at(kField証券コード));
            work.Name = NullAsEmpty(record.at(kField銘柄名));
            work.Market = NullAsEmpty(record.at(kField市場コード));
            work.Industry = NullAsEmpty(record.at(kField業種コード));
        } catch (const std::exception&) {
        }
        if (work.Industry.empty()) work.Industry = "00";
        if (mode != 1) continue;
        work.Number = j + 1;
        // A watch number too large for the record leaves it at 0, as a failed read does.
        try {
            work.Watch = RoundHalfEven<int32_t>(ValNumber(FindChuumoku(work.IssueId)));
        } catch (const std::overflow_error&) {
        }
        work.Memo = FindMemo(work.IssueId);
        work.Flag = 0;
    }
}

bool SetRSALL() {
    bool loaded = false;
    RunTrapped([&] {
        RecordsetPtr all;
        if (!QueryIssueList(kListAll, all)) return;
        IssueList().AllIssuesRecordset = std::move(all);
        loaded = true;
    });
    return loaded;
}

bool GetSijou() {
    bool loaded = false;
    RunTrapped([&] {
        std::string sql = MakeSijouSql();
        RecordsetPtr markets;
        if (!ExecuteSql(Database().DailyConnection, sql, markets)) return;
        // The markets' check indexes are their places in this list: it cannot be empty.
        if (markets->RecordCount() == 0) throw std::out_of_range(kErrSubscriptOutOfRange);
        std::vector<TextPair> list;
        list.reserve(markets->RecordCount());
        for (int32_t i = 0; i < markets->RecordCount(); ++i) {
            const auto& row = markets->Row(i);
            list.push_back({FieldText(row.at(1)), FieldText(row.at(2))});
        }
        IssueSelection().SijouList = std::move(list);
        loaded = true;
    });
    return loaded;
}
