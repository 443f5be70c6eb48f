// The width of each pulse of a pulse train is the time of one library call, most of it the
// library's waits of a millisecond. By default the kernel may let such a wait run 50
// microseconds late, two waits a call; this asks it to wake this process on time.
#pragma once

namespace qv6180_tool {

void askForPreciseWaits();

}  // namespace qv6180_tool
