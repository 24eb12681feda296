#include "foundation/selection.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/sql_builders.h"
#include "foundation/text_stores.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "foundation/vb_errors.h"
#include "platform/flex_grid.h"
#include "platform/vb_format.h"

namespace {

IssueSelectionState state;

// The recordset position a row label stands for; nothing for a label that is not a
// positive whole number, so a damaged row can never stand for the first issue.
std::optional<int32_t> PositionOfLabel(std::string_view label) {
    try {
        const int32_t number = LabelNumber(label);
        if (number >= 1) return number - 1;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::string NullAsEmpty(const FieldValue& value) {
    return FieldText(ReplaceNull(1, value));
}

}  // namespace

IssueSelectionState& IssueSelection() {
    return state;
}

void ResetIssueSelection() {
    state = IssueSelectionState{};
}

bool CollectSelectedRows(const FlexGrid& grid) {
    bool collected = false;
    RunTrapped([&] {
        if (grid.Row() == 0) return;
        int32_t first = 0;
        int32_t last = 0;
        GetGridSelRange(grid, first, last);
        std::vector<int32_t> rows;
        rows.reserve(last - first + 1);
        for (int32_t row = first; row <= last; ++row) {
            const std::optional<int32_t> position = PositionOfLabel(grid.TextMatrix(row, 0));
            if (!position) return;
            rows.push_back(*position);
        }
        state.SelectedRows = std::move(rows);
        collected = true;
    });
    return collected;
}

void ClearSelectedRows() {
    state.SelectedRows.clear();
}

void SelectAllRows(FlexGrid& grid) {
    RunTrapped([&] {
        if (grid.Rows() <= 1) return;
        grid.SetRow(1);
        grid.SetRowSel(grid.Rows() - 1);
        grid.SetBackColor(grid.BackColorSel());
    });
}

void GetGridSelRange(const FlexGrid& grid, int32_t& first, int32_t& last) {
    first = std::min(grid.Row(), grid.RowSel());
    last = std::max(grid.Row(), grid.RowSel());
}

void GetSelectedCode(int32_t index, std::string& issueId) {
    if (index < 0 || index >= state.SelectedCount())
        throw std::out_of_range(kVbSubscriptOutOfRange);
    issueId = FieldText(
        RecordAt(IssueList().IssueListRecordset, state.SelectedRows[index]).at(kField銘柄ID));
}

std::string MakeSelectedIdList(const FlexGrid& grid) {
    int32_t first = 0;
    int32_t last = 0;
    GetGridSelRange(grid, first, last);
    std::string ids;
    // The header row stands for no issue: with only it selected the list is empty.
    for (int32_t row = std::max(first, grid.FixedRows()); row <= last; ++row) {
        const int32_t position = LabelNumber(grid.TextMatrix(row, 0)) - 1;
        const auto& record = RecordAt(IssueList().IssueListRecordset, position);
        ids += SqlText(FieldText(record.at(kField銘柄ID))) + ",";
    }
    if (ids.empty()) return "";
    ids.pop_back();
    return "銘柄ID IN (" + ids + ") And ";
}

void ClearIssueWorkArray() {
    state.IssueWorkArray.clear();
}

void GatherSelectedRecords(int mode) {
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
        work.Watch = static_cast<int32_t>(RoundHalfEven(ValNumber(FindChuumoku(work.IssueId))));
        work.Memo = FindMemo(work.IssueId);
        work.Flag = 0;
    }
}

bool SetRSALL() {
    bool loaded = false;
    RunTrapped([&] {
        std::string sql = MakeIssueAttrSql(MakeListSql(kListAll));
        RecordsetPtr all;
        if (!ExecuteSql(Database().DailyConnection, sql, all)) return;
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
        if (markets->RecordCount() == 0) throw std::out_of_range(kVbSubscriptOutOfRange);
        std::vector<TextPair> list;
        list.reserve(markets->RecordCount());
        for (int32_t i = 0; i < markets->RecordCount(); ++i) {
            const auto& row = markets->Row(i);
            list.push_back({FieldText(row.at(1)), FieldText(row.at(2))});
        }
        state.SijouList = std::move(list);
        loaded = true;
    });
    return loaded;
}
