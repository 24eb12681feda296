// ctest-labels: datatable integrity
// The rows behind the price data table: value commits with the pull of the other prices,
// re-dating, removal, and the statements and summary of a save.
#include "maintenance/data_table_rows.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/number_format.h"

namespace {

// One stored row: the date and open, high, low, close, volume (nullopt for Null).
struct StoredRow {
    int32_t date;
    std::array<std::optional<double>, 5> values;
};

DailyRowTable TableOf(const std::vector<StoredRow>& stored);

// An edit compares the shown number for its own cell but pulls the others by what is
// stored: a bar that was consistent stays so.
TEST(DailyRowTableIntegrity, AnEditNeverMakesAConsistentBarInconsistent) {
    const struct {
        int col;
        double value;
        std::array<double, 4> saved;  // open, high, low, close
    } cases[] = {
        {kDtColClose, 140, {130, 140, 120.4, 140}}, {kDtColClose, 120, {130, 139.6, 120, 120}},
        {kDtColOpen, 140, {140, 140, 120.4, 125}},  {kDtColOpen, 120, {120, 139.6, 120, 125}},
        {kDtColHigh, 120, {120, 120, 120, 120}},    {kDtColLow, 140, {140, 140, 140, 140}},
    };
    for (const auto& c : cases) {
        DailyRowTable table = TableOf({{20240105, {130, 139.6, 120.4, 125, 100}}});
        ASSERT_TRUE(table.CommitValue(1, c.col, c.value)) << c.col << " " << c.value;
        const DailyRow& row = table.Row(1);
        for (int col = kDtColOpen; col <= kDtColClose; ++col)
            EXPECT_EQ(row.Value(col).Stored, c.saved[col - kDtColOpen])
                << c.col << " " << c.value << " column " << col;
    }
}

DailyRowTable TableOf(const std::vector<StoredRow>& stored) {
    NumberRows numbers;
    numbers.Reset(6);
    for (size_t r = 0; r < stored.size(); ++r) {
        double* fields = numbers.AddRow();
        fields[0] = stored[r].date;
        for (int v = 0; v < 5; ++v) {
            if (stored[r].values[v])
                fields[v + 1] = *stored[r].values[v];
            else
                numbers.SetNull(static_cast<int>(r), v + 1);
        }
    }
    DailyRowTable table;
    table.Fill(numbers);
    return table;
}

// Three stored rows, newest first.
DailyRowTable ThreeRows() {
    return TableOf({{20240105, {{100, 120, 90, 110, 1000}}},
                    {20240104, {{95, 105, 85, 100, 900}}},
                    {20240103, {{90, 100, 80, 95, 800}}}});
}

std::vector<std::string> ValueTexts(const DailyRowTable& table, int row) {
    const std::vector<std::string> cells = table.Cells(row);
    return {cells.begin() + kDtColOpen, cells.end()};
}

std::vector<int32_t> Dates(const DailyRowTable& table) {
    std::vector<int32_t> dates;
    for (int r = 1; r <= table.Count(); ++r) dates.push_back(table.Row(r).Date);
    return dates;
}

}  // namespace

TEST(DataTableRows, CellsShowWholeNumbersAndNullAsZero) {
    const DailyRowTable table =
        TableOf({{20240105, {{1234.5, 1300, std::nullopt, 1250.4, 2500000}}}});
    const std::vector<std::string> cells = table.Cells(1);
    EXPECT_EQ(cells, (std::vector<std::string>{"", "", "2024/01/05", "1,235", "1,300", "0", "1,250",
                                               "2,500,000"}));
}

TEST(DataTableRows, DateTexts) {
    const std::pair<int32_t, const char*> cases[] = {
        {20240105, "2024/01/05"}, {19991231, "1999/12/31"}, {99991231, "9999/12/31"},
        {10000101, "1000/01/01"}, {0, "0000/00/00"},        {-20240105, "-2024/01/05"}};
    for (const auto& [date, text] : cases) {
        DailyRow row;
        row.Date = date;
        EXPECT_EQ(row.DateText(), text);
    }
}

TEST(DataTableRows, BoundsOfATypedValue) {
    const struct {
        int col;
        double value;
        bool refused;
    } cases[] = {
        {kDtColOpen, 0, false},  {kDtColHigh, 0, false},
        {kDtColLow, 0, false},   {kDtColClose, 0, true},
        {kDtColVolume, 0, true}, {kDtColOpen, -1, true},
        {kDtColClose, 1, false}, {kDtColVolume, 99999999999.0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DailyRowTable::ValueRefused(c.col, c.value), c.refused)
            << c.col << " " << c.value;
}

TEST(DataTableRows, AValuePullsTheOtherPricesOfItsRow) {
    // Stored: open 100, high 120, low 90, close 110, volume 1000.
    const struct {
        int col;
        double value;
        std::vector<std::string> after;
    } cases[] = {
        {kDtColOpen, 130, {"130", "130", "90", "110", "1,000"}},   // high raised
        {kDtColOpen, 80, {"80", "120", "80", "110", "1,000"}},     // low lowered
        {kDtColOpen, 0, {"0", "120", "0", "110", "1,000"}},        // open 0 takes the low down
        {kDtColHigh, 85, {"85", "85", "85", "85", "1,000"}},       // open, low, close lowered
        {kDtColHigh, 105, {"100", "105", "90", "105", "1,000"}},   // only the close
        {kDtColLow, 125, {"125", "125", "125", "125", "1,000"}},   // open, high, close raised
        {kDtColLow, 0, {"100", "120", "0", "110", "1,000"}},       // nothing else moves
        {kDtColClose, 130, {"100", "130", "90", "130", "1,000"}},  // the high, not the open
        {kDtColClose, 50, {"100", "120", "50", "50", "1,000"}},    // the low, not the open
        {kDtColVolume, 5, {"100", "120", "90", "110", "5"}},
    };
    for (const auto& c : cases) {
        DailyRowTable table = ThreeRows();
        EXPECT_TRUE(table.CommitValue(1, c.col, c.value));
        EXPECT_EQ(ValueTexts(table, 1), c.after) << c.col << " := " << c.value;
        EXPECT_EQ(table.Row(1).State, "Change");
        EXPECT_EQ(ValueTexts(table, 2), ValueTexts(ThreeRows(), 2));
    }
}

TEST(DataTableRows, TheSamePriceChangesNothingTheSameVolumeMarksTheRow) {
    DailyRowTable table = TableOf({{20240105, {{100.4, 120, 90, 110, 1000}}}});
    for (const int col : {kDtColOpen, kDtColHigh, kDtColLow, kDtColClose}) {
        EXPECT_FALSE(table.CommitValue(1, col, table.Row(1).Value(col).Shown())) << col;
        EXPECT_EQ(table.Row(1).State, "");
    }
    EXPECT_EQ(table.Row(1).Value(kDtColOpen).Stored, 100.4);  // the same shown "100"
    EXPECT_TRUE(table.CommitValue(1, kDtColVolume, 1000));
    EXPECT_EQ(table.Row(1).State, "Change");
}

TEST(DataTableRows, AnUnwrittenCellKeepsItsStoredValue) {
    DailyRowTable table = TableOf({{20240105, {{100.4, std::nullopt, 90.25, 110.5, 1000}}}});
    ASSERT_TRUE(table.CommitValue(1, kDtColVolume, 2000));
    const std::vector<BoundStatement> statements = table.SaveStatements("3001211", 1);
    ASSERT_EQ(statements.size(), 1u);
    const std::vector<FieldValue> expected = {
        100.4, std::monostate{}, 90.25, 110.5, 2000.0, std::string("3001211"), int64_t{20240105}};
    EXPECT_EQ(statements[0].Parameters, expected);
    // A written price is the whole number typed; the prices it pulls take it too.
    ASSERT_TRUE(table.CommitValue(1, kDtColClose, 95));
    EXPECT_EQ(table.Row(1).Value(kDtColLow).Bound(), FieldValue{90.25});  // 90 is not above 95
    EXPECT_EQ(table.Row(1).Value(kDtColClose).Bound(), FieldValue{95.0});
}

TEST(DataTableRows, ReDating) {
    // A stored row moved to a new date: an "Add" row there and its old date to delete.
    DailyRowTable table = ThreeRows();
    EXPECT_EQ(table.CheckNewDate(2, 20240104), DailyRowTable::DateCheck::Same);
    EXPECT_EQ(table.CheckNewDate(2, 20240105), DailyRowTable::DateCheck::Duplicate);
    ASSERT_EQ(table.CheckNewDate(2, 20240110), DailyRowTable::DateCheck::Move);
    EXPECT_EQ(table.MoveToDate(2, 20240110), 1);
    EXPECT_EQ(Dates(table), (std::vector<int32_t>{20240110, 20240105, 20240103}));
    EXPECT_EQ(table.Row(1).State, "Add");
    EXPECT_EQ(ValueTexts(table, 1), ValueTexts(ThreeRows(), 2));
    EXPECT_EQ(table.DeletedDates(), (std::vector<std::string>{"2024/01/04"}));

    // The "Add" row moved again leaves no entry.
    EXPECT_EQ(table.MoveToDate(1, 20240102), 3);
    EXPECT_EQ(table.Row(3).State, "Add");
    EXPECT_EQ(table.DeletedDates(), (std::vector<std::string>{"2024/01/04"}));

    // Onto the deleted date: the stored row there is updated, its entry blanked.
    EXPECT_EQ(table.MoveToDate(1, 20240104), 1);
    EXPECT_EQ(Dates(table), (std::vector<int32_t>{20240104, 20240103, 20240102}));
    EXPECT_EQ(table.Row(1).State, "Change");
    EXPECT_EQ(table.DeletedDates(), (std::vector<std::string>{"", "2024/01/05"}));
}

TEST(DataTableRows, TheStatementsOfASave) {
    DailyRowTable table = ThreeRows();
    table.DeleteRows(1, 1);                   // 01/05 to delete
    table.MoveToDate(2, 20240105);            // 01/03 to 01/05: a "Change", 01/03 to delete
    table.CommitValue(2, kDtColVolume, 777);  // 01/04 changed
    table.MoveToDate(2, 20240108);            // and moved: an "Add", 01/04 to delete
    ASSERT_EQ(Dates(table), (std::vector<int32_t>{20240108, 20240105}));
    EXPECT_EQ(table.DeletedDates(), (std::vector<std::string>{"", "2024/01/03", "2024/01/04"}));
    EXPECT_EQ(table.FirstRowToWrite(), 1);
    const std::vector<BoundStatement> statements = table.SaveStatements("3001211", 1);
    ASSERT_EQ(statements.size(), 4u);
    EXPECT_EQ(statements[0].Text,
              "INSERT INTO TBL日次 (銘柄ID,日付,始値,高値,安値,終値,出来高) VALUES ( "
              "?,?,?,?,?,?,?)");
    EXPECT_EQ(statements[0].Parameters,
              (std::vector<FieldValue>{std::string("3001211"), int64_t{20240108}, 95.0, 105.0, 85.0,
                                       100.0, 777.0}));
    EXPECT_EQ(statements[1].Text,
              "UPDATE TBL日次 SET 始値 = ?,高値 = ?,安値 = ?,終値 = ?,出来高 = ? WHERE (銘柄ID = "
              "? AND 日付 = ?)");
    EXPECT_EQ(statements[1].Parameters,
              (std::vector<FieldValue>{90.0, 100.0, 80.0, 95.0, 800.0, std::string("3001211"),
                                       int64_t{20240105}}));
    for (const int i : {2, 3})
        EXPECT_EQ(statements[i].Text, "DELETE FROM TBL日次 WHERE 銘柄ID = ? AND 日付 = ?");
    EXPECT_EQ(statements[2].Parameters[1], FieldValue{int64_t{20240103}});
    EXPECT_EQ(statements[3].Parameters[1], FieldValue{int64_t{20240104}});
}

TEST(DataTableRows, WhatASaveStartsFrom) {
    DailyRowTable table = ThreeRows();
    EXPECT_EQ(table.FirstRowToWrite(), 0);  // nothing changed
    table.CommitValue(3, kDtColVolume, 5);
    EXPECT_EQ(table.FirstRowToWrite(), 3);
    EXPECT_EQ(table.SaveStatements("X", 3).size(), 1u);
    table.DeleteRows(1, 1);
    EXPECT_EQ(table.FirstRowToWrite(), 1);  // a pending deletion: from the top row
    table.DeleteRows(1, table.Count());
    EXPECT_EQ(table.FirstRowToWrite(), 0);
    EXPECT_EQ(table.DeletedDates().size(), 3u);
    EXPECT_EQ(table.SaveStatements("X", 1).size(), 3u);
}

TEST(DataTableRows, AMarkedRowWithoutACloseStopsASave) {
    DailyRowTable table = TableOf({{20240105, {{100, 120, 90, std::nullopt, 1000}}},
                                   {20240104, {{95, 105, 85, 0, std::nullopt}}},
                                   {20240103, {{90, 100, 80, 0, 800}}}});
    EXPECT_EQ(table.FirstCellToFix().Row, 0);  // unmarked rows are not examined
    table.CommitValue(2, kDtColOpen, 96);
    EXPECT_EQ(table.FirstCellToFix().Row, 2);
    EXPECT_EQ(table.FirstCellToFix().Col, kDtColVolume);
    table.CommitValue(1, kDtColOpen, 101);
    EXPECT_EQ(table.FirstCellToFix().Row, 1);
    EXPECT_EQ(table.FirstCellToFix().Col, kDtColClose);
}

TEST(DataTableRows, TheSummaryOfTheNewestRows) {
    EXPECT_EQ(ThreeRows().Summary().LastDate, "2024/01/05");
    EXPECT_EQ(ThreeRows().Summary().Close, "110");
    EXPECT_EQ(ThreeRows().Summary().Change, "10");
    EXPECT_EQ(ThreeRows().Summary().Volume, "1000");
    DailyRowTable falling = ThreeRows();
    falling.CommitValue(1, kDtColClose, 85);
    EXPECT_EQ(falling.Summary().Change, "-15");
    const IssueSummary one = TableOf({{20240105, {{1, 1, 1, 1, 1}}}}).Summary();
    EXPECT_EQ(one.Change, "－");
    const IssueSummary none = DailyRowTable{}.Summary();
    EXPECT_EQ(none.LastDate, "");
    EXPECT_EQ(none.Close, "0");
    EXPECT_EQ(none.Change, "－");
    EXPECT_EQ(none.Volume, "0");
}

TEST(DataTableRows, CellTextsAreTheGeneralFormatsOnes) {
    for (const double value : {0.0,         7.0,           999.0, 1000.0,       123456.0,
                               1234567.0,   99999999999.0, -1.0,  -1000.0,      -123456789.0,
                               2.5,         -2.5,          0.5,   -0.5,         8388607.5,
                               1.5,         1e16,          -0.3,  0.4999999999, 2.4999999,
                               807.52,      1.005,         999.5, 999999.7,     123456.5000001,
                               999999999.5, 12345678901.49}) {
        const DailyValue cell{value, false};
        EXPECT_EQ(cell.Text(), FormatNumber(value, "##,##0")) << value;
    }
}
