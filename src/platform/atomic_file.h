#pragma once
// Files the program rewrites are written whole to a temporary file beside them and
// renamed into place, so a crash never leaves half a file.
#include <string>
#include <string_view>

// Writes bytes to path atomically. A file made new gets mode as its permission bits; a file
// replaced keeps its own, except that a file written owner-only (a mode without group or
// other bits: the files that hold credentials) never keeps group or other access. A path
// that is a symbolic link is written through to its target and stays a link. The folder
// is synced after the rename, so the new name survives a power loss. Returns false and
// sets error on failure: the old file stays, unless only the folder's sync failed (an I/O
// error), which leaves the new file in place.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error,
                         unsigned mode = 0644);

// Removes the temporary files that writers killed in the middle of WriteFileAtomically
// left in folder (which ends with "/"), and those left beside the targets of the folder's
// symbolic links. Only call it while no writer runs on these files. Returns how many went.
int RemoveStaleTemporaryFiles(const std::string& folder);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

bool FileExists(const std::string& path);
