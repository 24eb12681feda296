// The issue list's grid, 4,000 issues x 17 columns: filled from rows in no column's order
// and sorted by a header click, as one operation, beside the same fill alone, so that the
// ratio is what the sort adds to a fill. One case for every column the user can sort by;
// the last benchmark names the worst column.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/flex_grid.h"
#include "support/side_by_side.h"
#include "ui/grid_layouts.h"
#include "ui/grid_sort.h"

namespace {

constexpr int kIssues = 4000;
constexpr int kFirstSortColumn = 2;  // columns 0 and 1 are hidden keys
constexpr int kColumns = 17;

// Rows as the list query gives them, shuffled: no column arrives in its order.
std::vector<std::string> IssueLines() {
    std::mt19937 random(7);
    const char* markets[] = {"東P", "東S", "東G", "名証", "大証"};
    std::vector<std::string> lines;
    for (int i = 1; i <= kIssues; ++i) {
        const int market = random() % 5;
        std::string line = std::to_string(i) + "\t" + std::to_string(market) + "\t" +
                           std::to_string(1300 + random() % 8000) + "\t" +
                           std::to_string(random() % 10) + "\t銘柄名" + std::to_string(i) + "\t" +
                           markets[market] + "\t" + std::to_string(random() % 5000) + "\t" +
                           std::to_string(static_cast<int>(random() % 200) - 100) + "\t100\t" +
                           (random() % 2 ? "売" : "買") + "\t2024/0" +
                           std::to_string(1 + random() % 9) + "/1" + std::to_string(random() % 10) +
                           "\t12.5\t3.4\t○\t\t業種\tメモ";
        lines.push_back(std::move(line));
    }
    std::shuffle(lines.begin(), lines.end(), random);
    return lines;
}

void Fill(FlexGrid& grid, const std::vector<std::string>& lines) {
    grid.SetRedraw(false);
    grid.setVisible(false);
    grid.Clear();
    grid.SetRows(1);
    grid.SetCols(kColumns);
    SetSelectGridLayout(grid);
    for (const std::string& line : lines) grid.AddItem(line);
    grid.SetRedraw(true);
    grid.setVisible(true);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const std::vector<std::string> lines = IssueLines();
    FlexGrid grid;
    grid.resize(1200, 800);
    grid.show();
    const TimedWork fill{{}, [&] {
                             Fill(grid, lines);
                             QApplication::processEvents();
                         }};
    SideBySideCases columns("FillAndSortBesideFill");
    for (int column = kFirstSortColumn; column < kColumns; ++column) {
        const TimedWork fillAndSort{{}, [&, column] {
                                        Fill(grid, lines);
                                        int16_t descending = 0;
                                        SortSelectGrid(grid, descending, column);
                                        QApplication::processEvents();
                                    }};
        columns.Add({"column" + std::to_string(column), fillAndSort, fill, {}});
    }
    columns.Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
