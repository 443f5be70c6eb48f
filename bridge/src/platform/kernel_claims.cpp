#include "kernel_claims.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <system_error>

#include "hidraw_uevent.h"

namespace ksthid {
namespace {

namespace fs = std::filesystem;

// The name of the first child of `folder` that is `prefix` followed by a
// number (i2c-7 for "i2c-"); empty for none.
std::string numberedChild(const fs::path& folder, const std::string& prefix) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > prefix.size() && name.starts_with(prefix) &&
        std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                    [](unsigned char c) { return std::isdigit(c); })) {
      return name;
    }
  }
  return {};
}

// A serial number that is safe to paste into a shell: it is whatever the
// device says.
bool isPlainName(const std::string& serial) {
  return !serial.empty() && std::all_of(serial.begin(), serial.end(), [](unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '_' || c == '.';
  });
}

// The tool names a board by its serial number; one without a plain serial
// is given back through the driver's attribute.
std::string howToRelease(const fs::path& driver, const std::string& device,
                         const std::string& serial) {
  if (isPlainName(serial)) return "`ksthid kernel release " + serial + "` gives it back";
  return "writing " + device + " to " + (driver / "release").string() + " gives it back";
}

}  // namespace

std::vector<ClaimedBridge> kernelClaimedBridges(const fs::path& sysRoot) {
  const fs::path driver = sysRoot / "bus" / "hid" / "drivers" / "ksthid";
  std::vector<ClaimedBridge> claimed;
  std::error_code error;
  // Beside the devices bound to it, the driver's folder holds its attributes
  // and module, none of which has a HID device's uevent.
  for (const fs::directory_entry& entry : fs::directory_iterator(driver, error)) {
    const std::string device = entry.path().filename().string();
    const std::optional<HidDeviceInfo> info = hidDeviceInfo(readUevent(entry.path() / "uevent"));
    if (!info || !numberedChild(entry.path() / "hidraw", "hidraw").empty()) continue;
    const std::string adapter = numberedChild(entry.path(), "i2c-");
    const std::string chip = numberedChild(entry.path(), "gpiochip");
    // Without both, the driver is halfway through a claim or a release.
    if (adapter.empty() || chip.empty()) continue;
    claimed.push_back({(sysRoot / "bus" / "hid" / "devices" / device).string(), *info,
                       "claimed by the kernel driver as " + adapter + " and " + chip + "; " +
                           howToRelease(driver, device, info->serialNumber)});
  }
  std::sort(claimed.begin(), claimed.end(),
            [](const ClaimedBridge& a, const ClaimedBridge& b) { return a.path < b.path; });
  return claimed;
}

}  // namespace ksthid
