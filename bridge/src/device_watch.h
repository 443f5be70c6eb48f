// What the platform tells of devices coming and going: a sign that the
// devices present may have changed, after which a monitor looks again.
#pragma once

#include <memory>

namespace ksthid {

class DeviceWatch {
 public:
  virtual ~DeviceWatch() = default;

  // A descriptor that poll() finds readable when a sign waits; -1 where the
  // platform has none.
  virtual int descriptor() const = 0;
  // Waits up to `timeoutMs` (negative: without end) for a sign and takes
  // every sign that waits. False when none came.
  virtual bool wait(int timeoutMs) = 0;
  // Gives a sign, from any thread.
  virtual void wake() = 0;
};

// The platform's watch. Null when it cannot start.
std::unique_ptr<DeviceWatch> openDeviceWatch();

}  // namespace ksthid
