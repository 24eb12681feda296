#pragma once
// The shared records of data acquisition, one owner for them all: the mail-data folder the
// archive listing searches. Each record lives for the whole run; ResetAcquisitionState gives
// every one of them the values of a fresh start.
#include <string>

struct MailDataState {
    // The program's folder, "メールデータ" and a "/"; set each time the window is prepared.
    std::string MailDataFolder;
};

MailDataState& MailData();

// Every record above as a fresh run has it.
void ResetAcquisitionState();
