#include "acquisition/state.h"

MailDataState& MailData() {
    static MailDataState state;
    return state;
}

DownloadState& Download() {
    static DownloadState state;
    return state;
}

void ResetAcquisitionState() {
    MailData() = MailDataState{};
    Download() = DownloadState{};
}
