#include "acquisition/drive_kinds.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<std::string_view, DriveKind>, 25> kDriveKinds{{
    {"ext2", DriveKind::Fixed},
    {"ext3", DriveKind::Fixed},
    {"ext4", DriveKind::Fixed},
    {"xfs", DriveKind::Fixed},
    {"btrfs", DriveKind::Fixed},
    {"f2fs", DriveKind::Fixed},
    {"jfs", DriveKind::Fixed},
    {"zfs", DriveKind::Fixed},
    {"ntfs", DriveKind::Fixed},
    {"ntfs3", DriveKind::Fixed},
    // A container's root lies on the host's disk.
    {"overlay", DriveKind::Fixed},
    {"vfat", DriveKind::Removable},
    {"exfat", DriveKind::Removable},
    {"msdos", DriveKind::Removable},
    {"nfs", DriveKind::Network},
    {"nfs4", DriveKind::Network},
    {"cifs", DriveKind::Network},
    {"smb3", DriveKind::Network},
    {"fuse.sshfs", DriveKind::Network},
    {"9p", DriveKind::Network},
    {"iso9660", DriveKind::Optical},
    {"udf", DriveKind::Optical},
    {"tmpfs", DriveKind::Ram},
    {"ramfs", DriveKind::Ram},
    {"devtmpfs", DriveKind::Ram},
}};

}  // namespace

DriveKind DriveKindOf(std::string_view fileSystemType) {
    const auto found =
        std::find_if(kDriveKinds.begin(), kDriveKinds.end(),
                     [fileSystemType](const auto& row) { return row.first == fileSystemType; });
    return found == kDriveKinds.end() ? DriveKind::Unknown : found->second;
}
