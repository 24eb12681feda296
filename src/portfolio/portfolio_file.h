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

// The four lists from "PF.txt"; none when the file is missing. A line that cannot be
// read stops the reading with its description through MsgWarn and leaves the lists empty.
void LoadPfFile();

// The pure part: the lists of a file's text (UTF-8). Throws with the description of the
// first line that cannot be read.
std::array<std::vector<PfEntry>, kPfListCount> ParsePfText(std::string_view text);
// The list index 0 to 3 that a line's list field names.
int PfListIndex(std::string_view field);
