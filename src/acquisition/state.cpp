#include "acquisition/state.h"

MailDataState& MailData() {
    static MailDataState state;
    return state;
}

void ResetAcquisitionState() {
    MailData() = MailDataState{};
}
