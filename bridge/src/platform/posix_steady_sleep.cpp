#include <thread>

#include "steady_sleep.h"

namespace ksthid {

void sleepUntil(std::chrono::steady_clock::time_point wakeUp) {
  std::this_thread::sleep_until(wakeUp);
}

}  // namespace ksthid
