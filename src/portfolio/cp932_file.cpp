#include "portfolio/cp932_file.h"

#include <stdexcept>

#include "foundation/error_texts.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"

std::string ReadCp932File(const std::string& path) {
    std::string bytes;
    std::string error;
    if (!ReadRegularFile(path, bytes, error)) throw std::runtime_error(error);
    std::string text;
    if (!DecodeCp932Strict(bytes, text)) throw std::runtime_error(kErrTypeMismatch);
    return text;
}

void WriteCp932File(const std::string& path, const std::string& text) {
    std::string error;
    if (!WriteFileAtomically(path, ToCp932(text), error)) throw std::runtime_error(error);
}
