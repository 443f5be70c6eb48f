#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

// After windows.h, whose types it uses.
#include <timeapi.h>

#include "precise_waits.h"

// The system's timer ticks every 15.6 ms unless a process asks for 1 ms. Failing, waits stay as
// they were.
PreciseWaits::PreciseWaits() {
  before_ = ::timeBeginPeriod(1) == TIMERR_NOERROR ? 1 : 0;
}

PreciseWaits::~PreciseWaits() {
  if (before_ != 0) ::timeEndPeriod(1);
}
