#include "analysis/lines_storage.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "analysis/dates.h"
#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/issue_edit_queue.h"
#include "foundation/recordset.h"
#include "foundation/signin.h"
#include "foundation/sql_builders.h"
#include "foundation/state.h"
#include "foundation/trap.h"
#include "platform/number_format.h"

namespace {

constexpr const char* kMark = "○";

std::string Num(int64_t value) {
    return std::to_string(value);
}
std::string Price(double value) {
    return PlainNumber(value);
}

// The condition shared by the two loaders.
std::string LoadCondition(std::string_view issueId, int32_t code, int32_t lastSlot,
                          int32_t userRowId) {
    return std::string(" WHERE ") + "銘柄ID" + " = " + SqlText(issueId) + " AND " + "線種" + " = " +
           Num(code) + " AND " + "番号" + " >= " + "0" + " AND " + "番号" + " <= " + Num(lastSlot) +
           " AND user_id=" + Num(userRowId);
}

std::string DeleteHead(const char* table, std::string_view issueId, int32_t code) {
    return std::string("DELETE * FROM ") + table + " WHERE " + "銘柄ID" + " = " + SqlText(issueId) +
           " AND " + "線種" + " = " + Num(code) + " AND ";
}

const FieldValue& NonNull(const std::vector<FieldValue>& row, size_t index) {
    const FieldValue& value = row.at(index);
    if (IsNull(value)) throw std::runtime_error(kErrInvalidNull);
    return value;
}
double RowNumber(const std::vector<FieldValue>& row, size_t index) {
    return FieldNumber(NonNull(row, index));
}
// A stored number past 32 bits is an overflow of the load, never a wrapped-around index.
int32_t RowInt(const std::vector<FieldValue>& row, size_t index) {
    return RoundHalfEven<int32_t>(RowNumber(row, index));
}

// A line's right end is its left end plus the stored offset, and the offset is stored
// back as their difference: held to 32 bits, a damaged row's offset cannot wrap them.
int32_t IndexSum(int64_t sum) {
    return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// Columns of the line query after 線種 and 番号.
ShasenRow ReadShasenRow(const std::vector<FieldValue>& row) {
    return ShasenRow{RowInt(row, 2), RowNumber(row, 3), RowInt(row, 4), RowNumber(row, 5),
                     RowInt(row, 6), RowNumber(row, 7), RowInt(row, 8), RowNumber(row, 9)};
}

bool SameSlot(const ShasenRec& a, const ShasenRec& b) {
    return a.UpperLeftIndex == b.UpperLeftIndex && a.UpperLeftPrice == b.UpperLeftPrice &&
           a.UpperRightIndex == b.UpperRightIndex && a.UpperRightPrice == b.UpperRightPrice &&
           a.LowerLeftIndex == b.LowerLeftIndex && a.LowerLeftPrice == b.LowerLeftPrice &&
           a.LowerRightIndex == b.LowerRightIndex && a.LowerRightPrice == b.LowerRightPrice;
}

void RefreshShasenSnapshot(const SeriesRecord& record) {
    ShasenKanmonSnapshot& snapshot = Lines().ShasenKanmonSnapshots[ChartSlotOf(record.ChartKind)];
    const int32_t kind = record.ChartKind;
    for (int32_t i = 0; i < kLineSlotCount; ++i) {
        const ShasenRec& slot = record.ShasenSlots[i];
        ShasenSnapshotEntry& entry = snapshot.Lines[i];
        entry.Line = slot;
        entry.Upper = MakeLineEquation(BarToX(slot.UpperLeftIndex, 0, kind), slot.UpperLeftPrice,
                                       BarToX(slot.UpperRightIndex, 0, kind), slot.UpperRightPrice);
        entry.Lower = MakeLineEquation(BarToX(slot.LowerLeftIndex, 0, kind), slot.LowerLeftPrice,
                                       BarToX(slot.LowerRightIndex, 0, kind), slot.LowerRightPrice);
    }
}

void RefreshKanmonSnapshot(const SeriesRecord& record) {
    ShasenKanmonSnapshot& snapshot = Lines().ShasenKanmonSnapshots[ChartSlotOf(record.ChartKind)];
    for (int32_t i = 0; i < kKanmonSlotCount; ++i) snapshot.Kanmon[i] = record.KanmonSlots[i];
}

using SelectSqlMaker = std::string (*)(std::string_view, int32_t, int32_t);

// Runs a loader's query for the record's chart and hands each row to fill with the slot
// it packs into; in text-data mode no query runs. False when the query failed (ExecuteSql
// reported it) or a row raised an error (reported here); the slots filled so far stay.
template <typename Fill>
bool LoadPackedRows(const SeriesRecord& record, SelectSqlMaker makeSql, const std::string& issueId,
                    int32_t slotCount, bool& judgementFound, Fill fill) {
    judgementFound = false;
    if (TextData().TextDataMode != 0) return true;
    const LineKindCodes codes = LineKindCodesOf(record.ChartKind);
    Lines().Codes = codes;
    std::string statement = makeSql(issueId, codes.LineKindCode, Signin().UserRowId);
    RecordsetPtr rs;
    if (!ExecuteSql(Database().DailyConnection, statement, rs)) return false;
    const bool filled = RunTrapped([&] {
        const int32_t rows = rs->RecordCount();
        const int32_t first =
            FirstPackedSlot(record.ChartKind, rows > 0, rows > 0 ? RowInt(rs->Row(0), 1) : -1);
        judgementFound = rows > 0 && first == 0;
        // Rows past the last slot cannot be shown or edited; they are left alone.
        for (int32_t r = 0, k = first; r < rows && k < slotCount; ++r, ++k) fill(rs->Row(r), k);
    });
    CloseRecordset(rs);
    return filled;
}

// Runs a chart's DELETE and INSERTs as one transaction. A failing step rolls back, so the
// rows stored before stay; ExecuteSql has reported the failure.
bool ReplaceRows(const std::vector<std::string>& statements) {
    const CatalogConnection& daily = Database().DailyConnection;
    TransactionGuard transaction(daily);
    if (!transaction.IsOpen()) return false;
    for (std::string statement : statements) {
        RecordsetPtr rs;
        if (!ExecuteSql(daily, statement, rs)) return false;
        CloseRecordset(rs);
    }
    return transaction.Commit();
}

// The issue list shows the weekly judgement slot's mark: "○" while it is stored.
void WriteListMark(const std::string& issueId, int16_t field, int16_t column, bool present) {
    ClearEditQueue();
    QueueIssueEdit(field, column, present ? kMark : "");
    CommitIssueEdits(IssueEdits().EditQueue, issueId);
}

}  // namespace

std::string MakeShasenSelectSql(std::string_view issueId, int32_t lineKindCode, int32_t userRowId) {
    return std::string("SELECT ") +
           "線種, 番号, 上値左日付, 上値左価格, 上値右位置, 上値右価格, 下値左日付, 下値左価格, "
           "下値右位置, 下値右価格" +
           " FROM  " + kShasenTable + LoadCondition(issueId, lineKindCode, 3, userRowId) + " " +
           " ORDER BY " + "番号" + " ASC";
}

std::string MakeKanmonSelectSql(std::string_view issueId, int32_t lineKindCode, int32_t userRowId) {
    return std::string("SELECT ") + "線種, 番号, 上限, 下限" + " FROM  " + kKanmonTable +
           LoadCondition(issueId, lineKindCode, 2, userRowId) + " ORDER BY " + "番号" + " ASC";
}

std::string MakeShasenDeleteSql(std::string_view issueId, int32_t lineKindCode, int32_t userRowId) {
    return DeleteHead(kShasenTable, issueId, lineKindCode) + "user_id=" + Num(userRowId) + " ";
}

std::string MakeKanmonDeleteSql(std::string_view issueId, int32_t lineKindCode, int32_t userRowId) {
    return DeleteHead(kKanmonTable, issueId, lineKindCode) + "user_id=" + Num(userRowId);
}

std::string MakeShasenInsertSql(std::string_view issueId, int32_t lineKindCode, int32_t slot,
                                const ShasenRow& row, int32_t userRowId) {
    return std::string("INSERT INTO ") + kShasenTable + " (" +
           "銘柄ID, 線種, 番号, 上値左日付, 上値左価格, 上値右位置, 上値右価格, 下値左日付, "
           "下値左価格, 下値右位置, 下値右価格" +
           ",user_id" + ")" + " VALUES (" + SqlText(issueId) + ", " + Num(lineKindCode) + ", " +
           Num(slot) + ", " + Num(row.UpperLeftDate) + ", " + Price(row.UpperLeftPrice) + ", " +
           Num(row.UpperRightOffset) + ", " + Price(row.UpperRightPrice) + ", " +
           Num(row.LowerLeftDate) + ", " + Price(row.LowerLeftPrice) + ", " +
           Num(row.LowerRightOffset) + ", " + Price(row.LowerRightPrice) + "," + Num(userRowId) +
           " " + ")";
}

std::string MakeKanmonInsertSql(std::string_view issueId, int32_t lineKindCode, int32_t slot,
                                double upper, double lower, int32_t userRowId) {
    return std::string("INSERT INTO ") + kKanmonTable + " (" + "銘柄ID, 線種, 番号, 上限, 下限" +
           ",user_id" + ")" + " VALUES (" + SqlText(issueId) + ", " + Num(lineKindCode) + ", " +
           Num(slot) + ", " + Price(upper) + ", " + Price(lower) + "," + Num(userRowId) + ")";
}

int32_t GetBarDateNum(const SeriesRecord& record, int32_t index) {
    if (index < 0 || index >= record.Count) return -1;
    return DateToNum(record.Points[index].DateText);
}

ShasenRec AnchorShasenRow(const ShasenRow& row, const SeriesRecord& record, int16_t slot) {
    ShasenRec rec;
    rec.Slot = slot;
    rec.UpperLeftPrice = row.UpperLeftPrice;
    rec.UpperRightPrice = row.UpperRightPrice;
    rec.LowerLeftPrice = row.LowerLeftPrice;
    rec.LowerRightPrice = row.LowerRightPrice;
    rec.UpperLeftIndex = FindBarByDate(record, row.UpperLeftDate);
    rec.UpperRightIndex = IndexSum(int64_t{rec.UpperLeftIndex} + row.UpperRightOffset);
    rec.LowerLeftIndex = FindBarByDate(record, row.LowerLeftDate);
    rec.LowerRightIndex = IndexSum(int64_t{rec.LowerLeftIndex} + row.LowerRightOffset);
    ClampShasenRec(rec, record.Count, record.Count + 10);
    return rec;
}

ShasenRow ShasenRowOf(const ShasenRec& slot, const SeriesRecord& record) {
    return ShasenRow{GetBarDateNum(record, slot.UpperLeftIndex),
                     slot.UpperLeftPrice,
                     IndexSum(int64_t{slot.UpperRightIndex} - slot.UpperLeftIndex),
                     slot.UpperRightPrice,
                     GetBarDateNum(record, slot.LowerLeftIndex),
                     slot.LowerLeftPrice,
                     IndexSum(int64_t{slot.LowerRightIndex} - slot.LowerLeftIndex),
                     slot.LowerRightPrice};
}

int32_t FirstPackedSlot(int32_t chartKind, bool rowsPresent, int32_t firstRowNumber) {
    return rowsPresent && firstRowNumber == 0 && chartKind == kChartWeekly ? 0 : 1;
}

bool LoadShasenDB(SeriesRecord& record, const std::string& issueId, bool& judgementFound) {
    InitShasenSet(record.ShasenSlots);
    LinesStorageState::Chart& chart = LinesStorage().Charts[ChartSlotOf(record.ChartKind)];
    chart = LinesStorageState::Chart{issueId, {}};
    const bool loaded =
        LoadPackedRows(record, MakeShasenSelectSql, issueId, kLineSlotCount, judgementFound,
                       [&](const std::vector<FieldValue>& fields, int32_t k) {
                           const ShasenRow row = ReadShasenRow(fields);
                           ShasenRec& slot = record.ShasenSlots[k];
                           slot = AnchorShasenRow(row, record, static_cast<int16_t>(k));
                           if (slot.UpperLeftIndex < 0 || slot.LowerLeftIndex < 0)
                               chart.Kept[k] = KeptShasenRow{row, slot};
                       });
    if (!loaded) return false;
    RefreshShasenSnapshot(record);
    return true;
}

bool LoadKanmonDB(SeriesRecord& record, const std::string& issueId, bool& judgementFound) {
    InitKanmonSet(record.KanmonSlots);
    const bool loaded =
        LoadPackedRows(record, MakeKanmonSelectSql, issueId, kKanmonSlotCount, judgementFound,
                       [&](const std::vector<FieldValue>& fields, int32_t k) {
                           KanmonRec& barrier = record.KanmonSlots[k];
                           barrier.Slot = static_cast<int16_t>(k);
                           barrier.Upper = RowNumber(fields, 2);
                           barrier.Lower = RowNumber(fields, 3);
                       });
    if (!loaded) return false;
    RefreshKanmonSnapshot(record);
    return true;
}

bool LoadShasenKanmon(SeriesRecord& record, const std::string& issueId) {
    bool judgement = false;
    return LoadShasenDB(record, issueId, judgement) && LoadKanmonDB(record, issueId, judgement);
}

bool SaveShasenDB(const SeriesRecord& record, const std::string& issueId, int32_t viewKind) {
    const LineKindCodes codes = Lines().Codes;
    const int32_t user = Signin().UserRowId;
    const LinesStorageState::Chart& chart = LinesStorage().Charts[ChartSlotOf(record.ChartKind)];
    std::vector<std::string> statements{MakeShasenDeleteSql(issueId, codes.LineKindCode, user)};
    bool judgementStored = false;
    try {
        for (int32_t k = 0; k < kLineSlotCount; ++k) {
            const ShasenRec& slot = record.ShasenSlots[k];
            const std::optional<KeptShasenRow>& kept = chart.Kept[k];
            std::optional<ShasenRow> row;
            // An unanchored stored line goes back as it was unless the user changed the slot.
            if (kept && chart.IssueId == issueId && SameSlot(kept->Loaded, slot))
                row = kept->Stored;
            else if (slot.UpperLeftIndex >= 0)
                row = ShasenRowOf(slot, record);
            if (!row) continue;
            statements.push_back(MakeShasenInsertSql(issueId, codes.LineKindCode, k, *row, user));
            if (k == 0) judgementStored = true;
        }
    } catch (const std::exception&) {
        return false;  // the save's caller reports every failed save
    }
    if (!ReplaceRows(statements)) return false;
    if (viewKind == kWeeklyViewKind)
        WriteListMark(issueId, codes.ShasenMarkField, kShasenMarkGridColumn, judgementStored);
    return true;
}

bool SaveKanmonDB(const PriceOverlay& window, const std::string& issueId,
                  std::array<KanmonRec, 4>& work, int32_t viewKind) {
    const LineKindCodes codes = Lines().Codes;
    const int32_t user = Signin().UserRowId;
    std::vector<std::string> statements{MakeKanmonDeleteSql(issueId, codes.LineKindCode, user)};
    for (int32_t i = 0; i < kKanmonSlotCount; ++i) {
        const ShapePlacement& shape = window.SHP_関門10[i];
        work[i].Upper = shape.Upper;
        work[i].Lower = shape.Lower;
        if (work[i].Upper >= 0)
            statements.push_back(MakeKanmonInsertSql(issueId, codes.LineKindCode, i, work[i].Upper,
                                                     work[i].Lower, user));
    }
    if (!ReplaceRows(statements)) return false;
    if (viewKind == kWeeklyViewKind)
        WriteListMark(issueId, codes.KanmonMarkField, kKanmonMarkGridColumn, work[0].Upper >= 0);
    return true;
}
