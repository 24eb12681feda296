#include "printing/state.h"

ListPrintState& ListPrint() {
    static ListPrintState state;
    return state;
}

void ResetPrintingState() {
    ListPrint() = ListPrintState{};
}
