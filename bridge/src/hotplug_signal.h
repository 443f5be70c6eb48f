// Word that devices have come or gone, passed from the transports that know
// it first hand (the virtual boards) to whoever watches for it (monitors).
#pragma once

#include <functional>
#include <string>

namespace ksthid {

// Called with the device's path, and true when it arrived, false when it
// left; from the thread that plugs or pulls it. It must return quickly and
// must not call back into the library.
using DevicesChangedListener = std::function<void(const std::string& path, bool arrived)>;

// The number to remove the listener by.
int addDevicesChangedListener(DevicesChangedListener listener);
void removeDevicesChangedListener(int id);

void signalDevicesChanged(const std::string& path, bool arrived);

}  // namespace ksthid
