#include "acquisition/archive_extraction.h"

#include <lhasa.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "acquisition/state.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"

namespace {

constexpr int kExtracted = 0;
constexpr int kNoSuchMember = 1;
constexpr int kFailed = -1;

// Where each member comes from: its zip archive and member prefixes (the day follows
// both) and the work file an LZH day stores it under.
struct MemberSource {
    const char* zipArchivePrefix;
    const char* zipMemberPrefix;
    const char* lzhWorkFile;
    bool required;
};
constexpr std::array<MemberSource, kMemberCount> kMemberSources{{
    {"", "", "~file1.dat", true},
    {"I", "I", "~file2.dat", true},
    {"S", "S", "~file0.dat", true},
    {"S", "B", "~file3.dat", false},
    {"S", "R", "~file4.dat", false},
}};
// The work files in the order an LZH day is extracted, each with its member.
constexpr std::array<MemberIndex, kMemberCount> kLzhOrder{kSMember, kDailyMember, kIssueMember,
                                                          kBMember, kRMember};

std::string JoinPath(const std::string& folder, std::string_view name) {
    if (!folder.empty() && folder.back() != '/') return folder + "/" + std::string(name);
    return folder + std::string(name);
}

bool SameNameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
               return lower(x) == lower(y);
           });
}

// A stored name that is one plain file name; anything that could leave the folder is not.
bool IsPlainName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of("/\\:") == std::string_view::npos;
}

bool Matches(std::string_view stored, std::string_view member) {
    return IsPlainName(stored) && SameNameNoCase(stored, member);
}

int WriteMember(const std::string& targetFolder, std::string_view member,
                const std::string& bytes) {
    std::string error;
    return WriteFileAtomically(JoinPath(targetFolder, member), bytes, error) ? kExtracted : kFailed;
}

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

int FindZipEntry(zip_t* archive, std::string_view member, zip_uint64_t& index) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (name && Matches(name, member)) {
            index = static_cast<zip_uint64_t>(i);
            return kExtracted;
        }
    }
    return kNoSuchMember;
}

int ReadZipEntry(zip_t* archive, zip_uint64_t index, std::string& bytes) {
    zip_stat_t stat;
    if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        return kFailed;
    if (stat.size > kMaxMemberBytes) return kFailed;
    std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive, index, 0));
    if (!file) return kFailed;
    bytes.resize(stat.size);
    // Reading one byte past the size makes libzip check the CRC at the end of the entry.
    char probe = 0;
    if (zip_fread(file.get(), bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size) ||
        zip_fread(file.get(), &probe, 1) != 0)
        return kFailed;
    return kExtracted;
}

struct LhaStream {
    explicit LhaStream(const std::string& path) {
        std::string name = path;
        stream = lha_input_stream_from(name.data());
        if (stream) reader = lha_reader_new(stream);
    }
    ~LhaStream() {
        if (reader) lha_reader_free(reader);
        if (stream) lha_input_stream_free(stream);
    }
    LhaStream(const LhaStream&) = delete;
    LhaStream& operator=(const LhaStream&) = delete;
    LHAInputStream* stream = nullptr;
    LHAReader* reader = nullptr;
};

// The stored name of a plain file entry; "" for folders, links and entries with a path.
// liblhasa drops the ".." and leading "/" parts of a stored folder but keeps the folder
// field, even when nothing is left of it: any folder field marks a name that was not plain.
std::string LhaPlainName(const LHAFileHeader* header) {
    if (header->path) return "";
    if (!header->filename || header->symlink_target) return "";
    return header->filename;
}

// The CRC-16 that LZH headers carry (the reflected 0x8005 polynomial).
uint16_t LhaCrc(const std::string& bytes) {
    uint16_t crc = 0;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

int ReadLhaEntry(LHAReader* reader, const LHAFileHeader* header, std::string& bytes) {
    if (header->length > kMaxMemberBytes) return kFailed;
    bytes.resize(header->length);
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t got = lha_reader_read(reader, bytes.data() + done, bytes.size() - done);
        if (got == 0) return kFailed;
        done += got;
    }
    return LhaCrc(bytes) == header->crc ? kExtracted : kFailed;
}

std::string ArchiveDay(const std::string& date, const MemberSource& source) {
    return std::string(source.zipArchivePrefix) + date;
}

// Stores the member's path, or fails the day: a failure, or a required member missing.
bool TakeResult(int result, MemberIndex index, const std::string& path, ImportMembers& members) {
    if (result < 0) return false;
    if (result > 0) return !kMemberSources[index].required;
    members.paths[index] = path;
    return true;
}

}  // namespace

int UnzipArchive(const std::string& archive, const std::string& targetFolder,
                 std::string_view member) {
    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open(archive.c_str(), ZIP_RDONLY, &error));
    if (!zip) return kFailed;
    zip_uint64_t index = 0;
    if (FindZipEntry(zip.get(), member, index) != kExtracted) return kNoSuchMember;
    std::string bytes;
    if (ReadZipEntry(zip.get(), index, bytes) != kExtracted) return kFailed;
    return WriteMember(targetFolder, member, bytes);
}

int UnlhaArchive(const std::string& archive, const std::string& targetFolder,
                 std::string_view member) {
    LhaStream lha(archive);
    if (!lha.reader) return kFailed;
    while (const LHAFileHeader* header = lha_reader_next_file(lha.reader)) {
        if (!Matches(LhaPlainName(header), member)) continue;
        std::string bytes;
        if (ReadLhaEntry(lha.reader, header, bytes) != kExtracted) return kFailed;
        return WriteMember(targetFolder, member, bytes);
    }
    return kNoSuchMember;
}

bool CheckLzhArchive(const std::string& archive) {
    LhaStream lha(archive);
    if (!lha.reader) return false;
    int entries = 0;
    while (lha_reader_next_file(lha.reader)) {
        if (!lha_reader_check(lha.reader, nullptr, nullptr)) return false;
        ++entries;
    }
    return entries > 0;
}

bool ExtractZipSet(const std::string& date, ImportMembers& members) {
    members = ImportMembers{};
    for (int i = 0; i < kMemberCount; ++i) {
        const MemberSource& source = kMemberSources[i];
        const std::string archive = MailData().MailDataFolder + ArchiveDay(date, source) + ".zip";
        if (!FileExists(archive)) return false;
        const std::string member = source.zipMemberPrefix + date + ".txt";
        const int result = UnzipArchive(archive, AppPath(), member);
        if (!TakeResult(result, static_cast<MemberIndex>(i), JoinPath(AppPath(), member), members))
            return false;
    }
    ClearMissingMembers(members);
    return true;
}

bool ExtractLzhSet(const std::string& archive, ImportMembers& members) {
    members = ImportMembers{};
    DeleteImportWorkFiles(WorkFiles::LzhWorkFiles);
    if (!CheckLzhArchive(archive)) return false;
    for (MemberIndex index : kLzhOrder) {
        const char* workFile = kMemberSources[index].lzhWorkFile;
        const int result = UnlhaArchive(archive, AppPath(), workFile);
        if (!TakeResult(result, index, JoinPath(AppPath(), workFile), members)) return false;
    }
    ClearMissingMembers(members);
    return true;
}

void ClearMissingMembers(ImportMembers& members) {
    for (int i = 0; i < kMemberCount; ++i) {
        std::string& path = members.paths[i];
        if (!kMemberSources[i].required && !path.empty() && !FileExists(path)) path.clear();
    }
}

void DeleteImportWorkFiles(WorkFiles which, const ImportMembers& members) {
    if (which == WorkFiles::LzhWorkFiles) {
        for (const MemberSource& source : kMemberSources)
            std::remove(JoinPath(AppPath(), source.lzhWorkFile).c_str());
        return;
    }
    for (const std::string& path : members.paths) {
        if (!path.empty() && FileExists(path)) std::remove(path.c_str());
    }
}
