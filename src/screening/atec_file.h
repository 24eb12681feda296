#pragma once
// The results of the manual analysis that the compound search filters by: the manual
// analysis writes "ATec.dat", start-up reads it.
//
// "ATec.dat", little-endian, no padding: a signed 16-bit record count N, then records of
// an unsigned 16-bit length L, L bytes of the issue ID in code page 932, three signed
// 16-bit flags and two doubles. A run over fewer issues than an earlier one leaves old
// records behind the new ones, so a reader stops after N records.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "screening/state.h"

inline constexpr const char* kATecFileName = "ATec.dat";

// Reads "ATec.dat" into the table; a missing file gives an empty table. A damaged file
// shows its description through MsgWarn, keeps the table as it was and gives false.
bool LoadATec();

// The pure part: the records of a file image, up to its count or the end of the data.
// Throws for a negative count or a record cut short.
std::vector<ATecRecord> ParseATec(std::string_view bytes);

// The file image of records, as ParseATec reads it back. Throws when there are more
// records than the count holds or an ID is longer than its length field.
std::string EncodeATec(const std::vector<ATecRecord>& records);
// The file a manual analysis run leaves: the count and records it wrote, then whatever the
// previous file held beyond them, as writes in place over the old file would leave it (a
// reader stops after the count, so the old tail is never read as results).
std::string EncodeATecOver(const std::vector<ATecRecord>& records, std::string_view previous);
// Writes "ATec.dat" whole (a temporary file renamed over the old one), so no record of an
// earlier run stays behind the new ones. A failure shows its description through MsgWarn
// and gives false, the old file untouched.
bool SaveATec(const std::vector<ATecRecord>& records);
