#pragma once
// The trading days that have a complete archive in the mail-data folder. Two kinds lie
// there: a self-extracting LZH file per day, complete by itself, and a zip set of three
// files per day ("d.zip" with its partners "Sd.zip" and "Id.zip"). Names are matched
// without regard to case, as the file system the archives come from does.
#include <set>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kLzhArchiveSuffix = "株価データ.exe";
inline constexpr const char* kZipArchiveSuffix = ".zip";
// Each kind gives at most this many archives, and the window shows at most this many days.
inline constexpr int kMaxArchiveDays = 30;

// The work lists, each kept in ascending text order.
using ArchiveList = std::set<std::string>;

// The names of the files in folder (no folders); empty when the folder is missing.
std::vector<std::string> ListFolderNames(const std::string& folder);
// True for eight digits forming a real date followed by suffix, nothing else.
bool IsArchiveDayName(std::string_view name, std::string_view suffix);
// Adds the names of the listing that are days of this suffix.
void ListArchiveFiles(const std::vector<std::string>& listing, std::string_view suffix,
                      ArchiveList& files);
// Adds to complete the newest complete archives of one kind, at most kMaxArchiveDays;
// partners of a zip day are looked up in listing. False for a suffix of neither kind.
bool CollectCompleteSets(std::string_view suffix, const ArchiveList& files,
                         const std::vector<std::string>& listing, ArchiveList& complete);
// Adds the newest distinct days of the complete archives as "yyyy/mm/dd", at most
// kMaxArchiveDays of them.
void CollectArchiveDates(const ArchiveList& complete, ArchiveList& dates);
// Both kinds searched in the folder, as FindArchives does: the complete archives and the
// distinct days.
void FindArchivesIn(const std::string& folder, ArchiveList& complete, ArchiveList& dates);
