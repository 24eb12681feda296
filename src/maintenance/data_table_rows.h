#pragma once
// The rows behind the price data table's grid: one issue's daily rows, newest first, each
// with its save state and, for every value cell, the stored number beside the whole number
// the grid shows. The grid only shows these rows; every edit, re-dating, removal and save
// is worked out here. No Qt types here.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/number_rows.h"
#include "foundation/recordset.h"

// The grid's columns: 0 the row header, 1 the hidden state, 2 the date, 3 to 7 the values.
inline constexpr int kDtColState = 1;
inline constexpr int kDtColDate = 2;
inline constexpr int kDtColOpen = 3;
inline constexpr int kDtColHigh = 4;
inline constexpr int kDtColLow = 5;
inline constexpr int kDtColClose = 6;
inline constexpr int kDtColVolume = 7;
inline constexpr int kDtCols = 8;

// Row states: "" as stored, "Add" to insert, "Change" to update; "ZZZ" marks rows while
// they are being removed.
inline constexpr const char* kRowAdd = "Add";
inline constexpr const char* kRowChange = "Change";
inline constexpr const char* kRowRemoving = "ZZZ";

// One value cell. The grid shows whole numbers, but a price stored with decimals keeps
// them until the user writes the cell: a save writes what is stored, not what is shown.
struct DailyValue {
    double Stored = 0;
    bool Null = false;

    // The whole number the grid shows (Null shows 0); the edits compare with it.
    double Shown() const;
    // The stored number (Null as 0): what an edit's pull of the other prices compares.
    double Compared() const { return Null ? 0.0 : Stored; }
    // "##,##0", as every value cell shows.
    std::string Text() const;
    // The value a save binds: Null stays Null.
    FieldValue Bound() const;
    static DailyValue Written(double value) { return {value, false}; }
};

struct DailyRow {
    std::string State;
    int32_t Date = 0;                  // yyyymmdd
    std::array<DailyValue, 5> Values;  // columns 3 to 7
    // A row the grid cannot hold faithfully (a date that is no eight-digit date, a price
    // that is no finite number): shown as stored, never edited or re-dated, and deleted by
    // its stored date, which StoredDate keeps.
    bool Odd = false;
    FieldValue StoredDate;

    DailyValue& Value(int col) { return Values.at(col - kDtColOpen); }
    const DailyValue& Value(int col) const { return Values.at(col - kDtColOpen); }
    std::string DateText() const;
};

// The four values a save hands to the issue list.
struct IssueSummary {
    std::string LastDate;  // "yyyy/mm/dd", "" without rows
    std::string Close;     // plain digits, "0" without rows
    std::string Change;    // close minus the day before's, "－" without one
    std::string Volume;    // plain digits, "0" without rows
};

inline constexpr const char* kNoChangeText = "－";

// Grid rows are counted from 1, as the grid's data rows are.
class DailyRowTable {
  public:
    // Every row dropped and DeletedDates emptied.
    void Clear();
    // The rows of 日付,始値,高値,安値,終値,出来高, newest first, all as stored. storedDates,
    // when given, holds each row's 日付 as the catalog holds it (a text where one is
    // stored), for rows whose date is no eight-digit date.
    void Fill(const NumberRows& rows, const std::vector<FieldValue>& storedDates = {});
    // True when a number read as a date is no eight-digit date, so that the rows' stored
    // dates are to be read as they are.
    static bool NeedsStoredDates(const NumberRows& rows);
    int Count() const { return static_cast<int>(rows_.size()); }
    const DailyRow& Row(int gridRow) const { return rows_.at(gridRow - 1); }
    // The texts of grid row gridRow's eight cells.
    std::vector<std::string> Cells(int gridRow) const;

    // Date texts of stored rows removed since the last save, in removal order; a blank
    // entry is a date that a moved row took again.
    const std::vector<std::string>& DeletedDates() const { return deletedDates_; }
    void ClearDeletedDates() {
        deletedDates_.clear();
        deletedKeys_.clear();
    }

    // The bounds of a typed value: a price may be 0, a close or a volume may not.
    static bool ValueRefused(int col, double value);
    // Writes value into a value cell, pulling the row's other prices to it where they
    // would contradict it, and marks the row. False when a price equals the shown one:
    // nothing changes. The volume has no such test.
    bool CommitValue(int gridRow, int col, double value);

    enum class DateCheck { Same, Duplicate, Move };
    DateCheck CheckNewDate(int gridRow, int32_t date) const;
    // Moves the row to date (a Move of CheckNewDate): the old date is removed as a row is,
    // the new row is "Add", or "Change" where a removed stored row had the date. Returns
    // the moved row's new grid row.
    int MoveToDate(int gridRow, int32_t date);
    // Removes rows first..last; the dates of stored rows go to DeletedDates.
    void DeleteRows(int first, int last);
    // True when a row has the date.
    bool HasDate(int32_t date) const;
    // Appends a row dated date (prices 0, volume 1) and sorts the rows again. The row is
    // "Change" when a removed stored row had the date (its DeletedDates entry is blanked),
    // else "Add". Returns the new row's grid row.
    int AddRow(int32_t date);

    // The rows of a period, newest first; start or end 0 when that side is open. Empty
    // ({0, 0}) when no row lies in the period.
    struct Range {
        int First = 0;
        int Last = 0;
    };
    Range PeriodRows(int32_t start, int32_t end) const;

    // A marked row whose close shows 0 stops a save: its grid row and the column to fix
    // (the close when its volume is above 0, else the volume); {0, 0} when there is none.
    struct Cell {
        int Row = 0;
        int Col = 0;
    };
    Cell FirstCellToFix() const;
    // The first marked row, or row 1 when DeletedDates has any entry; 0 when nothing is
    // to be saved (or there are no rows).
    int FirstRowToWrite() const;
    // The statements of a save: every INSERT and UPDATE from firstRow down, then the
    // DELETEs in removal order.
    std::vector<BoundStatement> SaveStatements(const std::string& issueId, int firstRow) const;
    IssueSummary Summary() const;

  private:
    void SortNewestFirst();
    // Blanks the DeletedDates entry of a date a row takes again; false when there is none.
    bool BlankDeletedDate(const std::string& dateText);

    std::vector<DailyRow> rows_;
    std::vector<std::string> deletedDates_;
    // The stored date each DeletedDates entry deletes by, entry for entry.
    std::vector<FieldValue> deletedKeys_;
};
