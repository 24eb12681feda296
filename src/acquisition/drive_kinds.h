#pragma once
// Which mounted file systems count as a local fixed disk, the only kind the text-file
// dialog reads from: a network share, an optical disc, a RAM-backed folder or a removable
// card can go away or stall while a file is read, and a pseudo file system holds no files
// of the user's.
#include <string_view>

enum class DriveKind { Fixed, Removable, Network, Optical, Ram, Unknown };

// The kind of a file system by its type name as the mount table gives it ("ext4", "nfs4").
DriveKind DriveKindOf(std::string_view fileSystemType);
