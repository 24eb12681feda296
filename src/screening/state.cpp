#include "screening/state.h"

ATecState& ATec() {
    static ATecState state;
    return state;
}

SearchState& Search() {
    static SearchState state;
    return state;
}

void ResetScreeningState() {
    ATec() = ATecState{};
    Search() = SearchState{};
}
