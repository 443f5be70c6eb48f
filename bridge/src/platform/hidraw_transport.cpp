#include "hidraw_transport.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <fstream>
#include <memory>
#include <string_view>
#include <system_error>
#include <utility>

#include "../platform_transport.h"

namespace ksthid {
namespace {

using SteadyTime = std::chrono::steady_clock;

// A call that a signal interrupts is made again; a device that keeps
// answering "interrupted" is failing, and no call may spin on it.
constexpr int attemptsWhenInterrupted = 4;

// How many input reports hidraw keeps for each open file.
constexpr int hidrawQueueLength = 64;

template <typename Call>
auto retryInterrupted(Call call) {
  auto result = call();
  for (int attempt = 1; attempt < attemptsWhenInterrupted && result < 0 && errno == EINTR;
       ++attempt) {
    result = call();
  }
  return result;
}

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

int millisecondsUntil(SteadyTime::time_point deadline) {
  const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyTime::now());
  return static_cast<int>(
      std::clamp<std::chrono::milliseconds::rep>(remaining.count(), 0, INT_MAX));
}

// hidraw hands over one whole report per read and cuts a longer one to the
// size asked for, so every read asks for one byte more than a report.
using ReadBuffer = std::array<std::uint8_t, kReportLength + 1>;

// After a report of the wrong size the device and the library no longer
// agree on what a report is: whatever the device has queued behind it goes
// too, so that none of it is taken for the answer to a later request.
void discardQueuedReports(int fd) {
  ReadBuffer discarded;
  for (int report = 0; report < hidrawQueueLength; ++report) {
    if (retryInterrupted([&] { return ::read(fd, discarded.data(), discarded.size()); }) <= 0) {
      return;
    }
  }
}

enum class ReadOutcome { report, nothingYet, failed };

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
// error or hang-up (a device unplugged) ends the wait at once.
WaitResult awaitReport(int fd, SteadyTime::time_point deadline, Report& into) {
  if (fd < 0) return WaitResult::failed;
  for (;;) {
    pollfd node{fd, POLLIN, 0};
    const int ready = ::poll(&node, 1, millisecondsUntil(deadline));
    if (ready == 0) return WaitResult::timedOut;
    if (ready < 0 && errno != EINTR) return WaitResult::failed;
    if (ready > 0) {
      if (!(node.revents & POLLIN)) return WaitResult::failed;
      const ReadOutcome outcome = readReport(fd, into);
      if (outcome == ReadOutcome::report) return WaitResult::signalled;
      if (outcome == ReadOutcome::failed) return WaitResult::failed;
    }
    if (SteadyTime::now() >= deadline) return WaitResult::timedOut;
  }
}

}  // namespace

HidrawTransport::HidrawTransport(std::filesystem::path sysRoot, std::filesystem::path devRoot)
    : sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot)) {}

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

// Device handles never pass on to programs that the host starts, whatever
// the security record asks.
Handle HidrawTransport::openWriteHandle(const std::string& path, const SecurityAttributes&) {
  return open(path, O_WRONLY);
}

Handle HidrawTransport::openReadHandle(const std::string& path, const SecurityAttributes&) {
  return open(path, O_RDONLY | O_NONBLOCK);
}

Handle HidrawTransport::open(const std::string& path, int flags) {
  const int fd = retryInterrupted([&] { return ::open(path.c_str(), flags | O_CLOEXEC); });
  if (fd < 0) {
    noteFailure(path, errno);
    return invalidHandle;
  }
  std::lock_guard lock(mutex_);
  openPaths_[fd] = path;
  return fd;
}

std::optional<HidAttributes> HidrawTransport::attributes(Handle handle) {
  if (handle == invalidHandle) return std::nullopt;
  hidraw_devinfo info{};
  const int fd = static_cast<int>(handle);
  if (retryInterrupted([&] { return ::ioctl(fd, HIDIOCGRAWINFO, &info); }) < 0) {
    const int error = errno;
    std::unique_lock lock(mutex_);
    const auto found = openPaths_.find(handle);
    if (found == openPaths_.end()) return std::nullopt;
    const std::string path = found->second;
    lock.unlock();
    noteFailure(path, error);
    return std::nullopt;
  }
  return HidAttributes{static_cast<std::uint16_t>(info.vendor),
                       static_cast<std::uint16_t>(info.product), 0};
}

bool HidrawTransport::writeReport(Handle handle, const Report& report) {
  const int fd = static_cast<int>(handle);
  const ssize_t written =
      retryInterrupted([&] { return ::write(fd, report.data(), report.size()); });
  return written == static_cast<ssize_t>(kReportLength);
}

Handle HidrawTransport::createReadEvent(const SecurityAttributes&) {
  std::lock_guard lock(mutex_);
  const Handle event = nextEvent_++;
  events_[event] = ReadEvent{};
  return event;
}

void HidrawTransport::startRead(Handle handle, Report& into, ReadRecord& record) {
  std::lock_guard lock(mutex_);
  const auto found = events_.find(record.event);
  if (found == events_.end()) return;
  found->second.signalled = false;
  found->second.pending = PendingRead{handle, &into};
}

WaitResult HidrawTransport::waitForRead(Handle eventHandle, std::uint32_t milliseconds) {
  const auto deadline = SteadyTime::now() + std::chrono::milliseconds(milliseconds);
  std::unique_lock lock(mutex_);
  const auto found = events_.find(eventHandle);
  if (found == events_.end()) return WaitResult::failed;
  if (found->second.signalled) return WaitResult::signalled;
  if (!found->second.pending) return WaitResult::failed;
  const int fd = static_cast<int>(found->second.pending->handle);
  lock.unlock();
  Report received;
  const WaitResult result = awaitReport(fd, deadline, received);
  if (result == WaitResult::signalled) completeRead(eventHandle, received);
  return result;
}

void HidrawTransport::completeRead(Handle eventHandle, const Report& received) {
  std::lock_guard lock(mutex_);
  ReadEvent& event = events_.at(eventHandle);
  if (event.pending) *event.pending->into = received;
  event.pending.reset();
  event.signalled = true;
}

void HidrawTransport::resetReadEvent(Handle event) {
  std::lock_guard lock(mutex_);
  const auto found = events_.find(event);
  if (found != events_.end()) found->second.signalled = false;
}

void HidrawTransport::cancelRead(Handle handle) {
  std::lock_guard lock(mutex_);
  for (auto& [id, event] : events_) {
    if (event.pending && event.pending->handle == handle) event.pending.reset();
  }
}

void HidrawTransport::closeHandle(Handle handle) {
  if (handle == invalidHandle) return;
  cancelRead(handle);
  {
    std::lock_guard lock(mutex_);
    openPaths_.erase(handle);
  }
  ::close(static_cast<int>(handle));
}

std::string HidrawTransport::describeFailure(const std::string& path) {
  std::lock_guard lock(mutex_);
  const auto found = failures_.find(path);
  return found == failures_.end() ? std::string() : found->second;
}

void HidrawTransport::noteFailure(const std::string& path, int error) {
  std::string why = std::generic_category().message(error);
  if (const std::string identity = identityOf(path); !identity.empty()) {
    why += " (" + identity + ")";
  }
  std::lock_guard lock(mutex_);
  failures_[path] = std::move(why);
}

// What sysfs, which every user may read, says of the device behind a node,
// so that a node nobody may open can still be told to be a bridge or not.
std::string HidrawTransport::identityOf(const std::string& path) const {
  const auto name = std::filesystem::path(path).filename();
  std::ifstream uevent(sysRoot_ / "class" / "hidraw" / name / "device" / "uevent");
  std::string id;
  std::string product;
  for (std::string line; std::getline(uevent, line);) {
    if (line.starts_with("HID_ID=")) id = line.substr(7);
    if (line.starts_with("HID_NAME=")) product = line.substr(9);
  }
  if (id.empty()) return {};
  return "HID " + id + " \"" + product + "\"";
}

std::unique_ptr<Transport> makePlatformTransport() {
  return std::make_unique<HidrawTransport>("/sys", "/dev");
}

}  // namespace ksthid
