#include "portfolio/portfolio_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "foundation/error_texts.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/message_box.h"
#include "platform/number_format.h"
#include "portfolio/cp932_file.h"

namespace {

constexpr int kPfFieldCount = 7;
constexpr int kPfSignificantDigits = 15;

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

// The plain decimal form of value rounded to 15 significant digits, without the 0 before
// the point of a magnitude below 1 ("-.00001", "612.5"); empty when the magnitude is 1E+15
// or more, or below 1E-15, where the digits would outgrow the field.
std::string PlainDecimal(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.*e", kPfSignificantDigits - 1, std::fabs(value));
    const std::string text = buffer;
    const size_t e = text.find('e');
    const int exponent = std::atoi(text.c_str() + e + 1);
    if (exponent >= kPfSignificantDigits || exponent < -kPfSignificantDigits) return {};
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    digits.erase(digits.find_last_not_of('0') + 1);
    std::string number = value < 0 ? "-" : "";
    if (exponent < 0) return number + "." + std::string(-exponent - 1, '0') + digits;
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) return number + digits + std::string(whole - digits.size(), '0');
    return number + digits.substr(0, whole) + "." + digits.substr(whole);
}

// The exponent form with the fewest digits from 15 up that reads back: at the edge of the
// range 15 digits may round past the largest double, which the reader refuses.
std::string ExponentForm(double value) {
    char buffer[40];
    for (int digits = kPfSignificantDigits; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
        double read = 0;
        const char* end = buffer + std::strlen(buffer);
        const auto [at, error] = std::from_chars(buffer, end, read);
        if (error == std::errc() && at == end && std::isfinite(read)) break;
    }
    return buffer;
}

}  // namespace

std::string PfNumberText(double value) {
    // A value the reader refuses would make the whole file unreadable at the next start.
    if (value == 0 || !std::isfinite(value)) return " 0 ";
    const std::string number = PlainDecimal(value);
    return (value < 0 ? "" : " ") + (number.empty() ? ExponentForm(value) : number) + " ";
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
    std::string failure;
    try {
        // The lists take the entries only once the whole file was read.
        auto lists = ParsePfText(ReadCp932File(path));
        for (int i = 0; i < kPfListCount; ++i) {
            state.PfCounts[i] = static_cast<int16_t>(lists[i].size());
            state.PfLists[i] = std::move(lists[i]);
        }
        return;
    } catch (const std::exception& error) {
        failure = error.what();
    }
    // Kept at once, so that the message can say where the user finds the file.
    std::string error;
    const std::string kept = KeepUnderFreeName(path, error);
    // Not kept: the first save tries again before it replaces the file, or fails.
    state.PfLoadFailed = kept.empty();
    MsgWarn(failure + "\r\n" + (kept.empty() ? error : KeptFileNote(path, kept)));
}

bool SavePfFile() {
    auto& state = Portfolio();
    return RunTrapped([&state] {
        const std::string path = AppPath() + kPfFileName;
        std::string error;
        // A portfolio that one stray line made unreadable is never replaced unkept.
        if (state.PfLoadFailed && FileExists(path) && KeepUnderFreeName(path, error).empty())
            throw std::runtime_error(error);
        WriteCp932File(path, PfFileText(state.PfLists, state.PfCounts));
        state.PfLoadFailed = false;
    });
}
