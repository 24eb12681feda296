#pragma once
// Builds small AVI clips in memory for the animation control's tests, so that no binary
// fixture is kept in the repository.
#include <cstdint>
#include <string>
#include <vector>

struct AviClipLayout {
    int width = 2;
    int height = 2;  // negative: rows stored top-down
    int bitCount = 8;
    uint32_t compression = 0;         // 0 uncompressed, 1 RLE8, or a four-character code
    std::vector<uint32_t> palette;    // 0xRRGGBB entries
    std::vector<std::string> frames;  // each frame's chunk body
    uint32_t scale = 1;
    uint32_t rate = 10;  // frames per second = rate / scale
    bool withAudio = false;
};

inline std::string Le32(uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
            static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
}
inline std::string Le16(uint16_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
inline std::string AviChunk(const std::string& id, const std::string& body) {
    return id + Le32(static_cast<uint32_t>(body.size())) + body +
           std::string(body.size() % 2, '\0');
}
inline std::string AviList(const std::string& type, const std::string& content) {
    return "LIST" + Le32(static_cast<uint32_t>(content.size() + 4)) + type + content;
}
inline uint32_t FourCc(const char* code) {
    return static_cast<uint8_t>(code[0]) | static_cast<uint8_t>(code[1]) << 8 |
           static_cast<uint8_t>(code[2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24;
}

inline std::string StreamHeader(const std::string& type, uint32_t scale, uint32_t rate,
                                uint32_t length) {
    std::string h = type + std::string(4, '\0') + Le32(0) + Le16(0) + Le16(0) + Le32(0) +
                    Le32(scale) + Le32(rate) + Le32(0) + Le32(length) + Le32(0) + Le32(0) +
                    Le32(0) + std::string(8, '\0');
    return AviChunk("strh", h);
}

inline std::string MakeAvi(const AviClipLayout& clipLayout) {
    const uint32_t frames = static_cast<uint32_t>(clipLayout.frames.size());
    std::string avih = Le32(1000000 * clipLayout.scale / clipLayout.rate) + Le32(0) + Le32(0) +
                       Le32(0) + Le32(frames) + Le32(0) + Le32(clipLayout.withAudio ? 2 : 1) +
                       Le32(0) + Le32(clipLayout.width) +
                       Le32(clipLayout.height < 0 ? 0u - static_cast<uint32_t>(clipLayout.height)
                                                  : clipLayout.height) +
                       std::string(16, '\0');
    std::string bitmap = Le32(40) + Le32(clipLayout.width) +
                         Le32(static_cast<uint32_t>(clipLayout.height)) + Le16(1) +
                         Le16(static_cast<uint16_t>(clipLayout.bitCount)) +
                         Le32(clipLayout.compression) + Le32(0) + Le32(0) + Le32(0) +
                         Le32(static_cast<uint32_t>(clipLayout.palette.size())) + Le32(0);
    for (uint32_t rgb : clipLayout.palette) {
        bitmap += std::string{static_cast<char>(rgb & 0xFF), static_cast<char>((rgb >> 8) & 0xFF),
                              static_cast<char>((rgb >> 16) & 0xFF), '\0'};
    }
    std::string streams =
        AviList("strl", StreamHeader("vids", clipLayout.scale, clipLayout.rate, frames) +
                            AviChunk("strf", bitmap));
    if (clipLayout.withAudio) {
        streams += AviList(
            "strl", StreamHeader("auds", 1, 8000, 0) + AviChunk("strf", std::string(16, '\0')));
    }
    const std::string header = AviList("hdrl", AviChunk("avih", avih) + streams);
    std::string movie;
    const std::string id = clipLayout.compression == 0 ? "00db" : "00dc";
    for (const std::string& frame : clipLayout.frames) movie += AviChunk(id, frame);
    const std::string body = "AVI " + header + AviList("movi", movie);
    return "RIFF" + Le32(static_cast<uint32_t>(body.size())) + body;
}
