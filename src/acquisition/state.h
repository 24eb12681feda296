#pragma once
// The shared records of data acquisition, one owner for them all: the mail-data folder the
// archive listing searches and the automatic download's dates and states. Each record
// lives for the whole run; ResetAcquisitionState gives every one of them the values of a
// fresh start.
#include <cstdint>
#include <string>
#include <vector>

struct MailDataState {
    // The program's folder, "メールデータ" and a "/"; set each time the window is prepared.
    std::string MailDataFolder;
};

MailDataState& MailData();

// Dates as the data server sends them, eight digits yyyymmdd; Count are valid.
struct DateList {
    std::vector<std::string> Dates;
    int32_t Count = 0;
};

struct DownloadState {
    // The days still to fetch in the last run; Count is 0 after a run that fetched nothing.
    DateList FetchedDates;
    int32_t AutoDownloadResult = 0;
    // Import finished, message pending: both -1 or 0.
    int16_t AutoImportDoneFlags[2] = {0, 0};
    // The data server's base address, read when a run starts.
    std::string ServerBase;
    // A request that transfers nothing for this long fails; tests shorten it.
    int TransferTimeoutMs = 30000;
    // However steadily its bytes come, the date list fails after this long and each
    // archive after this long; tests shorten them.
    int DateListDeadlineMs = 60000;
    int ArchiveDeadlineMs = 600000;
};

DownloadState& Download();

// Every record above as a fresh run has it.
void ResetAcquisitionState();
