#include "foundation/settei2_file.h"

#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "platform/message_box.h"

// Printable ASCII is rotated inside its own range, so the shifted line stays printable
// and valid code page 932; other characters (a Japanese folder name) stay as they are.
static std::string ShiftPrintable(std::string_view text, int amount) {
    constexpr int first = 0x20;
    constexpr int span = 0x7F - 0x20;
    std::string out(text);
    for (char& c : out) {
        const int code = static_cast<unsigned char>(c);
        if (code < first || code >= first + span) continue;
        c = static_cast<char>(first + ((code - first + amount) % span + span) % span);
    }
    return out;
}

std::string EncodeSettei2Line(std::string_view prefix) {
    return ShiftPrintable(prefix, kSettei2Shift);
}

std::string DecodeSettei2Line(std::string_view line) {
    return ShiftPrintable(line, -kSettei2Shift);
}

std::string GetSettei2() {
    const std::string path = AppPath() + kSettei2FileName;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        MsgWarn(std::string("settei2 read") +
                (FileExists(path) ? "Path/File access error" : "File not found"));
        return "";
    }
    // A file without even a first line is as unusable as a missing one.
    if (bytes.empty()) {
        MsgWarn(std::string("settei2 read") + "Input past end of file");
        return "";
    }
    const size_t end = bytes.find_first_of("\r\n");
    const std::string line = FromCp932(bytes.substr(0, end));
    return DecodeSettei2Line(line);
}
