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
#include <fstream>
#include <functional>
#include <sstream>
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
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        error = FileErrorText(errno, target);
        unlink(temp.c_str());
        return false;
    }
    return SyncFolder(FolderOf(target), error);
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

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    bytes = buffer.str();
    return true;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}
