// Filling the issue list from its recordset: 4,000 issues, each with a memo and a watch
// number in the text stores, looked up through one index per fill; beside it the same
// look-ups made by scanning the stores per row, as a store search does.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/text_stores.h"
#include "platform/flex_grid.h"
#include "support/widgets_main.h"
#include "views/list_services.h"

namespace {

constexpr int kIssues = 4000;

std::string IssueId(int i) {
    return std::to_string(1300 + i) + "211";
}

void PrepareList() {
    std::vector<std::string> names(39, "f");
    std::vector<std::vector<FieldValue>> rows;
    std::string memos;
    std::string watches;
    for (int i = 0; i < kIssues; ++i) {
        std::vector<FieldValue> row(39);
        row[kField銘柄ID] = IssueId(i);
        row[kField銘柄名] = "銘柄" + std::to_string(i);
        row[kField証券コード] = std::to_string(1300 + i);
        row[kField売買単位] = int64_t{100};
        row[kField前日比] = static_cast<double>(i % 50 - 25);
        row[kField株価] = 100.0 + i;
        row[kField上昇率] = 12.5;
        row[kField転換日] = int64_t{20240105};
        row[kField転換状況] = std::string("買");
        row[kField斜線W] = int64_t{i % 2};
        row[kField略称] = std::string("一部");
        row[kField表示順] = int64_t{0};
        row[kField業種名] = std::string("化学");
        rows.push_back(std::move(row));
        memos += IssueId(i) + "\tメモ" + std::to_string(i) + "\r\n";
        watches += IssueId(i) + "\t" + std::to_string(1 + i % 100) + "\r\n";
    }
    IssueList().IssueListRecordset = std::make_shared<Recordset>(names, std::move(rows));
    TextStores().MemoText = memos;
    TextStores().ChuumokuText = watches;
}

void BM_FillIssueList(benchmark::State& state) {
    PrepareList();
    FlexGrid grid;
    grid.resize(1200, 800);
    grid.show();
    for (auto _ : state) {
        ClearSelectedRows();
        HideGrid(grid);
        SetListGridHeaders(grid);
        FillIssueGrid(grid);
        ShowGrid(grid);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_FillIssueList)->Unit(benchmark::kMillisecond);

void BM_StoreLookupsByIndex(benchmark::State& state) {
    PrepareList();
    for (auto _ : state) {
        const auto memos = IssueValueIndex(TextStores().MemoText);
        const auto watches = IssueValueIndex(TextStores().ChuumokuText);
        size_t found = 0;
        for (int i = 0; i < kIssues; ++i)
            found += memos.count(IssueId(i)) + watches.count(IssueId(i));
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_StoreLookupsByIndex)->Unit(benchmark::kMillisecond);

void BM_StoreLookupsByScan(benchmark::State& state) {
    PrepareList();
    for (auto _ : state) {
        size_t found = 0;
        for (int i = 0; i < kIssues; ++i)
            found += FindMemo(IssueId(i)).size() + FindChuumoku(IssueId(i)).size();
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_StoreLookupsByScan)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv);
}
