#pragma once
// The first line and the last lines of a file, read from its two ends, so that what a long
// file costs follows the lines used and not its size. Lines end at CR LF, LF or CR; a line
// end at the very end of the file closes the last line.
#include <cstddef>
#include <string>
#include <vector>

struct FileLine {
    std::string Bytes;  // at most the reader's line limit
    bool Cut = false;   // the line was longer than the limit
};

struct FileEnds {
    FileLine First;
    std::vector<FileLine> Last;  // in file order
    bool Whole = false;          // Last holds every line of the file
};

// Reads the first line and the last `count` lines of the regular file path, each kept to
// maxLineBytes. False and error when the file cannot be opened (anything but a regular
// file is refused) or read.
bool ReadFileEnds(const std::string& path, size_t count, size_t maxLineBytes, FileEnds& ends,
                  std::string& error);
