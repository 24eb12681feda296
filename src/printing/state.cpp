#include "printing/state.h"

ListPrintState& ListPrint() {
    static ListPrintState state;
    return state;
}

ChartPrintHooks& ChartPrinting() {
    static ChartPrintHooks hooks;
    return hooks;
}

ChartPrintState& ChartPrint() {
    static ChartPrintState state;
    return state;
}

void ResetPrintingState() {
    ListPrint() = ListPrintState{};
    ChartPrinting() = ChartPrintHooks{};
    ChartPrint() = ChartPrintState{};
}
