#include "platform/file_ends.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "platform/atomic_file.h"
#include "platform/file_errors.h"

namespace {

constexpr size_t kChunk = 65536;

// Random access to a file's bytes through one cached chunk; a failed read throws its
// description.
class ChunkReader {
  public:
    ChunkReader(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

    // The byte at offset, the chunk that ends there read when it is not cached: the reader
    // walks backwards.
    char At(off_t offset) {
        if (offset < start_ || offset >= start_ + static_cast<off_t>(cache_.size())) {
            const off_t from = std::max<off_t>(0, offset + 1 - static_cast<off_t>(kChunk));
            cache_ = Read(from, static_cast<size_t>(offset + 1 - from));
            start_ = from;
            if (cache_.size() != static_cast<size_t>(offset + 1 - from))
                throw std::runtime_error(FileErrorText(EIO, path_));
        }
        return cache_[static_cast<size_t>(offset - start_)];
    }

    // Up to size bytes from offset: fewer only at the end of the file.
    std::string Read(off_t offset, size_t size) {
        std::string bytes(size, '\0');
        size_t done = 0;
        while (done < size) {
            const ssize_t n =
                pread(fd_, bytes.data() + done, size - done, offset + static_cast<off_t>(done));
            if (n == 0) break;
            if (n < 0) {
                if (errno == EINTR) continue;
                throw std::runtime_error(FileErrorText(errno, path_));
            }
            done += static_cast<size_t>(n);
        }
        bytes.resize(done);
        return bytes;
    }

  private:
    int fd_;
    std::string path_;
    std::string cache_;
    off_t start_ = 0;
};

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

FileLine LineAt(ChunkReader& reader, off_t begin, off_t end, size_t maxLineBytes) {
    const auto length = static_cast<size_t>(end - begin);
    return {reader.Read(begin, std::min(length, maxLineBytes)), length > maxLineBytes};
}

// The first line read forwards: only its first maxLineBytes bytes and one more are looked at.
FileLine FirstLine(ChunkReader& reader, size_t maxLineBytes) {
    std::string head = reader.Read(0, maxLineBytes + 1);
    const size_t end = head.find_first_of("\r\n");
    if (end != std::string::npos) return {head.substr(0, end), false};
    const bool cut = head.size() > maxLineBytes;
    head.resize(std::min(head.size(), maxLineBytes));
    return {std::move(head), cut};
}

void ReadEnds(ChunkReader& reader, off_t size, size_t count, size_t maxLineBytes, FileEnds& ends) {
    if (size == 0) {
        ends.Whole = true;
        return;
    }
    off_t end = size;
    if (reader.At(end - 1) == '\n') {
        --end;
        if (end > 0 && reader.At(end - 1) == '\r') --end;
    } else if (reader.At(end - 1) == '\r') {
        --end;
    }
    while (ends.Last.size() < count) {
        off_t at = end - 1;
        while (at >= 0 && !IsLineEnd(reader.At(at))) --at;
        ends.Last.push_back(LineAt(reader, at + 1, end, maxLineBytes));
        if (at < 0) {
            ends.Whole = true;
            break;
        }
        end = at;
        if (reader.At(at) == '\n' && at > 0 && reader.At(at - 1) == '\r') end = at - 1;
    }
    std::reverse(ends.Last.begin(), ends.Last.end());
    ends.First = ends.Whole ? ends.Last.front() : FirstLine(reader, maxLineBytes);
}

}  // namespace

bool ReadFileEnds(const std::string& path, size_t count, size_t maxLineBytes, FileEnds& ends,
                  std::string& error) {
    ends = FileEnds{};
    const int fd = OpenRegularFile(path, error);
    if (fd < 0) return false;
    struct stat st {};
    bool read = fstat(fd, &st) == 0;
    if (!read) error = FileErrorText(errno, path);
    try {
        ChunkReader reader(fd, path);
        if (read) ReadEnds(reader, st.st_size, count, maxLineBytes, ends);
    } catch (const std::exception& failure) {
        error = failure.what();
        read = false;
    }
    close(fd);
    return read;
}
