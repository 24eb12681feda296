#include "screening/atec_file.h"

#include <bit>
#include <cstring>
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

static_assert(std::endian::native == std::endian::little, "ATec.dat is read in place");

}  // namespace

std::vector<ATecRecord> ParseATec(std::string_view bytes) {
    ByteReader reader(bytes);
    std::vector<ATecRecord> records;
    // An empty file holds no records.
    if (reader.AtEnd()) return records;
    const int16_t count = reader.Read<int16_t>();
    if (count < 0) throw std::out_of_range(kErrSubscriptOutOfRange);
    while (static_cast<int>(records.size()) < count && !reader.AtEnd()) {
        ATecRecord record;
        const uint16_t length = reader.Read<uint16_t>();
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
        if (!ReadWholeFile(path, bytes)) throw std::runtime_error(kErrFileNotFound);
        std::vector<ATecRecord> records = ParseATec(bytes);
        state.ATecCount = static_cast<int16_t>(records.size());
        state.ATecTable = std::move(records);
    });
}
