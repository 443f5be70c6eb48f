// Devices coming and going on Windows: the monitor looks at the devices
// present every 250 ms, and at once when a virtual board is plugged or
// pulled. CM_Register_Notification would spare the looking, but Wine, under
// which the Windows builds are tested, does not deliver its notifications.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "../device_watch.h"

namespace ksthid {
namespace {

constexpr std::chrono::milliseconds kLookInterval{250};

class PollingDeviceWatch final : public DeviceWatch {
 public:
  int descriptor() const override { return -1; }

  void wake() override {
    std::lock_guard lock(mutex_);
    signalled_ = true;
    changed_.notify_all();
  }

  // Every look interval counts as a sign: the caller looks again.
  bool wait(int timeoutMs) override {
    std::unique_lock lock(mutex_);
    const auto wait = timeoutMs < 0 ? kLookInterval
                                    : std::min(kLookInterval, std::chrono::milliseconds(timeoutMs));
    changed_.wait_for(lock, wait, [this] { return signalled_; });
    const bool signalled = signalled_;
    signalled_ = false;
    return signalled || wait == kLookInterval;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_ = false;
};

}  // namespace

std::unique_ptr<DeviceWatch> openDeviceWatch() {
  return std::make_unique<PollingDeviceWatch>();
}

}  // namespace ksthid
