#pragma once
// The settings of a run: the record loaded from and saved to "Settei.ini", the working
// print settings and the printers, and the sign-in pair stored in coded form.
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/settings_record.h"
#include "foundation/state.h"

constexpr const char* kSetteiFileName = "Settei.ini";
// Additive key of the saved sign-in.
constexpr int32_t kLogonKey = 4836251;
constexpr int kLogonLength = 100;

// Fills the record and logon from "Settei.ini", or the defaults when the file is
// missing. A file cut short or unreadable, whose sign-in does not restore or whose kagi
// display count is 0 takes the ResetSettei path; a value out of its field's range takes
// the field's default and the rest loads.
void LoadSettei(LogonPair& logon);
// Writes the record, with logon stored in coded form, as the whole file (mode 0600).
bool SaveSettei(const LogonPair& logon);
// Every default; empties logon. The saved sign-in arrays, PrintCaller and the two row
// numbers keep their values.
void InitSettei(LogonPair& logon);
// Deletes the file and loads the defaults, telling the user.
void ResetSettei(LogonPair& logon);
// direction -1 stores logon into the record's saved arrays, 0 restores logon from them.
bool ScrambleLogon(int direction, LogonPair& logon);
// displayCount := DefaultDisplayCount (kagi, daily, weekly, monthly).
void CopySetteiFlags(std::array<int32_t, kDisplayKinds>& displayCount);
// Copies the saved print settings into PrintJob, then ListPrinters.
void InitPrintSettei();
// Fills PrinterNames and moves CBO_Printer of both print settings to the default printer.
void ListPrinters();

// The pure parts, for tests and for whoever needs them without the shared state.
std::chrono::year_month_day SetteiToday();
void ApplySetteiDefaults(SetteiRecord& record, std::chrono::year_month_day today);
bool StoreLogon(const LogonPair& logon, struct UserSettei& user);
bool RestoreLogon(const struct UserSettei& user, LogonPair& logon);
