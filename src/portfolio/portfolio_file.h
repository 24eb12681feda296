#pragma once
// The portfolio lists and their file "PF.txt": four lists of at most 25 entries, read
// once at start-up. The portfolio window and the personal news come later.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "portfolio/state.h"

inline constexpr int kPfListCapacity = 25;
inline constexpr const char* kPfFileName = "PF.txt";

inline constexpr const char* kPfBackupFileName = "PF.txt.bak";

// The four lists from "PF.txt"; none when the file is missing. A line that cannot be
// read stops the reading and leaves the lists empty; the file is then kept under the first
// free name of "PF.txt.bak", "PF.txt.bak2", ..., and the description through MsgWarn names
// it. When it could not be kept, the load is marked as failed.
void LoadPfFile();
// Rewrites "PF.txt" whole from the lists (each up to its count). After a failed load whose
// file could not be kept, it is kept first. A failure shows its description, leaves the
// old file and gives false.
bool SavePfFile();

// The pure part: the lists of a file's text (UTF-8). Throws with the description of the
// first line that cannot be read.
std::array<std::vector<PfEntry>, kPfListCount> ParsePfText(std::string_view text);
// The list index 0 to 3 that a line's list field names.
int PfListIndex(std::string_view field);

// A number as the file writes it: a blank or the minus sign, the value in plain decimal with
// at most 15 significant digits and no 0 before the point (" .5 ", "-3 ", " 612.5 "), then a
// blank. Magnitudes from 1E+15 and below 1E-15 take the exponent form (" 1.5E+20 "), with
// more digits where 15 would not read back (the largest doubles).
std::string PfNumberText(double value);
// The file's text (UTF-8): one line of seven fields per entry, list 1 first, each ended by
// CR LF; only the first counts[i] entries of list i are written.
std::string PfFileText(const std::array<std::vector<PfEntry>, kPfListCount>& lists,
                       const std::array<int16_t, kPfListCount>& counts);
