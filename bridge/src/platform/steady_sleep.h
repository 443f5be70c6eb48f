// Waiting until a time of the steady clock.
#pragma once

#include <algorithm>
#include <chrono>
#include <climits>

namespace ksthid {

// Returns once the steady clock has reached `wakeUp`, never before.
void sleepUntil(std::chrono::steady_clock::time_point wakeUp);

// The whole milliseconds from now to `deadline`, rounded up so that a wait of that many does not
// end early; 0 once it has passed. For poll() and the like.
inline int millisecondsUntil(std::chrono::steady_clock::time_point deadline) {
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
}

}  // namespace ksthid
