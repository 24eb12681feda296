#pragma once
// Files the program rewrites are written whole to a temporary file beside them and
// renamed into place, so a crash never leaves half a file.
#include <cstddef>
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

// For a file written as it arrives: a new empty temporary file beside path (beside its
// target when path is a link), named as WriteFileAtomically names its own, so that the
// same clean-up finds it. Gives its path, or an empty one and error.
std::string MakeTemporaryBeside(const std::string& path, std::string& error);
// Puts the written temporary file in place of path as WriteFileAtomically does: synced,
// renamed, the folder synced. The temporary file is gone afterwards in every case.
bool CommitTemporary(const std::string& temp, const std::string& path, std::string& error);

// A test's stand-in for a full disk: the writes of the temporary file after its first
// `bytes` bytes fail with the errno `code`, until ClearAtomicWriteFault. The program never
// calls these.
void InjectAtomicWriteFault(size_t bytes, int code);
void ClearAtomicWriteFault();

// Removes the temporary files that writers killed in the middle of WriteFileAtomically
// left in folder (which ends with "/"), and those left beside the targets of the folder's
// symbolic links. Only call it while no writer runs on these files. Returns how many went.
int RemoveStaleTemporaryFiles(const std::string& folder);

// Opens path for reading only when it is a regular file (a link is followed): a FIFO, a
// device or a folder of that name is refused at once, without waiting for a writer. Gives
// the descriptor (close-on-exec) or -1 and error.
int OpenRegularFile(const std::string& path, std::string& error);
// Reads a whole regular file; false and error when it cannot be opened or read.
bool ReadRegularFile(const std::string& path, std::string& bytes, std::string& error);
// Reads a whole regular file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Keeps a file that could not be read beside it under the first free name of path's name
// followed by ".bak", ".bak2", ".bak3" and on, so that a later save neither replaces it nor
// touches an earlier backup: a regular file is copied, anything else (a FIFO, a folder) is
// moved there, since reading it could wait for ever. Gives the name taken (without the
// folder), or an empty name and error.
std::string KeepUnderFreeName(const std::string& path, std::string& error);
// The sentence that tells the user where KeepUnderFreeName kept the file of path.
std::string KeptFileNote(const std::string& path, const std::string& keptName);
// For a path that names something other than a regular file (a FIFO, a folder): keeps it
// under a free name, so that the next save neither fails on it nor replaces it, and gives
// a CR LF and the note (or the failure) to append to the read's message. Empty for a
// regular or missing file.
std::string SetAsideIfNotRegular(const std::string& path);

bool FileExists(const std::string& path);
