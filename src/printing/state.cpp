#include "printing/state.h"

ListPrintState& ListPrint() {
    static ListPrintState state;
    return state;
}

ChartPrintHooks& ChartPrinting() {
    static ChartPrintHooks hooks;
    return hooks;
}

void ResetPrintingState() {
    ListPrint() = ListPrintState{};
    ChartPrinting() = ChartPrintHooks{};
}
