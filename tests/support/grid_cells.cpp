#include "support/grid_cells.h"

#include <QAbstractItemModel>

#include "platform/flex_grid.h"

std::vector<std::string> CutCells(FlexGrid& grid) {
    std::vector<std::string> cut;
    const QAbstractItemModel& model = *grid.model();
    // A shown grid line takes the last pixel of each column.
    const int line = grid.showGrid() ? 1 : 0;
    for (int col = 0; col < model.columnCount(); ++col) {
        const int room = grid.columnWidth(col) - line;
        if (grid.columnWidth(col) <= 0) continue;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex index = model.index(row, col);
            if (model.data(index).toString().isEmpty()) continue;
            const int needed = grid.sizeHintForIndex(index).width();
            if (needed <= room) continue;
            const int gridRow = row + grid.FixedRows();
            cut.push_back(std::to_string(gridRow) + "," + std::to_string(col) + ": " +
                          grid.TextMatrix(gridRow, col) + " (" + std::to_string(needed + line) +
                          " of " + std::to_string(grid.columnWidth(col)) + " px)");
        }
    }
    return cut;
}
