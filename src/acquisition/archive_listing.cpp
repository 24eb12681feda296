#include "acquisition/archive_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "foundation/text_utils.h"

namespace {

constexpr size_t kDayLength = 8;

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
    });
    return lower;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    return LowerAscii(text.substr(text.size() - suffix.size())) == LowerAscii(suffix);
}

std::set<std::string> LowerNames(const std::vector<std::string>& listing) {
    std::set<std::string> names;
    for (const std::string& name : listing) names.insert(LowerAscii(name));
    return names;
}

bool HasZipPartners(const std::string& name, const std::set<std::string>& lowerNames) {
    const std::string day = name.substr(0, kDayLength);
    return lowerNames.count("i" + day + kZipArchiveSuffix) > 0 &&
           lowerNames.count("s" + day + kZipArchiveSuffix) > 0;
}

}  // namespace

std::vector<std::string> ListFolderNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error)) names.push_back(it->path().filename().string());
    }
    return names;
}

bool IsArchiveDayName(std::string_view name, std::string_view suffix) {
    if (name.size() != kDayLength + suffix.size() || !EndsWithNoCase(name, suffix)) return false;
    const std::string_view day = name.substr(0, kDayLength);
    if (!std::all_of(day.begin(), day.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    std::string slashDate;
    return CheckDateText(day, slashDate);
}

void ListArchiveFiles(const std::vector<std::string>& listing, std::string_view suffix,
                      ArchiveList& files) {
    for (const std::string& name : listing) {
        if (IsArchiveDayName(name, suffix)) files.insert(name);
    }
}

bool CollectCompleteSets(std::string_view suffix, const ArchiveList& files,
                         const std::vector<std::string>& listing, ArchiveList& complete) {
    const bool zip = suffix == kZipArchiveSuffix;
    if (!zip && suffix != kLzhArchiveSuffix) return false;
    const std::set<std::string> lowerNames = zip ? LowerNames(listing) : std::set<std::string>{};
    int added = 0;
    for (auto it = files.rbegin(); it != files.rend() && added < kMaxArchiveDays; ++it) {
        if (zip && !HasZipPartners(*it, lowerNames)) continue;
        complete.insert(*it);
        ++added;
    }
    return true;
}

void CollectArchiveDates(const ArchiveList& complete, ArchiveList& dates) {
    for (auto it = complete.rbegin(); it != complete.rend(); ++it) {
        if (static_cast<int>(dates.size()) >= kMaxArchiveDays) return;
        dates.insert(SlashDate(it->substr(0, kDayLength)));
    }
}

void FindArchivesIn(const std::string& folder, ArchiveList& complete, ArchiveList& dates) {
    const std::vector<std::string> listing = ListFolderNames(folder);
    for (const char* suffix : {kLzhArchiveSuffix, kZipArchiveSuffix}) {
        ArchiveList files;
        ListArchiveFiles(listing, suffix, files);
        CollectCompleteSets(suffix, files, listing, complete);
    }
    CollectArchiveDates(complete, dates);
}
