#include "analysis/state.h"

SeriesState& Series() {
    static SeriesState state;
    return state;
}

SeriesLoadingState& SeriesLoading() {
    static SeriesLoadingState state;
    return state;
}

RuleMarkState& RuleMarks() {
    static RuleMarkState state;
    return state;
}

KagiAnalysisState& KagiAnalysis() {
    static KagiAnalysisState state;
    return state;
}

KagiWidthState& KagiWidth() {
    static KagiWidthState state;
    return state;
}

LinesState& Lines() {
    static LinesState state;
    return state;
}

OverlayState& Overlay() {
    static OverlayState state;
    return state;
}

LinesStorageState& LinesStorage() {
    static LinesStorageState state;
    return state;
}

SignalState& Signals() {
    static SignalState state;
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
