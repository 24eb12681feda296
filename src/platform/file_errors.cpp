#include "platform/file_errors.h"

#include <sys/stat.h>

#include <cerrno>
#include <utility>

namespace {

// Numbers that name the same failure for the user share its text: a read-only file system
// is refused like a read-only file, a full quota like a full disk.
constexpr std::pair<int, const char*> kFileErrors[] = {
    {ENOENT, kErrFileNotFound},
    {ENOTDIR, kErrPathNotFound},
    {ENAMETOOLONG, kErrPathNotFound},
    {ELOOP, kErrPathNotFound},
    {EACCES, kErrPermissionDenied},
    {EPERM, kErrPermissionDenied},
    {ETXTBSY, kErrPermissionDenied},
    {EROFS, kErrPathFileAccess},
    {EISDIR, kErrPathFileAccess},
    {ENOSPC, kErrDiskFull},
    {EDQUOT, kErrDiskFull},
    {EFBIG, kErrDiskFull},
    {EIO, kErrDeviceIo},
    {EMFILE, kErrTooManyFiles},
    {ENFILE, kErrTooManyFiles},
    {EEXIST, kErrFileExists},
};

bool FolderMissing(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return false;
    struct stat st {};
    return stat(path.substr(0, slash).c_str(), &st) != 0;
}

}  // namespace

std::string FileErrorText(int code, const std::string& path) {
    if (code == ENOENT && FolderMissing(path)) return kErrPathNotFound;
    for (const auto& [number, text] : kFileErrors)
        if (number == code) return text;
    return kErrPathFileAccess;
}
