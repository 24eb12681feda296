// The parts of bringing a day's data in that grow with the data: the extraction of a zip
// day of the size the data server sends (about 4,000 issues a member), an LZH day, and the
// reading of a text-file series of the full 1,500-line window.
#include <benchmark/benchmark.h>
#include <zip.h>

#include <QTemporaryDir>
#include <cstdio>

#include "acquisition/archive_extraction.h"
#include "acquisition/mail_data_window.h"
#include "acquisition/text_series.h"
#include "foundation/startup.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"

namespace {

constexpr int kIssues = 4000;

std::string MemberText(char tag) {
    std::string text;
    for (int i = 0; i < kIssues; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "20240105,%c%04d,name%d,100,110,90,105,%d\r\n", tag, i, i,
                      1000 * i);
        text += line;
    }
    return text;
}

void MakeZip(const std::string& path,
             const std::vector<std::pair<std::string, std::string>>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, bytes] : entries)
        zip_file_add(archive, name.c_str(),
                     zip_source_buffer(archive, bytes.data(), bytes.size(), 0), 0);
    zip_close(archive);
}

void BM_ExtractZipDay(benchmark::State& state) {
    QTemporaryDir folder;
    SetAppPath(folder.path().toStdString() + "/");
    MakeMailDataFolder();
    SetMailDataPath();
    const std::string d = MemberText('d'), i = MemberText('I'), s = MemberText('S');
    MakeZip(MailDataFolder() + "20240105.zip", {{"20240105.txt", d}});
    MakeZip(MailDataFolder() + "I20240105.zip", {{"I20240105.txt", i}});
    MakeZip(MailDataFolder() + "S20240105.zip",
            {{"S20240105.txt", s}, {"B20240105.txt", s}, {"R20240105.txt", s}});
    for (auto _ : state) {
        ImportMembers members;
        benchmark::DoNotOptimize(ExtractZipSet("20240105", members));
        DeleteImportWorkFiles(WorkFiles::Extracted, members);
    }
}
BENCHMARK(BM_ExtractZipDay)->Unit(benchmark::kMillisecond);

void BM_ExtractLzhDay(benchmark::State& state) {
    QTemporaryDir folder;
    SetAppPath(folder.path().toStdString() + "/");
    const std::string archive =
        std::string(KABUTO_SOURCE_DIR) + "/tests/acquisition/fixtures/day.exe";
    for (auto _ : state) {
        ImportMembers members;
        benchmark::DoNotOptimize(ExtractLzhSet(archive, members));
        DeleteImportWorkFiles(WorkFiles::Extracted, members);
    }
}
BENCHMARK(BM_ExtractLzhDay)->Unit(benchmark::kMicrosecond);

void BM_ReadTextSeries(benchmark::State& state) {
    std::string bytes;
    for (int i = 0; i < 2000; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "1301 2024/%02d/%02d 100.5 110.25 90 105.125 5000\r\n",
                      i / 28 % 12 + 1, i % 28 + 1);
        bytes += line;
    }
    for (auto _ : state) benchmark::DoNotOptimize(ReadTextSeries(bytes, "a.txt"));
}
BENCHMARK(BM_ReadTextSeries)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
