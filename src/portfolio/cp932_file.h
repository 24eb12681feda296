#pragma once
// The portfolio's files as the user keeps them: code page 932 on disk, UTF-8 inside. Both
// throw the description of a failure, for the callers' trapped routines.
#include <string>

// The text of a whole file; throws when it cannot be read or is not code page 932.
std::string ReadCp932File(const std::string& path);
// Writes the text whole through a temporary file; throws with the system's description,
// leaving the old file as it was.
void WriteCp932File(const std::string& path, const std::string& text);
