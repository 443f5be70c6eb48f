// The watch on Windows, as the monitor opens it and as tests reach it.
#pragma once

#include <memory>

#include "../signalled_device_watch.h"

namespace ksthid {

// With Wine's fact given rather than asked of the system: openDeviceWatch
// gives the system's own, and a test gives false to reach the system's
// registration wherever the system has one. It tells the debugger's output
// how it learns of devices: "ksthid: monitor: device notification", say.
std::unique_ptr<SignalledDeviceWatch> openWin32DeviceWatch(bool underWine);

}  // namespace ksthid
