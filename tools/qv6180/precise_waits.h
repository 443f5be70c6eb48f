// The width of each pulse of a pulse train is the time of one library call, most of it the
// library's waits of a millisecond. By default Linux may let such a wait run 50 microseconds late,
// and Windows rounds it up to its timer's tick of 15.6 ms; this asks the system to wake this
// process on time. One source file for each platform.
#pragma once

namespace qv6180_tool {

void askForPreciseWaits();

}  // namespace qv6180_tool
