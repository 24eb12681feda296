#include "printing/state.h"

ListPrintState& ListPrint() {
    static ListPrintState state;
    return state;
}

ChartPrintState& ChartPrint() {
    static ChartPrintState state;
    return state;
}

void ResetPrintingState() {
    ListPrint() = ListPrintState{};
    ChartPrint() = ChartPrintState{};
}
