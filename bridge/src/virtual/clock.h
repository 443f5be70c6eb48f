// Time as the virtual board sees it: real time for users, or a virtual clock
// that tests move forward at no cost.
#pragma once

#include <chrono>

#include "../platform/steady_sleep.h"

namespace ksthid {

using Microseconds = std::chrono::microseconds;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual Microseconds now() const = 0;
  virtual void sleepUntil(Microseconds time) = 0;
};

class SteadyClock final : public Clock {
 public:
  Microseconds now() const override {
    return std::chrono::duration_cast<Microseconds>(std::chrono::steady_clock::now() - start_);
  }
  void sleepUntil(Microseconds time) override { ksthid::sleepUntil(start_ + time); }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

class VirtualClock final : public Clock {
 public:
  Microseconds now() const override { return now_; }
  void sleepUntil(Microseconds time) override {
    if (time > now_) now_ = time;
  }

 private:
  Microseconds now_{0};
};

}  // namespace ksthid
