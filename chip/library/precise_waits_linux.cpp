#include <sys/prctl.h>

#include "precise_waits.h"

// One nanosecond of slack: the smallest the kernel takes. Failing, waits stay as they were.
PreciseWaits::PreciseWaits() {
  const int slack = ::prctl(PR_GET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL);
  if (slack > 0) before_ = static_cast<unsigned long>(slack);
  ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

// Zero would give the thread its default slack: the one it had is put back.
PreciseWaits::~PreciseWaits() {
  if (before_ > 0) ::prctl(PR_SET_TIMERSLACK, before_, 0UL, 0UL, 0UL);
}
