#include "views/multi_layout.h"

#include <algorithm>
#include <cmath>

MultiIssueGrid LayOutMultiIssueGrid(double clientWidth, double clientHeight, int issues) {
    MultiIssueGrid grid;
    grid.Count = std::clamp(issues, 1, kMultiCellCount);
    const double root = std::sqrt(static_cast<double>(grid.Count));
    grid.Rows = static_cast<int>(root);
    grid.Cols = root > grid.Rows ? grid.Rows + 1 : grid.Rows;

    grid.Window = {0, 0, std::max(0.0, clientWidth), std::max(0.0, clientHeight)};
    const double width = std::max(0.0, grid.Window.Width - 2 * kContainerLeft);
    const double height = std::max(0.0, grid.Window.Height - 2 * kContainerTop);
    grid.Container = {kContainerLeft, kContainerTop, width, height};

    const double cellW = std::max(0.0, (width - (grid.Cols + 1) * kCellGapX) / grid.Cols);
    const double cellH = std::max(
        0.0, (height - (grid.Rows + 1) * kCellGapY - grid.Rows * kCellTitleHeight) / grid.Rows);
    grid.CellWidth = cellW;
    grid.CellHeight = cellH;

    int index = 0;
    for (int r = 0; r < grid.Rows; ++r) {
        const double y = kCellGapY + r * (kCellGapY + kCellTitleHeight + cellH);
        for (int c = 0; c < grid.Cols; ++c, ++index) {
            const double x = kCellGapX + c * (cellW + kCellGapX);
            MultiIssueCell& cell = grid.Cells[index];
            cell.Title = {x, y, cellW, kCellTitleHeight};
            cell.Border = {x, y, cellW + kCellBorderExtra,
                           kCellTitleHeight + cellH + kCellBorderExtra};
            cell.Chart = {x, kCellTitleHeight + y, cellW, cellH};
        }
    }
    // One cell height below the container's inner area, where none of them can be seen.
    const double parkedTop = height + cellH;
    for (; index < kMultiCellCount; ++index) {
        MultiIssueCell& cell = grid.Cells[index];
        cell.Parked = true;
        cell.Title = {kCellGapX, parkedTop, cellW, kCellTitleHeight};
        cell.Border = {kCellGapX, parkedTop, cellW, cellH};
        cell.Chart = {kCellGapX, kCellTitleHeight + parkedTop, cellW, cellH};
    }
    return grid;
}
