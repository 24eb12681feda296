#pragma once
// "settei2.ini", the connection file: its one line is the connection prefix every catalog's
// connection string starts with. The installation writes it; the program only reads it.
#include <string>
#include <string_view>

inline constexpr const char* kSettei2FileName = "settei2.ini";

// "settei2.ini" keeps its one line (UTF-8 in the program, CP932 in the file) with every
// printable ASCII character rotated forward by kSettei2Shift inside 0x20..0x7E, so the
// credentials are not plain text at a glance; other characters are kept. The shift is the
// installation's key; kabuto-install writes the file with it, mode 0600.
inline constexpr int kSettei2Shift = 7;
std::string EncodeSettei2Line(std::string_view prefix);
std::string DecodeSettei2Line(std::string_view line);

// The decoded first line of "settei2.ini", or "" after MsgWarn "settei2 read".
std::string GetSettei2();
