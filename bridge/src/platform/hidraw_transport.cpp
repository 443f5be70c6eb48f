#include "hidraw_transport.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <memory>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "hidraw_uevent.h"
#include "interrupted_calls.h"
#include "kernel_claims.h"
#include "steady_sleep.h"

namespace ksthid {
namespace {

using SteadyTime = std::chrono::steady_clock;

// A node that has taken no report in this time is failing.
constexpr std::chrono::milliseconds kWriteWait{6000};
// How long after a failed write an unplugged device's node is gone, at most,
// and how often that is looked at.
constexpr std::chrono::milliseconds kUnplugNoticed{50}, kUnplugPoll{2};

// How many input reports hidraw keeps for each open file.
constexpr int kHidrawQueueLength = 64;

// N of a node name hidrawN; empty for any other name.
std::optional<unsigned long> hidrawNumber(const std::string& name) {
  constexpr std::string_view prefix = "hidraw";
  if (!name.starts_with(prefix)) return std::nullopt;
  const char* first = name.data() + prefix.size();
  const char* last = name.data() + name.size();
  unsigned long number = 0;
  const auto [end, error] = std::from_chars(first, last, number);
  if (first == last || error != std::errc() || end != last) return std::nullopt;
  return number;
}

// hidraw hands over one whole report per read and cuts a longer one to the
// size asked for, so every read asks for one byte more than a report.
using ReadBuffer = std::array<std::uint8_t, kReportLength + 1>;

// After a report of the wrong size the device and the library no longer
// agree on what a report is: whatever the device has queued behind it goes
// too, so that none of it is taken for the answer to a later request.
void discardQueuedReports(int fd) {
  ReadBuffer discarded;
  for (int report = 0; report < kHidrawQueueLength; ++report) {
    if (retryInterrupted([&] { return ::read(fd, discarded.data(), discarded.size()); }) <= 0) {
      return;
    }
  }
}

enum class ReadOutcome { report, nothingYet, failed };

// `into` is changed only when a whole report has been read.
ReadOutcome readReport(int fd, Report& into) {
  ReadBuffer received;
  const ssize_t length =
      retryInterrupted([&] { return ::read(fd, received.data(), received.size()); });
  if (length < 0) return errno == EAGAIN ? ReadOutcome::nothingYet : ReadOutcome::failed;
  if (static_cast<std::size_t>(length) != kReportLength) {
    discardQueuedReports(fd);
    return ReadOutcome::failed;
  }
  std::copy_n(received.begin(), kReportLength, into.begin());
  return ReadOutcome::report;
}

// Waits for the node to offer a report and reads it. A node that reports an
// error or hang-up (a device unplugged) ends the wait at once, and sets
// hungUp for a hang-up.
ReadResult awaitReport(const HidrawTransport::NodeWait& waitForNode, int fd,
                       SteadyTime::time_point deadline, Report& into, bool& hungUp) {
  for (;;) {
    pollfd node{fd, POLLIN, 0};
    const int ready = waitForNode(node, millisecondsUntil(deadline));
    if (ready == 0) return ReadResult::timedOut;
    if (ready < 0 && errno != EINTR) return ReadResult::failed;
    if (ready > 0) {
      if (node.revents & POLLHUP) hungUp = true;
      if (!(node.revents & POLLIN)) return ReadResult::failed;
      const ReadOutcome outcome = readReport(fd, into);
      if (outcome == ReadOutcome::report) return ReadResult::report;
      if (outcome == ReadOutcome::failed) return ReadResult::failed;
    }
    if (SteadyTime::now() >= deadline) return ReadResult::timedOut;
  }
}

// What an errno of open or HIDIOCGRAWINFO says of the device.
OpenFailure kindOf(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return OpenFailure::accessDenied;
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return OpenFailure::absent;
    default:
      return OpenFailure::other;
  }
}

}  // namespace

int HidrawTransport::pollNode(pollfd& node, int milliseconds) {
  return ::poll(&node, 1, milliseconds);
}

HidrawTransport::HidrawTransport(std::filesystem::path sysRoot, std::filesystem::path devRoot,
                                 NodeWait waitForNode)
    : sysRoot_(std::move(sysRoot)),
      devRoot_(std::move(devRoot)),
      waitForNode_(std::move(waitForNode)) {}

std::vector<std::string> HidrawTransport::enumerateHidPaths() {
  std::vector<std::pair<unsigned long, std::string>> nodes;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(sysRoot_ / "class" / "hidraw", error)) {
    const std::string name = entry.path().filename().string();
    if (const auto number = hidrawNumber(name)) nodes.emplace_back(*number, name);
  }
  std::sort(nodes.begin(), nodes.end());
  std::vector<std::string> paths;
  for (const auto& [number, name] : nodes) paths.push_back((devRoot_ / name).string());
  return paths;
}

class HidrawTransport::Node final : public DeviceHandle {
 public:
  Node(HidrawTransport& transport, std::string path, int writeFd, int readFd)
      : transport_(transport), path_(std::move(path)), writeFd_(writeFd), readFd_(readFd) {}
  ~Node() override {
    ::close(writeFd_);
    ::close(readFd_);
  }

  // Vendor and product from HIDIOCGRAWINFO, which carries no version number.
  std::optional<HidAttributes> attributes() override {
    hidraw_devinfo info{};
    if (retryInterrupted([&] { return ::ioctl(writeFd_, HIDIOCGRAWINFO, &info); }) < 0) {
      transport_.noteFailure(path_, errno);
      return std::nullopt;
    }
    return HidAttributes{static_cast<std::uint16_t>(info.vendor),
                         static_cast<std::uint16_t>(info.product), 0};
  }

  // The descriptor does not block, so a node that cannot take the report yet
  // is waited for here, as a blocking write would.
  bool write(const Report& report) override {
    const auto deadline = SteadyTime::now() + kWriteWait;
    for (;;) {
      const ssize_t written =
          retryInterrupted([&] { return ::write(writeFd_, report.data(), report.size()); });
      if (written >= 0) return written == static_cast<ssize_t>(kReportLength);
      if (errno != EAGAIN) {
        gone_ = errno == ENODEV || vanishes();
        return false;
      }
      if (SteadyTime::now() >= deadline) return false;
      pollfd node{writeFd_, POLLOUT, 0};
      if (retryInterrupted([&] { return ::poll(&node, 1, millisecondsUntil(deadline)); }) <= 0) {
        return false;
      }
    }
  }

  ReadResult read(Report& into, std::chrono::milliseconds wait) override {
    return awaitReport(transport_.waitForNode_, readFd_, SteadyTime::now() + wait, into, gone_);
  }

  bool gone() override { return gone_; }

  // A wait for the lock ends only when it is taken: a signal makes it wait
  // again, however often it comes.
  bool lockDevice(bool wait) override {
    const int operation = wait ? LOCK_EX : LOCK_EX | LOCK_NB;
    int result;
    do {
      result = ::flock(readFd_, operation);
    } while (result < 0 && errno == EINTR && wait);
    return result == 0;
  }

  void unlockDevice() override { ::flock(readFd_, LOCK_UN); }

 private:
  // USB refuses the transfers of a device whose cable has just been pulled
  // before the hub has noticed and its node goes: a failed write waits that
  // moment to tell an unplug from another failure.
  bool vanishes() {
    const auto deadline = SteadyTime::now() + kUnplugNoticed;
    hidraw_devinfo info{};
    while (::ioctl(writeFd_, HIDIOCGRAWINFO, &info) == 0) {
      if (SteadyTime::now() >= deadline) return false;
      std::this_thread::sleep_for(kUnplugPoll);
    }
    return errno == ENODEV;
  }

  HidrawTransport& transport_;
  const std::string path_;
  const int writeFd_;
  const int readFd_;
  bool gone_ = false;
};

// Device handles never pass on to programs that the host starts, and no
// open blocks: a node that is no device, such as a FIFO, cannot hold up a
// connect.
std::unique_ptr<DeviceHandle> HidrawTransport::open(const std::string& path) {
  const int writeFd = openDescriptor(path, O_WRONLY | O_NONBLOCK);
  if (writeFd < 0) return nullptr;
  const int readFd = openDescriptor(path, O_RDONLY | O_NONBLOCK);
  if (readFd < 0) {
    ::close(writeFd);
    return nullptr;
  }
  return std::make_unique<Node>(*this, path, writeFd, readFd);
}

int HidrawTransport::openDescriptor(const std::string& path, int flags) {
  const int fd = retryInterrupted([&] { return ::open(path.c_str(), flags | O_CLOEXEC); });
  if (fd < 0) noteFailure(path, errno);
  return fd;
}

std::string HidrawTransport::describeFailure(const std::string& path) {
  std::lock_guard lock(mutex_);
  const auto found = failures_.find(path);
  return found == failures_.end() ? std::string() : found->second.why;
}

void HidrawTransport::noteFailure(const std::string& path, int error) {
  std::string why = std::generic_category().message(error);
  if (const std::string identity = identityOf(path); !identity.empty()) {
    why += " (" + identity + ")";
  }
  std::lock_guard lock(mutex_);
  failures_[path] = {std::move(why), kindOf(error)};
}

OpenFailure HidrawTransport::failureKind(const std::string& path) {
  std::lock_guard lock(mutex_);
  const auto found = failures_.find(path);
  return found == failures_.end() ? OpenFailure::other : found->second.kind;
}

std::optional<HidDeviceInfo> HidrawTransport::describe(const std::string& path) {
  return hidDeviceInfo(hidrawUevent(sysRoot_, path));
}

std::vector<ClaimedBridge> HidrawTransport::claimedBridges() {
  return kernelClaimedBridges(sysRoot_);
}

// What sysfs, which every user may read, says of the device behind a node,
// so that a node nobody may open can still be told to be a bridge or not.
std::string HidrawTransport::identityOf(const std::string& path) const {
  const Uevent uevent = hidrawUevent(sysRoot_, path);
  const auto id = uevent.find("HID_ID");
  if (id == uevent.end() || id->second.empty()) return {};
  const auto name = uevent.find("HID_NAME");
  return "HID " + id->second + " \"" + (name == uevent.end() ? "" : name->second) + "\"";
}

std::unique_ptr<Transport> makePlatformTransport() {
  return std::make_unique<HidrawTransport>("/sys", "/dev");
}

}  // namespace ksthid
