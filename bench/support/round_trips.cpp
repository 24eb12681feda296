#include "support/round_trips.h"

#include <utility>

#include "foundation/round_trips.h"

TimedWork RoundTripTally::Counting(TimedWork work) {
    return {std::move(work.Prepare), [this, run = std::move(work.Run)] {
                const uint64_t before = RoundTripCount();
                run();
                trips_ += RoundTripCount() - before;
                ++runs_;
            }};
}

double RoundTripTally::PerRun() const {
    return runs_ > 0 ? static_cast<double>(trips_) / runs_ : 0;
}
