#include "analysis/series.h"

namespace {
SeriesState state;
}

SeriesState& Series() { return state; }
void ResetSeries() { state = SeriesState{}; }
