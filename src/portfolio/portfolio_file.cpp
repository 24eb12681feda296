#include "portfolio/portfolio_file.h"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "foundation/error_texts.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "platform/number_format.h"

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

}  // namespace

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
    const std::string path = AppPath() + kPfFileName;
    if (!FileExists(path)) return;
    RunTrapped([&state, &path] {
        std::string bytes;
        if (!ReadWholeFile(path, bytes)) throw std::runtime_error(kErrFileNotFound);
        std::string text;
        if (!DecodeCp932Strict(bytes, text)) throw std::runtime_error(kErrTypeMismatch);
        // The lists take the entries only once the whole file was read.
        auto lists = ParsePfText(text);
        for (int i = 0; i < kPfListCount; ++i) {
            state.PfCounts[i] = static_cast<int16_t>(lists[i].size());
            state.PfLists[i] = std::move(lists[i]);
        }
    });
}
