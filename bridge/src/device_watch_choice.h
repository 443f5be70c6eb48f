// How a monitor on Windows learns of devices coming and going: from the
// system's device-interface notification where it serves, otherwise by
// looking at the devices present at an interval. The rule stands apart from
// the system calls, so that it runs, and is tested, on any platform.
#pragma once

#include <chrono>
#include <string>

namespace ksthid {

// What the system tells, and does, that the choice rests on.
class DeviceNotifications {
 public:
  virtual ~DeviceNotifications() = default;

  // The system has CM_Register_Notification (Windows 8 and later).
  virtual bool available() const = 0;
  // The system is Wine, which accepts a registration and never notifies.
  virtual bool underWine() const = 0;
  // Registers for HID interfaces arriving and leaving; false when the
  // system refuses.
  virtual bool subscribe() = 0;
};

struct DeviceWatchChoice {
  // False: the watch looks every interval.
  bool notified = false;
  // In words, for the packet trace: "device notification", or "looking every
  // 250 ms: " and why.
  std::string how;
};

// Subscribes only where a notification can come: never where the function is
// missing, nor under Wine.
DeviceWatchChoice chooseDeviceWatch(DeviceNotifications& system,
                                    std::chrono::milliseconds lookInterval);

}  // namespace ksthid
