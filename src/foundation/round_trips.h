#pragma once
// The database road's count of its round trips, for the benchmarks.
#include <cstdint>

// The round trips the road has made, on every thread, since the program started: each
// wait for the engine's answer counts once (a statement, the session check, a transaction
// step), and requests sent together before one wait count once. SQLite has no server, so
// there it counts the requests that would be round trips on one.
uint64_t RoundTripCount();
// One more wait for the engine's answer.
void CountRoundTrip();
