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

struct ATecRecord {
    std::string 銘柄ID;
    int16_t MAxG = 0;      // -1: golden cross at the last bar
    int16_t MAxD = 0;      // -1: dead cross at the last bar
    int16_t 出増005D = 0;  // -1: the last day's volume at least five times the mean
    double 乖離005D = 0;   // deviation from the 5-day average, percent
    double 乖離025D = 0;   // deviation from the 25-day average, percent
};

inline constexpr const char* kATecFileName = "ATec.dat";

struct ATecState {
    std::vector<ATecRecord> ATecTable;
    int16_t ATecCount = 0;
};

ATecState& ATec();
void ResetATec();

// The compound search's flag: -1 once the user applied a search in this run.
struct SearchState {
    int16_t SearchApplied = 0;
};
SearchState& Search();
void ResetSearch();

// Reads "ATec.dat" into the table; a missing file gives an empty table. A damaged file
// shows its description through MsgWarn, keeps the table as it was and gives false.
bool LoadATec();

// The pure part: the records of a file image, up to its count or the end of the data.
// Throws for a negative count or a record cut short.
std::vector<ATecRecord> ParseATec(std::string_view bytes);
