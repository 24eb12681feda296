#include "portfolio/state.h"

PortfolioState& Portfolio() {
    static PortfolioState state;
    return state;
}

NewsState& News() {
    static NewsState state;
    return state;
}

void ResetPortfolioState() {
    Portfolio() = PortfolioState{};
    News() = NewsState{};
}
