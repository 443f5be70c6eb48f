#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

// After windows.h, whose types it uses.
#include <timeapi.h>

#include "precise_waits.h"

namespace qv6180_tool {

void askForPreciseWaits() {
  // The system's timer ticks every 15.6 ms unless a process asks for 1 ms; Windows ends the
  // request with the process. Failing, waits stay as they were.
  ::timeBeginPeriod(1);
}

}  // namespace qv6180_tool
