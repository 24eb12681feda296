#pragma once
// The automatic download: the days the data server offers ("datalist.txt") that the daily
// catalog does not hold yet are fetched as their three archives into the mail-data folder.
// Every request goes through one internet transfer control; a failed attempt asks for the
// sign-in again, and only the sign-in window's cancel ends a run that keeps failing.
#include <string>
#include <string_view>

#include "acquisition/state.h"
#include "foundation/settings_record.h"

class InternetTransfer;

// The file in the program's folder whose first line, when present, is the data server's
// base address (the part in front of "datalist.txt").
inline constexpr const char* kDataServerFileName = "dataserver.txt";
inline constexpr const char* kBuiltInDataServer = "https://data.kabuto.example/daily/";

// The results of one attempt.
inline constexpr int32_t kDownloadOk = 0;
inline constexpr int32_t kDateListFailed = -101;
inline constexpr int32_t kImportCheckFailed = -102;
inline constexpr int32_t kArchiveFailed = -103;
inline constexpr int32_t kSignInCancelled = -201;

// The base address from kDataServerFileName, else the built-in one.
std::string DataServerAddress();
// base & file & "?uid=" & ID & "_" & password, the two values percent-encoded.
std::string RequestAddress(std::string_view base, std::string_view file, const LogonPair& logon);
// The server's list: the pieces before the last ";", at most the first five, each trimmed of
// blanks and line ends and kept only when it is eight digits of a real date.
DateList ParseServerDateList(std::string_view body);

// The whole run, started by the data command; no result.
void RunAutoImport();
// One attempt; forceSignIn -1 always asks for the sign-in.
int32_t AutoDownload(InternetTransfer& inet, int16_t forceSignIn, DateList& fetched,
                     std::string& message);
bool GetServerDateList(InternetTransfer& inet, const LogonPair& logon, DateList& list);
// The days of list the daily catalog does not hold, in order; false when a query failed.
bool IsDateImported(const DateList& list, DateList& missing);
bool DownloadArchiveSet(InternetTransfer& inet, const LogonPair& logon, const DateList& list);
// One archive, name without ".zip" (d, "S" & d or "I" & d).
bool DownloadArchive(InternetTransfer& inet, const LogonPair& logon, const std::string& name);
