#pragma once
// The settings record as one table of fields, in file order. The table drives the
// defaults, the byte image of "Settei.ini" (load and save) and the lookup by name with
// which the dialogs bind their controls. A field's name is its section and its control
// name, as "UserSettei.OPT_二文" or "SearchSettei.TXT_Min"; the spare value of a condition
// is "<section>.<condition>.Spare".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/settings_record.h"

enum class SetteiFieldType {
    Integer,    // signed 16-bit
    Long,       // signed 32-bit
    Text,       // unsigned 16-bit byte count, then the CP932 bytes
    LongArray,  // 101 signed 32-bit values
};

enum class SetteiDefault {
    Keep,       // the defaults leave the field alone
    Value,      // DefaultValue or DefaultText
    Today,      // today as "yyyy/mm/dd"
    YearStart,  // 1 January of this year, of the last one from January to March
};

struct SetteiField {
    std::string Name;
    SetteiFieldType Type;
    SetteiDefault Default;
    int32_t DefaultValue = 0;
    std::string DefaultText;
    // Values the program can use (list positions, display counts); a loaded value outside
    // them takes the default, so nothing downstream indexes out of range.
    bool Ranged = false;
    int32_t Min = 0;
    int32_t Max = 0;
    size_t Offset = 0;  // of the member inside SetteiRecord
};

const std::vector<SetteiField>& SetteiFields();
const SetteiField* FindSetteiField(std::string_view name);

// The member a field stands for; nullptr when the name is unknown or of another type.
int16_t* SetteiInteger(SetteiRecord& record, std::string_view name);
int32_t* SetteiLong(SetteiRecord& record, std::string_view name);
std::string* SetteiText(SetteiRecord& record, std::string_view name);

// The file image of the record. Fails only on a text longer than 65535 CP932 bytes.
bool EncodeSetteiImage(const SetteiRecord& record, std::string& image, std::string& error);
// Reads a record from the start of an image, every value as it stands; bytes after it are
// ignored. False only when the image ends early or a text runs past its end. A text that
// is not CP932 shows "?" for what does not decode and keeps its bytes in KeptTexts.
bool DecodeSetteiImage(std::string_view image, SetteiRecord& record);
// Every ranged field outside its range takes its default; the other fields stay.
void SettleSetteiRanges(SetteiRecord& record);
// Byte offset of a field in the image of this record (texts before it count with their
// lengths); -1 for an unknown name.
int64_t SetteiImageOffset(const SetteiRecord& record, std::string_view name);
