// The bridges that the Linux kernel driver hid-ksthid has claimed. The driver
// binds every bridge; a board it has claimed has no hidraw node, and its
// HID device holds the I2C adapter (i2c-N) and GPIO chip (gpiochipN) that
// the driver made of it.
#pragma once

#include <filesystem>
#include <vector>

#include "../transport.h"

namespace ksthid {

// `sysRoot` stands for /sys. A board is listed under its HID device's path
// (/sys/bus/hid/devices/0003:3A5C:4B17.0001), and why names its adapter and
// chip and how to give it back to the library.
std::vector<ClaimedBridge> kernelClaimedBridges(const std::filesystem::path& sysRoot);

}  // namespace ksthid
