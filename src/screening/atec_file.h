#pragma once
// The results of the manual analysis that the compound search filters by, as start-up
// reads them from "ATec.dat". The run that writes the file comes later.
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
