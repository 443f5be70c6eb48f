// Sleeping until a time of the steady clock, to a fraction of a millisecond.
#pragma once

#include <chrono>

namespace ksthid {

// Returns once the steady clock has reached `wakeUp`, never before.
void sleepUntil(std::chrono::steady_clock::time_point wakeUp);

}  // namespace ksthid
