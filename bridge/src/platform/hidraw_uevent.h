// What sysfs, which every user may read, says of the HID device behind a
// hidraw node: the KEY=value lines of its uevent file.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace ksthid {

// `sysRoot` stands for /sys; empty when the node has no readable uevent.
std::map<std::string, std::string> hidrawUevent(const std::filesystem::path& sysRoot,
                                                const std::string& nodePath);

}  // namespace ksthid
