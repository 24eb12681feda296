#pragma once
// The database road's round trips of a timed work, over all its runs: the count a team on
// one shared server waits for, reported beside the ratio.
//
//   RoundTripTally trips;
//   ReportSideBySide(state, trips.Counting(work), baseline);
//   state.counters["round_trips_per_issue"] = trips.PerRun() / issues;
#include <cstdint>

#include "support/side_by_side.h"

class RoundTripTally {
  public:
    // The work, with the round trips of each run added to the tally. The tally must outlive
    // the work it gives.
    TimedWork Counting(TimedWork work);
    // The mean round trips of one run; 0 before the first.
    double PerRun() const;

  private:
    uint64_t trips_ = 0;
    int runs_ = 0;
};
