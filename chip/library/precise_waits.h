// The width of each pulse of a pulse train is the time of one library call, most of it the
// library's waits of a millisecond. By default Linux may let such a wait run 50 microseconds late,
// and Windows rounds it up to its timer's tick of 15.6 ms; while one of these lives, the system
// wakes the train on time (on Linux the calling thread and the threads it starts meanwhile). What
// was asked is taken back when it goes. One source file for each platform.
#pragma once

class PreciseWaits {
 public:
  PreciseWaits();
  ~PreciseWaits();
  PreciseWaits(const PreciseWaits&) = delete;
  PreciseWaits& operator=(const PreciseWaits&) = delete;

 private:
  // What the system had before, where it tells.
  unsigned long before_ = 0;
};
