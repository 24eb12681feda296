#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "platform/file_errors.h"

namespace {

namespace fs = std::filesystem;

// A temporary file is the target's name, this mark and the six letters or digits that
// mkstemp puts in place of "XXXXXX".
constexpr std::string_view kTempMark = ".tmp";
constexpr size_t kTempRandomLength = 6;
// The links a path may pass before the system itself gives up with ELOOP.
constexpr int kMaxLinkHops = 40;
// Backups past this many point to a folder that something fills without end.
constexpr int kMaxBackups = 999;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    return path.substr(FolderOf(path).size());
}

bool HasTemporarySuffix(std::string_view name) {
    const size_t suffix = kTempMark.size() + kTempRandomLength;
    if (name.size() <= suffix) return false;
    const std::string_view tail = name.substr(name.size() - suffix);
    if (!tail.starts_with(kTempMark)) return false;
    return std::all_of(tail.begin() + kTempMark.size(), tail.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

bool IsTemporaryOf(std::string_view name, std::string_view base) {
    return name.size() == base.size() + kTempMark.size() + kTempRandomLength &&
           name.starts_with(base) && HasTemporarySuffix(name);
}

// The file a write lands in: a symbolic link is followed to its last target, which need
// not exist yet. Replacing the link itself would cut the store off from the file that
// the user keeps elsewhere.
bool FollowLinks(std::string path, std::string& target, std::string& error) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = path;
            return true;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t length = readlink(path.c_str(), link.data(), link.size());
        if (length <= 0) {
            error = FileErrorText(length < 0 ? errno : ENOENT, path);
            return false;
        }
        link.resize(static_cast<size_t>(length));
        path = link.front() == '/' ? link : FolderOf(path) + link;
    }
    error = FileErrorText(ELOOP, path);
    return false;
}

// The permission bits the new file gets: those of the file it replaces, so that a rewrite
// neither opens a file the user closed nor closes one the user shared.
unsigned ModeFor(const std::string& target, unsigned mode) {
    struct stat st {};
    if (stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return mode;
    const unsigned kept = st.st_mode & 0777;
    const bool ownerOnly = (mode & 077) == 0;
    return ownerOnly ? kept & ~077u : kept;
}

// The injected fault: after how many bytes the writes fail, and with which errno (0: none).
struct WriteFault {
    size_t AfterBytes = 0;
    int Code = 0;
};

WriteFault& InjectedFault() {
    static WriteFault fault;
    return fault;
}

// write(2), or the injected fault once the file holds the bytes allowed before it.
ssize_t WriteSome(int fd, const char* data, size_t size, size_t written) {
    const WriteFault& fault = InjectedFault();
    if (fault.Code == 0) return write(fd, data, size);
    if (written >= fault.AfterBytes) {
        errno = fault.Code;
        return -1;
    }
    return write(fd, data, std::min(size, fault.AfterBytes - written));
}

// Gives the temporary file its bits and bytes and closes it; the descriptor is closed on
// every path.
bool FillAndClose(int fd, std::string_view bytes, unsigned mode, std::string& error) {
    auto fail = [&](int code) {
        error = FileErrorText(code);
        close(fd);
        return false;
    };
    if (fchmod(fd, mode) != 0) return fail(errno);
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = WriteSome(fd, bytes.data() + written, bytes.size() - written, written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        written += static_cast<size_t>(n);
    }
    if (fsync(fd) != 0) return fail(errno);
    if (close(fd) != 0) {
        error = FileErrorText(errno);
        return false;
    }
    return true;
}

// Makes the rename itself durable. A folder that cannot be opened for it, or a file
// system that does not sync folders (EINVAL), is passed over: the file's bytes are synced
// already.
bool SyncFolder(const std::string& folder, std::string& error) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;
    const bool synced = fsync(fd) == 0 || errno == EINVAL;
    if (!synced) error = FileErrorText(errno, folder);
    close(fd);
    return synced;
}

// Renames the written temporary file over target and makes the rename durable; the
// temporary file goes on failure.
bool RenameIntoPlace(const std::string& temp, const std::string& target, std::string& error) {
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        error = FileErrorText(errno, target);
        unlink(temp.c_str());
        return false;
    }
    return SyncFolder(FolderOf(target), error);
}

// Calls visit with each entry of folder and its own type (a link is not followed).
void ForEachEntry(const std::string& folder,
                  const std::function<void(const fs::path&, fs::file_type)>& visit) {
    std::error_code code;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, code), end; !code && it != end;
         it.increment(code)) {
        std::error_code typeCode;
        const fs::file_type type = it->symlink_status(typeCode).type();
        if (!typeCode) visit(it->path(), type);
    }
}

int RemoveRegularFiles(const std::string& folder,
                       const std::function<bool(std::string_view)>& chosen) {
    int removed = 0;
    ForEachEntry(folder, [&](const fs::path& path, fs::file_type type) {
        if (type != fs::file_type::regular || !chosen(path.filename().string())) return;
        if (unlink(path.c_str()) == 0) ++removed;
    });
    return removed;
}

// Where the folder's symbolic links lead.
std::vector<std::string> LinkTargets(const std::string& folder) {
    std::vector<std::string> targets;
    ForEachEntry(folder, [&targets](const fs::path& path, fs::file_type type) {
        std::string target;
        std::string error;
        if (type == fs::file_type::symlink && FollowLinks(path.string(), target, error))
            targets.push_back(target);
    });
    return targets;
}

}  // namespace

void InjectAtomicWriteFault(size_t bytes, int code) {
    InjectedFault() = WriteFault{bytes, code};
}

void ClearAtomicWriteFault() {
    InjectedFault() = WriteFault{};
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error,
                         unsigned mode) {
    std::string target;
    if (!FollowLinks(path, target, error)) return false;
    // The temporary file sits beside the target, on its file system, so the rename is atomic.
    std::string temp = target + std::string(kTempMark) + std::string(kTempRandomLength, 'X');
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        error = FileErrorText(errno, target);
        return false;
    }
    if (!FillAndClose(fd, bytes, ModeFor(target, mode), error)) {
        unlink(temp.c_str());
        return false;
    }
    return RenameIntoPlace(temp, target, error);
}

std::string MakeTemporaryBeside(const std::string& path, std::string& error) {
    std::string target;
    if (!FollowLinks(path, target, error)) return {};
    std::string temp = target + std::string(kTempMark) + std::string(kTempRandomLength, 'X');
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        error = FileErrorText(errno, target);
        return {};
    }
    if (fchmod(fd, ModeFor(target, 0644)) != 0) {
        error = FileErrorText(errno, target);
        close(fd);
        unlink(temp.c_str());
        return {};
    }
    close(fd);
    return temp;
}

bool CommitTemporary(const std::string& temp, const std::string& path, std::string& error) {
    std::string target;
    const int fd = open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && fsync(fd) == 0;
    if (!synced) error = FileErrorText(errno, path);
    if (fd >= 0) close(fd);
    if (!synced || !FollowLinks(path, target, error)) {
        unlink(temp.c_str());
        return false;
    }
    return RenameIntoPlace(temp, target, error);
}

int RemoveStaleTemporaryFiles(const std::string& folder) {
    int removed = RemoveRegularFiles(folder, HasTemporarySuffix);
    // Beside a link's target only that target's own temporaries go: the folder may be the
    // user's, with other programs' files in it.
    for (const std::string& target : LinkTargets(folder)) {
        const std::string base = NameOf(target);
        removed += RemoveRegularFiles(
            FolderOf(target), [&base](std::string_view name) { return IsTemporaryOf(name, base); });
    }
    return removed;
}

int OpenRegularFile(const std::string& path, std::string& error) {
    // Without O_NONBLOCK the open of a FIFO waits for a writer that may never come.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = FileErrorText(errno, path);
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = kErrPathFileAccess;
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool ReadRegularFile(const std::string& path, std::string& bytes, std::string& error) {
    const int fd = OpenRegularFile(path, error);
    if (fd < 0) return false;
    std::string out;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            error = FileErrorText(errno, path);
            close(fd);
            return false;
        }
        out.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    bytes = std::move(out);
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::string error;
    return ReadRegularFile(path, bytes, error);
}

// Moves what path names to backup unless backup exists: false with EEXIST when it does.
bool MoveToFreeName(const std::string& path, const std::string& backup) {
    return renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, backup.c_str(), RENAME_NOREPLACE) == 0;
}

std::string KeepUnderFreeName(const std::string& path, std::string& error) {
    struct stat st {};
    const bool regular = stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    std::string bytes;
    if (regular && !ReadRegularFile(path, bytes, error)) return {};
    for (int n = 1; n <= kMaxBackups; ++n) {
        const std::string name = NameOf(path) + ".bak" + (n == 1 ? "" : std::to_string(n));
        const std::string backup = FolderOf(path) + name;
        if (!regular) {
            if (MoveToFreeName(path, backup)) return name;
            if (errno == EEXIST) continue;
            error = FileErrorText(errno, path);
            return {};
        }
        // The name is claimed before it is written, so no backup is ever replaced.
        const int fd = open(backup.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            error = FileErrorText(errno, backup);
            return {};
        }
        close(fd);
        if (!WriteFileAtomically(backup, bytes, error)) {
            unlink(backup.c_str());
            return {};
        }
        return name;
    }
    error = FileErrorText(EEXIST, path);
    return {};
}

std::string KeptFileNote(const std::string& path, const std::string& keptName) {
    return "読めなかった「" + NameOf(path) + "」を「" + keptName + "」として残しました。";
}

std::string SetAsideIfNotRegular(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
    std::string error;
    const std::string kept = KeepUnderFreeName(path, error);
    return "\r\n" + (kept.empty() ? error : KeptFileNote(path, kept));
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}
