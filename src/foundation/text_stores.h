#pragma once
// The per-issue text stores: "memo.ini" (memo per issue), "chuumoku.ini" (watch number
// per issue), "shasen.ini" and "kanmon.ini" (carried from start-up to shut-down). Each is
// read whole at start-up, kept as one text of lines each ended by CR LF, and written back
// at shut-down. Files are CP932; the texts in memory are UTF-8.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/state.h"

// Readers: the text of the file; a missing file is created empty. On a failure they warn
// with their tag and return "".
std::string GetMemo();
std::string GetChuumoku();
std::string GetShasen();
std::string GetKanmon();

// Writers: the store's text back to its file, written whole and renamed into place.
bool PutMemo();
bool PutChuumoku();
bool PutShasen();
bool PutKanmon();

// The value stored for an issue in MemoText or ChuumokuText, or "".
std::string FindMemo(std::string_view issueId);
std::string FindChuumoku(std::string_view issueId);

// The pure parts. Texts are UTF-8.
// The lines of a store file. Only CR LF ends a line: a lone CR or LF is part of the text
// of its line (a memo pasted with a line break), and writing the store back keeps it.
std::vector<std::string_view> StoreLines(std::string_view fileText);
// Lines of "issue ID, TAB, value": empty lines and lines with fewer than four characters
// before their first TAB (or without one) are dropped; each kept line ends in CR LF.
std::string KeepIssueValueLines(std::string_view fileText);
// Every line, empty ones included, each ended by CR LF.
std::string KeepAllLines(std::string_view fileText);
// The file text of the memo store: every line followed by an empty line.
std::string MemoFileText(std::string_view text);
// The file text of the other stores: one line per part, empty parts after the first dropped.
std::string LineFileText(std::string_view text);
// The rest of the line that begins with the issue ID and a TAB, without TABs and line ends.
std::string FindIssueValue(std::string_view text, std::string_view issueId);

// Every issue's value in a store text, keyed by issue ID, for fills that look many issues
// up: the same answers as FindIssueValue (the first line of an issue wins).
std::unordered_map<std::string, std::string> IssueValueIndex(std::string_view text);
// The store text with every line of the issue removed and, when value is not empty, the
// line "issue ID, TAB, value" appended.
std::string ReplaceIssueValueLine(std::string_view text, std::string_view issueId,
                                  std::string_view value);
