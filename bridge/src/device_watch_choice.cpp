#include "device_watch_choice.h"

#include <utility>

namespace ksthid {

DeviceWatchChoice chooseDeviceWatch(DeviceNotifications& system,
                                    std::chrono::milliseconds lookInterval,
                                    std::function<void()> onChange) {
  const auto looking = [lookInterval](const char* why) {
    return DeviceWatchChoice{
        false, "looking every " + std::to_string(lookInterval.count()) + " ms: " + why};
  };
  if (system.underWine()) return looking("Wine delivers no device notifications");
  if (!system.available()) return looking("the system has no CM_Register_Notification");
  if (!system.subscribe(std::move(onChange))) return looking("CM_Register_Notification failed");
  return {true, "device notification"};
}

}  // namespace ksthid
