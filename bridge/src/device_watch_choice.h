// How a monitor on Windows learns of devices coming and going: from the
// system's device-interface notification where it serves, otherwise by
// looking at the devices present at an interval. The rule stands apart from
// the system calls, so that it runs, and is tested, on any platform.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace ksthid {

// What the system tells, and does, that the choice rests on.
class DeviceNotifications {
 public:
  virtual ~DeviceNotifications() = default;

  // The system has CM_Register_Notification (Windows 8 and later).
  virtual bool available() const = 0;
  // The system is Wine, which delivers no notifications.
  virtual bool underWine() const = 0;
  // Registers for HID interfaces arriving and leaving, each of which calls
  // `onChange`, from any thread, until this is destroyed; false when the
  // system refuses.
  virtual bool subscribe(std::function<void()> onChange) = 0;
};

struct DeviceWatchChoice {
  // False: the watch looks every interval.
  bool notified = false;
  // In words: "device notification", or "looking every 250 ms: " and why.
  std::string how;
};

// Subscribes only where a notification can come: never under Wine, nor where
// the function is missing.
DeviceWatchChoice chooseDeviceWatch(DeviceNotifications& system,
                                    std::chrono::milliseconds lookInterval,
                                    std::function<void()> onChange);

}  // namespace ksthid
