#include "portfolio/portfolio_file.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "foundation/error_texts.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/number_format.h"
#include "portfolio/cp932_file.h"

namespace {

constexpr int kPfFieldCount = 7;

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return fields;
}

std::string PfLine(const PfEntry& entry, int listNumber) {
    return entry.Code + "," + PfNumberText(listNumber) + "," + PfNumberText(entry.Quantity) + "," +
           PfNumberText(entry.UnitPrice) + "," + PfNumberText(entry.TargetPrice) + "," +
           PfNumberText(entry.StopPrice) + "," + PfNumberText(entry.PurchaseDate) + "\r\n";
}

// Keeps the file that could not be read beside it before a save replaces it: it may be a
// whole portfolio that one stray line made unreadable, and the user sees only empty lists.
void KeepUnreadableFile(const std::string& path) {
    if (!FileExists(path)) return;
    std::string bytes;
    std::string error;
    if (!ReadWholeFile(path, bytes)) throw std::runtime_error(kErrFileNotFound);
    if (!WriteFileAtomically(AppPath() + kPfBackupFileName, bytes, error))
        throw std::runtime_error(error);
}

}  // namespace

std::string PfNumberText(double value) {
    // A value the reader refuses would make the whole file unreadable at the next start.
    if (value == 0 || !std::isfinite(value)) return " 0 ";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string number = buffer;
    const size_t digits = number.front() == '-' ? 1 : 0;
    if (number.compare(digits, 2, "0.") == 0) number.erase(digits, 1);
    return (value < 0 ? "" : " ") + number + " ";
}

std::string PfFileText(const std::array<std::vector<PfEntry>, kPfListCount>& lists,
                       const std::array<int16_t, kPfListCount>& counts) {
    std::string text;
    for (int list = 0; list < kPfListCount; ++list) {
        const size_t count =
            std::min<size_t>(std::max<int16_t>(counts[list], 0), lists[list].size());
        for (size_t i = 0; i < count; ++i) text += PfLine(lists[list][i], list + 1);
    }
    return text;
}

int PfListIndex(std::string_view field) {
    // The field is compared with its blanks: only the written forms " 1 ", " 2 " and
    // " 3 " name the first three lists; everything else goes to the fourth.
    if (field == " 1 ") return 0;
    if (field == " 2 ") return 1;
    if (field == " 3 ") return 2;
    return 3;
}

std::array<std::vector<PfEntry>, kPfListCount> ParsePfText(std::string_view text) {
    std::array<std::vector<PfEntry>, kPfListCount> lists;
    for (std::string_view line : TextLines(text)) {
        const std::vector<std::string_view> fields = SplitFields(line);
        if (fields.size() < kPfFieldCount) throw std::out_of_range(kErrSubscriptOutOfRange);
        std::vector<PfEntry>& list = lists[PfListIndex(fields[1])];
        if (list.size() >= kPfListCapacity) continue;
        PfEntry entry;
        entry.Code = std::string(fields[0]);
        entry.Quantity = StrictNumber(fields[2]);
        entry.UnitPrice = StrictNumber(fields[3]);
        entry.TargetPrice = StrictNumber(fields[4]);
        entry.StopPrice = StrictNumber(fields[5]);
        entry.PurchaseDate = StrictLong(fields[6]);
        list.push_back(std::move(entry));
    }
    return lists;
}

void LoadPfFile() {
    auto& state = Portfolio();
    for (auto& list : state.PfLists) list.clear();
    state.PfCounts = {};
    state.PfLoadFailed = false;
    const std::string path = AppPath() + kPfFileName;
    if (!FileExists(path)) return;
    state.PfLoadFailed = !RunTrapped([&state, &path] {
        // The lists take the entries only once the whole file was read.
        auto lists = ParsePfText(ReadCp932File(path));
        for (int i = 0; i < kPfListCount; ++i) {
            state.PfCounts[i] = static_cast<int16_t>(lists[i].size());
            state.PfLists[i] = std::move(lists[i]);
        }
    });
}

bool SavePfFile() {
    auto& state = Portfolio();
    return RunTrapped([&state] {
        const std::string path = AppPath() + kPfFileName;
        if (state.PfLoadFailed) KeepUnreadableFile(path);
        WriteCp932File(path, PfFileText(state.PfLists, state.PfCounts));
        state.PfLoadFailed = false;
    });
}
