#include "signalled_device_watch.h"

#include <algorithm>
#include <utility>

namespace ksthid {

SignalledDeviceWatch::SignalledDeviceWatch(std::unique_ptr<DeviceNotifications> system,
                                           std::chrono::milliseconds lookInterval)
    : lookInterval_(lookInterval),
      system_(std::move(system)),
      choice_(chooseDeviceWatch(*system_, lookInterval, [this] { wake(); })) {}

void SignalledDeviceWatch::wake() {
  std::lock_guard lock(mutex_);
  signalled_ = true;
  changed_.notify_all();
}

bool SignalledDeviceWatch::wait(int timeoutMs) {
  const auto timeout = std::chrono::milliseconds(timeoutMs);
  if (choice_.notified) return take(timeoutMs < 0 ? std::nullopt : std::optional(timeout));
  const auto wait = timeoutMs < 0 ? lookInterval_ : std::min(lookInterval_, timeout);
  return take(wait) || wait == lookInterval_;
}

bool SignalledDeviceWatch::take(std::optional<std::chrono::milliseconds> wait) {
  std::unique_lock lock(mutex_);
  const auto signalled = [this] { return signalled_; };
  if (wait) {
    changed_.wait_for(lock, *wait, signalled);
  } else {
    changed_.wait(lock, signalled);
  }
  return std::exchange(signalled_, false);
}

}  // namespace ksthid
