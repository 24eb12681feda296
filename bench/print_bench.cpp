// Chart pages printed to a PDF file at the printer's full resolution: a daily chart over a
// kagi chart on one A4 page, and twelve daily cells on one A3 page.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>
#include <vector>

#include "drawing/kagi_fixture.h"
#include "drawing/printed_candle_chart.h"
#include "drawing/printed_kagi_chart.h"
#include "drawing/series_fixture.h"
#include "support/widgets_main.h"

namespace {

void SetUpPdf(QPrinter& printer, const QString& file, QPageSize::PageSizeId size) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(size));
}

void CandleOverKagiPage(benchmark::State& state) {
    QTemporaryDir dir;
    SeriesRecord daily = DailyBars(1200, 850, 7);
    AddAverages(daily, 5, 25);
    daily.KanmonSlots[0] = {900, 850, 0};
    KagiFixture kagi(300, 800, 9);
    for (int32_t k = 200; k < 300; k += 5)
        kagi.Mark(k, k % 10 == 0 ? (k % 2 ? "売" : "買") : "", k % 2 ? "ろさろく売" : "ろあ買");
    kagi.SetSignalColours();
    PrintChartOptions half;
    half.HalfPage = true;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdf(printer, dir.filePath(QStringLiteral("page.pdf")), QPageSize::A4);
        Surface page(&printer);
        page.SetFontFace(QString::fromLatin1(kMinchoFace));
        if (!PrintCandleChart(page, daily, 150, half) ||
            !PrintKagiChart(page, kagi.record, 50, half, kagi.Tables()))
            state.SkipWithError("printing failed");
    }
}
BENCHMARK(CandleOverKagiPage)->Unit(benchmark::kMillisecond);

void TwelveDailyCells(benchmark::State& state) {
    QTemporaryDir dir;
    std::vector<SeriesRecord> issues;
    for (int32_t i = 0; i < 12; ++i) issues.push_back(DailyBars(300, 300 + 100 * i, 11 + i));
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdf(printer, dir.filePath(QStringLiteral("cells.pdf")), QPageSize::A3);
        Surface page(&printer);
        page.SetFontFace(QString::fromLatin1(kMinchoFace));
        for (int32_t i = 0; i < 12; ++i)
            if (!PrintCandleCell(page, issues[i], 100, "銘柄" + std::to_string(i), i, 12, {}))
                state.SkipWithError("printing failed");
    }
}
BENCHMARK(TwelveDailyCells)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv);
}
