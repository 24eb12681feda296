#include "ui/grid_layouts.h"

#include <QWidget>
#include <array>
#include <initializer_list>

#include "foundation/state.h"
#include "foundation/trap.h"
#include "platform/flex_grid.h"

namespace {

// Widths of columns 0, 1, 2, ... in twips. They were sized for the platform faces; the
// installed faces that stand in for them ("ＭＳ Ｐゴシック" 9 pt is IPAPGothic at 12 px) set
// digits and kana wider, so some columns are widened just enough (a pixel is 15 twips) to
// show a four-digit code, a market name, a date, an eight-figure price, a six-figure loss
// and a rate past a thousand per cent whole. Widened: 株価 1000 to 1020.
constexpr std::initializer_list<int> kSelectWidths = {
    0, 0, 650, 500, 1650, 550, 1020, 900, 600, 550, 1300, 750, 750, 550, 550, 1175, 3200};
// Widened: コード 550 to 570, 市場 1000 to 1185.
constexpr std::initializer_list<int> kSearchWidths = {0, 570, 1185, 3500};
// Widened: 日付 1100 to 1200, 始値, 高値, 安値 and 終値 975 to 1110.
constexpr std::initializer_list<int> kDataTableWidths = {250,  0,    1200, 1110,
                                                         1110, 1110, 1110, 1175};
// Widened: コード 550 to 570, 引線価格 900 to 1020.
constexpr std::initializer_list<int> kObserveWidths = {0, 0, 570, 1200, 500, 1020, 450, 2450};
// Widened: コード 500 to 570, 損益 750 to 900, 損益率 750 to 990, 目標株価 and 損切株価 800
// to 1110, 購入日 1100 to 1200.
constexpr std::initializer_list<int> kPfWidths = {250, 0,   0,   0,   570,  1800, 500, 650,
                                                  800, 800, 900, 990, 1110, 1110, 1200};

constexpr int kListColumns = 17;
constexpr int kFileColumn = 4;
constexpr int kFileColumnWidth = 14950;

constexpr int kPfColumns = 15;
constexpr int kPfFirstTitle = 4;
constexpr std::array<const char*, 11> kPfTitles = {"コード",   "銘柄名",   "市場",  "株数",
                                                   "購入単価", "現在値",   "損益",  "損益率",
                                                   "目標株価", "損切株価", "購入日"};

constexpr std::array<const char*, 14> kFilterChecks = {
    "CHK_指標", "CHK_東プ", "CHK_東ス", "CHK_東グ", "CHK_東",   "CHK_東1",     "CHK_東2",
    "CHK_大証", "CHK_名証", "CHK_店頭", "CHK_マザ", "CHK_ヘラ", "CHK_注目Min", "CHK_注目Max"};

// Widths for the columns the grid has; a layout never adds columns.
void ApplyWidths(FlexGrid& grid, std::initializer_list<int> widths) {
    int col = 0;
    for (const int width : widths) {
        if (col >= grid.Cols()) break;
        grid.SetColWidth(col++, width);
    }
}

bool SetFilterChecks(QWidget& form, bool enabled) {
    bool all = true;
    for (const char* name : kFilterChecks) {
        auto* check = form.findChild<QWidget*>(QString::fromUtf8(name));
        if (check == nullptr) {
            all = false;
            continue;
        }
        check->setEnabled(enabled);
    }
    return all;
}

}  // namespace

void SetSelectGridLayout(FlexGrid& grid) {
    ApplyWidths(grid, kSelectWidths);
}
void SetSearchGridLayout(FlexGrid& grid) {
    ApplyWidths(grid, kSearchWidths);
}
void SetDataTableGridLayout(FlexGrid& grid) {
    ApplyWidths(grid, kDataTableWidths);
}
void SetObserveGridLayout(FlexGrid& grid) {
    ApplyWidths(grid, kObserveWidths);
}
void SetPfGridWidths(FlexGrid& grid) {
    ApplyWidths(grid, kPfWidths);
}

void SetPfGridLayout(FlexGrid& grid) {
    RunTrapped([&] {
        grid.Clear();
        grid.SetRows(1);
        grid.SetCols(kPfColumns);
        SetPfGridWidths(grid);
        for (const int col : {9, 10, 11}) {
            grid.SetColAlignment(col, FlexAlign::RightCenter);
            grid.SetFixedAlignment(col, FlexAlign::LeftCenter);
        }
        for (const int col : {5, 6}) grid.SetColAlignment(col, FlexAlign::LeftCenter);
        for (size_t i = 0; i < kPfTitles.size(); ++i) {
            grid.SetTextMatrix(0, kPfFirstTitle + static_cast<int>(i), kPfTitles[i]);
        }
    });
}

void SetFileGridLayout(FlexGrid& grid) {
    // The file layout reuses the issue list's grid; it needs the list's columns.
    if (grid.Cols() < kListColumns) grid.SetCols(kListColumns);
    grid.SetRows(2);
    grid.SetTextMatrix(0, kFileColumn, "ファイル名");
    for (int col = 0; col < kListColumns; ++col) {
        grid.SetColWidth(col, col == kFileColumn ? kFileColumnWidth : 0);
    }
}

bool EnableFilterChecks(QWidget& form) {
    return SetFilterChecks(form, true);
}
bool DisableFilterChecks(QWidget& form) {
    return SetFilterChecks(form, false);
}

void SetGridFlagByMouseX(FlexGrid& grid, double x, bool twoHidden) {
    RunTrapped([&] {
        double limit = grid.ColWidth(0) + 200;
        if (twoHidden) limit += grid.ColWidth(1);
        const bool allow = TextData().TextDataMode != -1 && (x < 0 || x > limit);
        grid.SetAllowUserResizing(allow);
    });
}
