// The standard library's sleep under MinGW counts whole milliseconds and
// rounds down, so a wait of less than 1 ms does not wait at all. Sleep, with
// the system timer raised to 1 ms for the length of the wait (it ticks every
// 15.6 ms otherwise), keeps the virtual board's millisecond waits. Waitable
// timers would give finer steps on Windows itself, but wake about 2 ms late
// under Wine, where the tests run.
#include <windows.h>

#include <timeapi.h>

#include <algorithm>

#include "steady_sleep.h"

namespace ksthid {

void sleepUntil(std::chrono::steady_clock::time_point wakeUp) {
  using std::chrono::milliseconds;
  auto now = std::chrono::steady_clock::now();
  if (now >= wakeUp) return;
  timeBeginPeriod(1);
  for (; now < wakeUp; now = std::chrono::steady_clock::now()) {
    // Whole milliseconds, at least one: a remainder below 1 ms would not wait.
    const auto whole = std::chrono::floor<milliseconds>(wakeUp - now);
    Sleep(static_cast<DWORD>(std::max(whole, milliseconds(1)).count()));
  }
  timeEndPeriod(1);
}

}  // namespace ksthid
