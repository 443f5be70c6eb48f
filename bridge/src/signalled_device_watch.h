// A watch that is told of devices coming and going, or looks at an interval,
// as chooseDeviceWatch decides over the system's facts; signs given by wake()
// (a virtual board plugged or pulled) end a wait at once either way.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "device_watch.h"
#include "device_watch_choice.h"

namespace ksthid {

class SignalledDeviceWatch final : public DeviceWatch {
 public:
  SignalledDeviceWatch(std::unique_ptr<DeviceNotifications> system,
                       std::chrono::milliseconds lookInterval);

  int descriptor() const override { return -1; }
  // Waits without end for a sign where notified. Looking, every look
  // interval counts as a sign: the caller looks again.
  bool wait(int timeoutMs) override;
  void wake() override;

  const std::string& how() const { return choice_.how; }

 private:
  // Waits up to `wait` (empty: without end) and takes the sign; false when
  // none came.
  bool take(std::optional<std::chrono::milliseconds> wait);

  std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_ = false;
  const std::chrono::milliseconds lookInterval_;
  // After the signal, so that the registration that gives it signs ends
  // first.
  const std::unique_ptr<DeviceNotifications> system_;
  const DeviceWatchChoice choice_;
};

}  // namespace ksthid
