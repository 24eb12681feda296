#include "printing/data_table_print.h"

#include <QLabel>
#include <stdexcept>

#include "platform/flex_grid.h"
#include "platform/surface.h"
#include "printing/list_page.h"

namespace {

constexpr double kLeftEdge = 9.5;
constexpr double kRightEdge = 87.5;
constexpr double kTitleTop = 8;
constexpr double kFirstRowTop = 10;  // a page's rules run down from its first row
constexpr double kTextDrop = 0.17;
// The right rules of the five value columns; the volume's is the right edge.
constexpr double kValueRules[] = {33.034, 45.6415, 58.249, 70.8565, kRightEdge};

void DrawRules(ListPage& page, double top, double bottom) {
    for (double x : DataTableRules()) page.Line(x, top, x, bottom);
}

}  // namespace

std::vector<double> DataTableRules() {
    return {20.4265, 33.034, 45.6415, 58.249, 70.8565};
}

std::vector<PlacedText> DataTableTitles() {
    return {{10, "日付"},      {20.9265, "始値"}, {33.534, "高値"},
            {46.1415, "安値"}, {58.749, "終値"},  {71.3565, "出来高"}};
}

std::vector<PlacedText> DataTableRowTexts(const std::vector<std::string>& cells) {
    std::vector<PlacedText> texts{{11, cells.at(0)}};
    for (size_t i = 1; i < cells.size() && i <= std::size(kValueRules); ++i)
        texts.push_back({RightAlignedX(kValueRules[i - 1], cells[i]), cells[i]});
    return texts;
}

ListPrinter DataTablePrinter(const FlexGrid& grid, std::function<std::string()> caption) {
    ListPrinter printer;
    printer.SetsPageMetrics = false;
    printer.PageHead = [caption](ListPage& page, int32_t pageIndex, int32_t pageCount) {
        const std::string text = caption();
        page.Box(kLeftEdge, kTitleTop, kRightEdge, kTitleTop + 1);
        DrawRules(page, kTitleTop, kTitleTop + 1);
        page.Text(10, 5, text);
        for (const PlacedText& title : DataTableTitles())
            page.Text(title.X, kTitleTop + kTextDrop, title.Text);
        PrintListPageStamp(page, pageIndex, pageCount);
    };
    printer.Row = [&grid](ListPage& page, int32_t gridRow, int32_t line) {
        std::vector<std::string> cells;
        for (int column = 2; column <= 7; ++column)
            cells.push_back(grid.TextMatrix(gridRow, column));
        const double top = line + kTitleTop + 1;
        page.Box(kLeftEdge, top, kRightEdge, top + 1);
        DrawRules(page, kFirstRowTop, top + 1);
        for (const PlacedText& text : DataTableRowTexts(cells))
            page.Text(text.X, top + kTextDrop, text.Text);
    };
    return printer;
}

bool PrintDataTable(int32_t firstRow, int32_t lastRow, const PrintSettei& settings,
                    std::string& error) {
    QWidget* window = FindOpenWindow("FRM_データ表");
    auto* grid = window ? window->findChild<FlexGrid*>(QStringLiteral("FGR_日次")) : nullptr;
    auto* label = window ? window->findChild<QLabel*>(QStringLiteral("LBL_Name")) : nullptr;
    if (!grid || !label) {
        error = kMissingObjectError;
        return false;
    }
    const auto caption = [label] { return label->text().toStdString(); };
    return RunListPrint(DataTablePrinter(*grid, caption), firstRow, lastRow, settings, error);
}
