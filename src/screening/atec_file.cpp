#include "screening/atec_file.h"

#include <bit>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "foundation/error_texts.h"
#include "foundation/trap.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"

namespace {

// Reads little-endian values from a file image; reading past its end throws.
class ByteReader {
  public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
    bool AtEnd() const { return at_ >= bytes_.size(); }
    size_t Left() const { return bytes_.size() - at_; }
    template <typename T>
    T Read() {
        T value{};
        std::memcpy(&value, Take(sizeof(T)).data(), sizeof(T));
        return value;
    }
    std::string_view Take(size_t count) {
        if (bytes_.size() - at_ < count) throw std::runtime_error(kErrInputPastEnd);
        const std::string_view part = bytes_.substr(at_, count);
        at_ += count;
        return part;
    }

  private:
    std::string_view bytes_;
    size_t at_ = 0;
};

// Appends little-endian values to a file image.
class ByteWriter {
  public:
    template <typename T>
    void Write(T value) {
        char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        bytes_.append(bytes, sizeof(T));
    }
    void Append(std::string_view bytes) { bytes_ += bytes; }
    std::string Take() { return std::move(bytes_); }

  private:
    std::string bytes_;
};

static_assert(std::endian::native == std::endian::little, "ATec.dat is read in place");

}  // namespace

std::vector<ATecRecord> ParseATec(std::string_view bytes) {
    ByteReader reader(bytes);
    std::vector<ATecRecord> records;
    // A file too short for its count holds no records, and a record the file cuts off is not
    // counted: a run that stopped while writing keeps the records it finished.
    if (reader.Left() < sizeof(int16_t)) return records;
    const int16_t count = reader.Read<int16_t>();
    if (count < 0) throw std::out_of_range(kErrSubscriptOutOfRange);
    constexpr size_t kAfterId = 3 * sizeof(int16_t) + 2 * sizeof(double);
    while (static_cast<int>(records.size()) < count && reader.Left() >= sizeof(uint16_t)) {
        ATecRecord record;
        const uint16_t length = reader.Read<uint16_t>();
        if (reader.Left() < length + kAfterId) break;
        record.銘柄ID = FromCp932(reader.Take(length));
        record.MAxG = reader.Read<int16_t>();
        record.MAxD = reader.Read<int16_t>();
        record.出増005D = reader.Read<int16_t>();
        record.乖離005D = reader.Read<double>();
        record.乖離025D = reader.Read<double>();
        records.push_back(std::move(record));
    }
    return records;
}

std::string EncodeATec(const std::vector<ATecRecord>& records) {
    if (records.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max()))
        throw std::overflow_error(kErrOverflow);
    ByteWriter writer;
    writer.Write(static_cast<int16_t>(records.size()));
    for (const ATecRecord& record : records) {
        const std::string id = ToCp932(record.銘柄ID);
        if (id.size() > std::numeric_limits<uint16_t>::max())
            throw std::overflow_error(kErrOverflow);
        writer.Write(static_cast<uint16_t>(id.size()));
        writer.Append(id);
        writer.Write(record.MAxG);
        writer.Write(record.MAxD);
        writer.Write(record.出増005D);
        writer.Write(record.乖離005D);
        writer.Write(record.乖離025D);
    }
    return writer.Take();
}

std::string EncodeATecOver(const std::vector<ATecRecord>& records, std::string_view previous) {
    std::string image = EncodeATec(records);
    if (previous.size() > image.size()) image += previous.substr(image.size());
    return image;
}

bool SaveATec(const std::vector<ATecRecord>& records) {
    return RunTrapped([&records] {
        std::string error;
        if (!WriteFileAtomically(AppPath() + kATecFileName, EncodeATec(records), error))
            throw std::runtime_error(error);
    });
}

bool LoadATec() {
    auto& state = ATec();
    const std::string path = AppPath() + kATecFileName;
    if (!FileExists(path)) {
        state.ATecTable.clear();
        state.ATecCount = 0;
        return true;
    }
    return RunTrapped([&state, &path] {
        std::string bytes;
        std::string error;
        if (!ReadRegularFile(path, bytes, error))
            throw std::runtime_error(error + SetAsideIfNotRegular(path));
        std::vector<ATecRecord> records = ParseATec(bytes);
        state.ATecCount = static_cast<int16_t>(records.size());
        state.ATecTable = std::move(records);
    });
}
