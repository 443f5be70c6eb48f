// Word that devices have come or gone, passed from the transports that know
// it first hand (the virtual boards) to whoever watches for it (monitors).
#pragma once

#include <functional>

namespace ksthid {

// Registers a listener, called from the thread that plugs or pulls a device;
// it must return quickly and must not call back into the library. The
// number to remove it by.
int addDevicesChangedListener(std::function<void()> listener);
void removeDevicesChangedListener(int id);

void signalDevicesChanged();

}  // namespace ksthid
