// Filling the issue list and sorting it by a header click: 4,000 issues x 17 columns.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/flex_grid.h"
#include "ui/grid_layouts.h"
#include "ui/grid_sort.h"

namespace {

constexpr int kIssues = 4000;

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
    return lines;
}

void Fill(FlexGrid& grid, const std::vector<std::string>& lines) {
    grid.SetRedraw(false);
    grid.setVisible(false);
    grid.Clear();
    grid.SetRows(1);
    grid.SetCols(17);
    SetSelectGridLayout(grid);
    for (const std::string& line : lines) grid.AddItem(line);
    grid.SetRedraw(true);
    grid.setVisible(true);
}

void BM_FillIssueGrid(benchmark::State& state) {
    const auto lines = IssueLines();
    FlexGrid grid;
    grid.resize(1200, 800);
    grid.show();
    for (auto _ : state) {
        Fill(grid, lines);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_FillIssueGrid)->Unit(benchmark::kMillisecond);

void BM_SortIssueGrid(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    const auto lines = IssueLines();
    FlexGrid grid;
    grid.resize(1200, 800);
    grid.show();
    Fill(grid, lines);
    int16_t flag = 0;
    for (auto _ : state) {
        SortSelectGrid(grid, flag, column);
        QApplication::processEvents();
    }
}
// Price (generic), code (numeric), market (display order), turn date (text), name.
BENCHMARK(BM_SortIssueGrid)->Arg(6)->Arg(2)->Arg(5)->Arg(10)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
