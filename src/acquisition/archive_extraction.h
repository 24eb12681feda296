#pragma once
// The extraction steps of an archive import: the members of one trading day taken out of
// its zip set or its self-extracting LZH file into the program's folder. Nothing calls them
// from a window yet: the import that would order them is not built.
//
// A member is matched only by its whole stored name, without regard to case. An entry
// whose stored name holds a folder, "..", a drive or a leading "/" is never matched or
// written, so nothing lands outside the target folder; a member above kMaxMemberBytes is
// refused. Every file is written whole to a temporary file and renamed into place.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// A day's member is far smaller; a larger one is no member of ours.
inline constexpr uint64_t kMaxMemberBytes = 64ull << 20;

// The members of one day, in the order an import reads them: the daily prices, the issue
// master and the S, B and R members. B and R are optional.
enum MemberIndex { kDailyMember, kIssueMember, kSMember, kBMember, kRMember, kMemberCount };

struct ImportMembers {
    std::array<std::string, kMemberCount> paths;  // "" when the member is absent
};

// Extracts member from a zip archive into targetFolder: 0 on success, a positive value
// when the archive has no such member, a negative value on failure.
int UnzipArchive(const std::string& archive, const std::string& targetFolder,
                 std::string_view member);
// The same for an LZH archive, self-extracting ones included.
int UnlhaArchive(const std::string& archive, const std::string& targetFolder,
                 std::string_view member);
// True when the file is an LZH archive (past a stub) whose entries all pass their checks.
bool CheckLzhArchive(const std::string& archive);

// The zip set of date (yyyymmdd) in the mail-data folder, extracted into the program's
// folder. False when an archive is missing or a required member fails.
bool ExtractZipSet(const std::string& date, ImportMembers& members);
// The work files "~file0.dat" to "~file4.dat" of an LZH day extracted into the program's
// folder, old ones deleted first. False when the archive fails its check or a required
// member fails.
bool ExtractLzhSet(const std::string& archive, ImportMembers& members);
// Empties the paths of the optional members whose files do not exist.
void ClearMissingMembers(ImportMembers& members);

enum class WorkFiles {
    LzhWorkFiles = 1,  // "~file0.dat" to "~file4.dat" in the program's folder
    Extracted = 2,     // the members' stored paths
};
void DeleteImportWorkFiles(WorkFiles which, const ImportMembers& members = {});
