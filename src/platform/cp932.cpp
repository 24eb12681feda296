#include "platform/cp932.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; on an unconvertible or invalid input sequence it calls
    // onBad(in, left) which returns how many input bytes to skip, after writing "?".
    template <typename SkipFn>
    std::string Run(std::string_view input, SkipFn skipLength, bool* clean = nullptr) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.reserve(input.size() * 2 + 8);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        std::array<char, 4096> buffer{};
        if (clean) *clean = true;
        while (inLeft > 0) {
            char* outPtr = buffer.data();
            size_t outLeft = buffer.size();
            const size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer.data(), buffer.size() - outLeft);
            if (rc != static_cast<size_t>(-1)) break;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: one unconvertible or cut character.
            if (clean) *clean = false;
            out.push_back('?');
            const size_t skip = std::max<size_t>(1, std::min(inLeft, skipLength(in, inLeft)));
            in += skip;
            inLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

  private:
    iconv_t cd_;
};

size_t Utf8SequenceLength(const char* p, size_t left) {
    const auto c = static_cast<unsigned char>(*p);
    size_t n = 1;
    if (c >= 0xF0)
        n = 4;
    else if (c >= 0xE0)
        n = 3;
    else if (c >= 0xC0)
        n = 2;
    return std::min(n, left);
}

size_t Cp932SequenceLength(const char* p, size_t left) {
    const auto c = static_cast<unsigned char>(*p);
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    return lead && left >= 2 ? 2 : 1;
}

std::mutex converterMutex;

}  // namespace

std::string ToCp932(std::string_view utf8) {
    std::lock_guard lock(converterMutex);
    static Converter converter("CP932", "UTF-8");
    return converter.Run(utf8, Utf8SequenceLength);
}

std::string FromCp932(std::string_view cp932) {
    std::lock_guard lock(converterMutex);
    static Converter converter("UTF-8", "CP932");
    return converter.Run(cp932, Cp932SequenceLength);
}

bool DecodeCp932Strict(std::string_view cp932, std::string& utf8) {
    std::lock_guard lock(converterMutex);
    static Converter converter("UTF-8", "CP932");
    bool clean = true;
    utf8 = converter.Run(cp932, Cp932SequenceLength, &clean);
    return clean;
}

int Cp932Width(char32_t codePoint) {
    if (codePoint < 0x80) return 1;
    if (codePoint > 0xFFFF) return 1;
    // One pass over the Basic Multilingual Plane, made on first use.
    static const std::vector<unsigned char> widths = [] {
        std::vector<unsigned char> table(0x10000, 1);
        iconv_t cd = iconv_open("CP932", "UTF-32LE");
        for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF) continue;
            unsigned char in[4] = {static_cast<unsigned char>(cp & 0xFF),
                                   static_cast<unsigned char>((cp >> 8) & 0xFF), 0, 0};
            char out[8];
            char* inPtr = reinterpret_cast<char*>(in);
            size_t inLeft = 4;
            char* outPtr = out;
            size_t outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
                table[cp] = static_cast<unsigned char>(sizeof out - outLeft);
        }
        iconv_close(cd);
        return table;
    }();
    return widths[codePoint];
}

char32_t NextCodePoint(std::string_view s, size_t& pos) {
    const auto c = static_cast<unsigned char>(s[pos]);
    size_t n = 0;
    char32_t cp = 0;
    if (c < 0x80) {
        ++pos;
        return c;
    } else if ((c & 0xE0) == 0xC0) {
        n = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 3;
        cp = c & 0x07;
    } else {
        ++pos;
        return U'\uFFFD';
    }
    if (pos + n >= s.size()) {
        pos = s.size();
        return U'\uFFFD';
    }
    for (size_t i = 1; i <= n; ++i) {
        const auto d = static_cast<unsigned char>(s[pos + i]);
        if ((d & 0xC0) != 0x80) {
            pos += i;
            return U'\uFFFD';
        }
        cp = (cp << 6) | (d & 0x3F);
    }
    pos += n + 1;
    return cp;
}

std::u32string Utf8ToCodePoints(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) out.push_back(NextCodePoint(utf8, pos));
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string CodePointsToUtf8(std::u32string_view codePoints) {
    std::string out;
    out.reserve(codePoints.size() * 3);
    for (char32_t cp : codePoints) AppendUtf8(out, cp);
    return out;
}
