#include "screening/state.h"

ATecState& ATec() {
    static ATecState state;
    return state;
}

SearchState& Search() {
    static SearchState state;
    return state;
}

ObservationState& Observation() {
    static ObservationState state;
    return state;
}

void ResetScreeningState() {
    Observation() = ObservationState{};
    ATec() = ATecState{};
    Search() = SearchState{};
}
