#pragma once
// The personal news as start-up reads it back: "News.txt" holds the newest data date in
// its first line and the news text after it, and is taken only while that date is still
// the newest. Building and showing the news come later.
#include <cstdint>
#include <string>
#include <string_view>

#include "portfolio/state.h"

inline constexpr const char* kNewsFileName = "News.txt";
// The index issue whose newest daily row gives the newest data date.
inline constexpr const char* kLatestDateIssueId = "0201100";

// LatestDataDate := the date of the newest daily row of the index issue, when it has one.
void GetLatestDataDate();
// Appends the news of a still-current "News.txt" to NewsText; a failure shows its
// description through MsgWarn and keeps what was appended before it.
void LoadNewsFile();

// The pure part: appends to newsText the lines after the first when the first line is
// the decimal text of latestDate. Throws kErrInputPastEnd for a text without a line.
void AppendCurrentNews(std::string_view fileText, int32_t latestDate, std::string& newsText);
