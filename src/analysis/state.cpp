#include "analysis/state.h"

// Each thread has its own records. The main thread's are the program's shared records; a
// worker of the analysis run builds its issues in its own and hands back only results, so
// no two threads ever share one.

SeriesState& Series() {
    thread_local SeriesState state;
    return state;
}

SeriesLoadingState& SeriesLoading() {
    thread_local SeriesLoadingState state;
    return state;
}

RuleMarkState& RuleMarks() {
    thread_local RuleMarkState state;
    return state;
}

KagiAnalysisState& KagiAnalysis() {
    thread_local KagiAnalysisState state;
    return state;
}

KagiWidthState& KagiWidth() {
    thread_local KagiWidthState state;
    return state;
}

LinesState& Lines() {
    thread_local LinesState state;
    return state;
}

OverlayState& Overlay() {
    thread_local OverlayState state;
    return state;
}

LinesStorageState& LinesStorage() {
    thread_local LinesStorageState state;
    return state;
}

SignalState& Signals() {
    thread_local SignalState state;
    return state;
}

void ResetAnalysisState() {
    Series() = SeriesState{};
    SeriesLoading() = SeriesLoadingState{};
    RuleMarks() = RuleMarkState{};
    KagiAnalysis() = KagiAnalysisState{};
    KagiWidth() = KagiWidthState{};
    Lines() = LinesState{};
    Overlay() = OverlayState{};
    LinesStorage() = LinesStorageState{};
    Signals() = SignalState{};
}
