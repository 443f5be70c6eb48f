#include "hidraw_uevent.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "interrupted_calls.h"

namespace ksthid {
namespace {

// The most a sysfs attribute file holds: one page.
constexpr std::size_t kUeventLength = 4096;

// The kernel writes a uevent file as one page at most. Anything else at its
// place (a FIFO that would hold up the open, a huge file) yields what a
// regular file holds within that page, or nothing.
std::string readUeventText(const std::filesystem::path& path) {
  const int fd = retryInterrupted(
      [&] { return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY); });
  if (fd < 0) return {};
  std::string text;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    text.resize(kUeventLength);
    const ssize_t length = retryInterrupted([&] { return ::read(fd, text.data(), text.size()); });
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  }
  ::close(fd);
  return text;
}

}  // namespace

Uevent readUevent(const std::filesystem::path& file) {
  std::istringstream uevent(readUeventText(file));
  Uevent values;
  for (std::string line; std::getline(uevent, line);) {
    if (const auto equals = line.find('='); equals != std::string::npos) {
      values[line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return values;
}

Uevent hidrawUevent(const std::filesystem::path& sysRoot, const std::string& nodePath) {
  const auto name = std::filesystem::path(nodePath).filename();
  return readUevent(sysRoot / "class" / "hidraw" / name / "device" / "uevent");
}

// HID_ID is "BUS:VENDOR:PRODUCT" in hexadecimal; HID_UNIQ is the serial
// number the device gives, empty when it gives none.
std::optional<HidDeviceInfo> hidDeviceInfo(const Uevent& uevent) {
  const auto id = uevent.find("HID_ID");
  unsigned bus = 0, vendor = 0, product = 0;
  if (id == uevent.end() ||
      std::sscanf(id->second.c_str(), "%x:%x:%x", &bus, &vendor, &product) != 3) {
    return std::nullopt;
  }
  const auto valueOf = [&](const char* key) {
    const auto found = uevent.find(key);
    return found == uevent.end() ? std::string() : found->second;
  };
  return HidDeviceInfo{{static_cast<std::uint16_t>(vendor), static_cast<std::uint16_t>(product), 0},
                       valueOf("HID_UNIQ"),
                       valueOf("HID_NAME")};
}

}  // namespace ksthid
