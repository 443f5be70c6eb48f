// What sysfs, which every user may read, says of a HID device: the
// KEY=value lines of its uevent file.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "../transport.h"

namespace ksthid {

using Uevent = std::map<std::string, std::string>;

// Empty when the file cannot be read.
Uevent readUevent(const std::filesystem::path& file);

// Of the HID device behind a hidraw node; `sysRoot` stands for /sys.
Uevent hidrawUevent(const std::filesystem::path& sysRoot, const std::string& nodePath);

// The identity and strings a HID device's uevent gives; empty without a
// readable HID_ID.
std::optional<HidDeviceInfo> hidDeviceInfo(const Uevent& uevent);

}  // namespace ksthid
