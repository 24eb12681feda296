#include "platform/avi_player.h"

#include <QPainter>
#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/atomic_file.h"

namespace {

// Clips are small waiting animations; these bounds keep a damaged header from asking
// for gigabytes.
constexpr int kMaxSide = 4096;
constexpr int64_t kMaxDecodedBytes = 256LL * 1024 * 1024;
constexpr int kMaxListDepth = 8;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;

uint32_t U32(std::string_view b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
uint16_t U16(std::string_view b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1])
                                                                   << 8);
}

struct StreamInfo {
    std::string_view header;  // strh
    std::string_view format;  // strf
};

struct Layout {
    std::string_view mainHeader;  // avih
    std::vector<StreamInfo> streams;
    std::vector<std::string_view> movieChunks;  // chunks of the movi list, in order, with ids
    std::vector<std::string> movieIds;
    bool ok = true;
};

// Walks the chunks in [begin, end), descending into LIST chunks.
void Walk(std::string_view b, size_t begin, size_t end, int depth, bool inMovie, Layout& layout) {
    if (depth > kMaxListDepth) {
        layout.ok = false;
        return;
    }
    size_t at = begin;
    while (layout.ok && at + 8 <= end) {
        const std::string_view id = b.substr(at, 4);
        const uint32_t size = U32(b, at + 4);
        const size_t body = at + 8;
        if (size > end - body) {
            layout.ok = false;
            return;
        }
        if (id == "LIST" && size >= 4) {
            const std::string_view type = b.substr(body, 4);
            if (type == "strl") layout.streams.push_back({});
            Walk(b, body + 4, body + size, depth + 1, inMovie || type == "movi", layout);
        } else if (inMovie) {
            layout.movieIds.emplace_back(id);
            layout.movieChunks.push_back(b.substr(body, size));
        } else if (id == "avih") {
            layout.mainHeader = b.substr(body, size);
        } else if (id == "strh" && !layout.streams.empty()) {
            layout.streams.back().header = b.substr(body, size);
        } else if (id == "strf" && !layout.streams.empty()) {
            layout.streams.back().format = b.substr(body, size);
        }
        at = body + size + (size & 1);
    }
}

struct DibFormat {
    int width = 0;
    int height = 0;
    bool bottomUp = true;
    int bitCount = 0;
    uint32_t compression = 0;
    std::vector<QRgb> palette;
};

std::optional<DibFormat> ReadDibFormat(std::string_view f) {
    if (f.size() < 40) return std::nullopt;
    const uint32_t headerSize = U32(f, 0);
    DibFormat d;
    d.width = static_cast<int32_t>(U32(f, 4));
    const int32_t height = static_cast<int32_t>(U32(f, 8));
    // The most negative height has no positive counterpart in 32 bits: refuse it before negating.
    if (height == std::numeric_limits<int32_t>::min()) return std::nullopt;
    d.bottomUp = height > 0;
    d.height = height < 0 ? -height : height;
    d.bitCount = U16(f, 14);
    d.compression = U32(f, 16);
    const uint32_t colorsUsed = U32(f, 32);
    if (d.width <= 0 || d.height <= 0 || d.width > kMaxSide || d.height > kMaxSide) {
        return std::nullopt;
    }
    const bool plain =
        d.compression == kBiRgb && (d.bitCount == 4 || d.bitCount == 8 || d.bitCount == 16 ||
                                    d.bitCount == 24 || d.bitCount == 32);
    const bool rle8 = d.compression == kBiRle8 && d.bitCount == 8;
    if (!plain && !rle8) return std::nullopt;
    // RLE bitmaps are always stored bottom-up.
    if (rle8 && !d.bottomUp) return std::nullopt;
    if (d.bitCount <= 8) {
        const size_t entries =
            colorsUsed ? std::min<uint32_t>(colorsUsed, 1u << d.bitCount) : (1u << d.bitCount);
        d.palette.assign(size_t{1} << d.bitCount, qRgb(0, 0, 0));
        for (size_t i = 0; i < entries; ++i) {
            const size_t at = headerSize + i * 4;
            if (at + 4 > f.size()) break;
            d.palette[i] = qRgb(static_cast<uint8_t>(f[at + 2]), static_cast<uint8_t>(f[at + 1]),
                                static_cast<uint8_t>(f[at]));
        }
    }
    return d;
}

int Stride(const DibFormat& d) {
    return ((d.width * d.bitCount + 31) / 32) * 4;
}

// Pixel indexes of an 8-bit or 4-bit frame, top row first.
bool ReadIndexes(const DibFormat& d, std::string_view data, std::vector<uint8_t>& indexes) {
    const int stride = Stride(d);
    if (data.size() < static_cast<size_t>(stride) * d.height) return false;
    for (int row = 0; row < d.height; ++row) {
        const size_t source = static_cast<size_t>(d.bottomUp ? d.height - 1 - row : row) * stride;
        for (int x = 0; x < d.width; ++x) {
            uint8_t value;
            if (d.bitCount == 8) {
                value = static_cast<uint8_t>(data[source + x]);
            } else {
                const uint8_t pair = static_cast<uint8_t>(data[source + x / 2]);
                value = (x % 2 == 0) ? pair >> 4 : pair & 0x0F;
            }
            indexes[static_cast<size_t>(row) * d.width + x] = value;
        }
    }
    return true;
}

// Applies one RLE8 frame to the indexes of the frame before it: pixels the frame skips
// keep their colour, which is how clips store only what changed.
void ApplyRle8(const DibFormat& d, std::string_view data, std::vector<uint8_t>& indexes) {
    int x = 0;
    int y = 0;  // from the bottom row
    auto put = [&](uint8_t value) {
        if (x >= 0 && x < d.width && y >= 0 && y < d.height) {
            indexes[static_cast<size_t>(d.height - 1 - y) * d.width + x] = value;
        }
        ++x;
    };
    size_t at = 0;
    while (at + 2 <= data.size()) {
        const uint8_t count = static_cast<uint8_t>(data[at]);
        const uint8_t value = static_cast<uint8_t>(data[at + 1]);
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (at + 2 > data.size()) return;
            x += static_cast<uint8_t>(data[at]);
            y += static_cast<uint8_t>(data[at + 1]);
            at += 2;
        } else {
            if (at + value > data.size()) return;
            for (int i = 0; i < value; ++i) put(static_cast<uint8_t>(data[at + i]));
            at += value + (value & 1);
        }
    }
}

QImage IndexedImage(const DibFormat& d, const std::vector<uint8_t>& indexes) {
    QImage image(d.width, d.height, QImage::Format_RGB32);
    for (int row = 0; row < d.height; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int x = 0; x < d.width; ++x) {
            line[x] = d.palette[indexes[static_cast<size_t>(row) * d.width + x]];
        }
    }
    return image;
}

std::optional<QImage> TrueColourImage(const DibFormat& d, std::string_view data) {
    const int stride = Stride(d);
    if (data.size() < static_cast<size_t>(stride) * d.height) return std::nullopt;
    QImage image(d.width, d.height, QImage::Format_RGB32);
    for (int row = 0; row < d.height; ++row) {
        const size_t source = static_cast<size_t>(d.bottomUp ? d.height - 1 - row : row) * stride;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int x = 0; x < d.width; ++x) {
            if (d.bitCount == 16) {
                const uint16_t p = U16(data, source + x * 2);  // x555
                auto widen = [](int v) { return (v << 3) | (v >> 2); };
                line[x] = qRgb(widen((p >> 10) & 31), widen((p >> 5) & 31), widen(p & 31));
            } else {
                const size_t at = source + x * (d.bitCount / 8);
                line[x] = qRgb(static_cast<uint8_t>(data[at + 2]),
                               static_cast<uint8_t>(data[at + 1]), static_cast<uint8_t>(data[at]));
            }
        }
    }
    return image;
}

}  // namespace

std::optional<AviClip> DecodeAviClip(std::string_view b) {
    if (b.size() < 12 || b.substr(0, 4) != "RIFF" || b.substr(8, 4) != "AVI ") return std::nullopt;
    const size_t end = std::min<size_t>(b.size(), size_t{8} + U32(b, 4));
    Layout layout;
    Walk(b, 12, end, 0, false, layout);
    // One stream, and it is video: a clip with sound is not one the control plays.
    if (!layout.ok || layout.streams.size() != 1) return std::nullopt;
    const StreamInfo& stream = layout.streams.front();
    if (stream.header.size() < 32 || stream.header.substr(0, 4) != "vids") return std::nullopt;
    const std::optional<DibFormat> format = ReadDibFormat(stream.format);
    if (!format) return std::nullopt;
    const DibFormat& d = *format;

    AviClip clip;
    clip.width = d.width;
    clip.height = d.height;
    const uint32_t scale = U32(stream.header, 20);
    const uint32_t rate = U32(stream.header, 24);
    if (rate > 0 && scale > 0) {
        // A damaged header can ask for an interval past what an int holds; such a clip gets
        // the default interval below instead of an undefined conversion.
        const double interval = 1000.0 * scale / rate + 0.5;
        if (interval < std::numeric_limits<int>::max())
            clip.frameIntervalMs = static_cast<int>(interval);
    } else if (layout.mainHeader.size() >= 4) {
        clip.frameIntervalMs = static_cast<int>(U32(layout.mainHeader, 0) / 1000);
    }
    if (clip.frameIntervalMs <= 0) clip.frameIntervalMs = 100;

    const int64_t frameBytes = int64_t{d.width} * d.height * 4;
    std::vector<uint8_t> indexes(static_cast<size_t>(d.width) * d.height, 0);
    for (size_t i = 0; i < layout.movieChunks.size(); ++i) {
        const std::string& id = layout.movieIds[i];
        if (id.substr(0, 2) != "00" || (id.substr(2) != "db" && id.substr(2) != "dc")) continue;
        if (frameBytes * static_cast<int64_t>(clip.frames.size() + 1) > kMaxDecodedBytes) {
            return std::nullopt;
        }
        const std::string_view data = layout.movieChunks[i];
        if (data.empty()) {
            // An empty chunk repeats the frame before it.
            if (!clip.frames.empty()) clip.frames.push_back(clip.frames.back());
            continue;
        }
        if (d.compression == kBiRle8) {
            ApplyRle8(d, data, indexes);
            clip.frames.push_back(IndexedImage(d, indexes));
        } else if (d.bitCount <= 8) {
            if (!ReadIndexes(d, data, indexes)) return std::nullopt;
            clip.frames.push_back(IndexedImage(d, indexes));
        } else {
            std::optional<QImage> image = TrueColourImage(d, data);
            if (!image) return std::nullopt;
            clip.frames.push_back(*image);
        }
    }
    if (clip.frames.empty()) return std::nullopt;
    return clip;
}

AviPlayer::AviPlayer(QWidget* parent) : QWidget(parent) {
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Advance(); });
}

bool AviPlayer::Open(const std::string& path) {
    Close();
    std::string bytes;
    if (!FileExists(path) || !ReadWholeFile(path, bytes)) return false;
    clip_ = DecodeAviClip(bytes);
    updateGeometry();
    update();
    return clip_.has_value();
}

void AviPlayer::Play() {
    if (!clip_) return;
    current_ = 0;
    timer_.start(clip_->frameIntervalMs);
    update();
}

void AviPlayer::Stop() {
    timer_.stop();
}

void AviPlayer::Close() {
    timer_.stop();
    clip_.reset();
    current_ = 0;
    update();
}

void AviPlayer::Advance() {
    if (!clip_) return;
    current_ = (current_ + 1) % static_cast<int>(clip_->frames.size());
    update();
}

QSize AviPlayer::sizeHint() const {
    return clip_ ? QSize(clip_->width, clip_->height) : QSize(0, 0);
}

void AviPlayer::paintEvent(QPaintEvent*) {
    if (!clip_) return;
    const QImage& frame = clip_->frames[current_];
    QPainter painter(this);
    painter.drawImage((width() - frame.width()) / 2, (height() - frame.height()) / 2, frame);
}
