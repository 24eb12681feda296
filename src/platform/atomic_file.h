#pragma once
// Files the program rewrites are written whole to a temporary file beside them and
// renamed into place, so a crash never leaves half a file.
#include <string>
#include <string_view>

// Writes bytes to path atomically; mode is the file's permission bits (0600 for files
// that hold credentials). Returns false and sets error on failure; the old file stays.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error,
                         unsigned mode = 0644);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

bool FileExists(const std::string& path);
