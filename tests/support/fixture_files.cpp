#include "support/fixture_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/atomic_file.h"

namespace {

// Every line, the empty one after a final newline included, so that a missing or an extra
// newline at the end counts as a difference.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

size_t FirstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    const size_t common = std::min(a.size(), b.size());
    return std::mismatch(a.begin(), a.begin() + common, b.begin()).first - a.begin();
}

// Quoted, so that an empty line and trailing blanks show.
std::string LineOrEnd(const std::vector<std::string>& lines, size_t index) {
    return index < lines.size() ? "\"" + lines[index] + "\"" : "(end of text)";
}

// <binary dir>/<stem>.actual<extension> for tests/<folders>/<stem><extension>.
std::string ActualPath(const std::string& name) {
    const size_t slash = name.find_last_of('/');
    const std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    const size_t dot = file.find_last_of('.');
    const std::string stem = dot == std::string::npos ? file : file.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : file.substr(dot);
    return std::string(KABUTO_BINARY_DIR) + "/" + stem + ".actual" + extension;
}

}  // namespace

int ExpectMatchesFixture(const std::string& name, const std::string& text,
                         std::source_location where) {
    std::string expected;
    const bool read = ReadWholeFile(std::string(KABUTO_SOURCE_DIR) + "/tests/" + name, expected);
    if (read && text == expected) return -1;

    const std::string path = ActualPath(name);
    std::string error;
    const bool written = WriteFileAtomically(path, text, error);
    const std::string saved =
        written ? "the new text is in " + path : "the new text could not be written: " + error;
    if (!read) {
        ADD_FAILURE_AT(where.file_name(), where.line())
            << "cannot read the fixture tests/" << name << "; " << saved;
        return 0;
    }
    const std::vector<std::string> was = Lines(expected), now = Lines(text);
    const size_t line = FirstDifference(was, now);
    ADD_FAILURE_AT(where.file_name(), where.line())
        << "tests/" << name << " differs from line " << line + 1 << ":\n"
        << "  fixture: " << LineOrEnd(was, line) << "\n"
        << "  now:     " << LineOrEnd(now, line) << "\n"
        << saved;
    return static_cast<int>(line);
}
