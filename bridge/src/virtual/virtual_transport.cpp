#include "virtual_transport.h"

#include <algorithm>
#include <stdexcept>

#include "../hotplug_signal.h"

namespace ksthid {

VirtualTransport::VirtualTransport(Clock& clock, Microseconds reportInterval)
    : clock_(clock), reportInterval_(reportInterval) {}

VirtualBridge& VirtualTransport::addBridge(const std::string& path, FirmwareIdentity identity) {
  std::lock_guard lock(mutex_);
  Device& added = devices_[path];
  added.identity = {kBridgeVendorId, kBridgeProductId, 0x0100};
  // Distinct for every bridge of the process, as a serial number is.
  added.serialNumber = "VB" + std::to_string(100000 + devices_.size());
  added.firmware = std::make_unique<VirtualBridge>(identity);
  order_.push_back(path);
  return *added.firmware;
}

void VirtualTransport::addOtherDevice(const std::string& path, HidAttributes attributes) {
  std::lock_guard lock(mutex_);
  devices_[path].identity = attributes;
  order_.push_back(path);
}

VirtualBridge& VirtualTransport::bridge(const std::string& path) {
  std::lock_guard lock(mutex_);
  Device& found = device(path);
  if (!found.firmware) throw std::invalid_argument("not a virtual bridge: " + path);
  return *found.firmware;
}

bool VirtualTransport::has(const std::string& path) const {
  std::lock_guard lock(mutex_);
  return devices_.contains(path);
}

void VirtualTransport::unplug(const std::string& path) {
  {
    std::lock_guard lock(mutex_);
    pullOut(device(path));
  }
  signalDevicesChanged(path, false);
}

void VirtualTransport::pullOut(Device& device) {
  device.plugged = false;
  ++device.plugging;
  device.input.clear();
}

void VirtualTransport::unplugAfter(const std::string& path, int reports) {
  std::lock_guard lock(mutex_);
  device(path).reportsUntilUnplugged = reports;
}

// A board plugged in again enumerates behind every other device.
void VirtualTransport::plugIn(const std::string& path) {
  {
    std::lock_guard lock(mutex_);
    device(path).plugged = true;
    std::erase(order_, path);
    order_.push_back(path);
  }
  signalDevicesChanged(path, true);
}

void VirtualTransport::setSerialNumber(const std::string& path, std::string serialNumber) {
  std::lock_guard lock(mutex_);
  device(path).serialNumber = std::move(serialNumber);
}

void VirtualTransport::setAttributesUnreadable(const std::string& path, bool unreadable) {
  std::lock_guard lock(mutex_);
  device(path).attributesUnreadable = unreadable;
}

void VirtualTransport::setWritesFail(const std::string& path, bool fail) {
  std::lock_guard lock(mutex_);
  device(path).writesFail = fail;
}

void VirtualTransport::failWrites(const std::string& path, int reports) {
  std::lock_guard lock(mutex_);
  device(path).writesLeftToFail = reports;
}

void VirtualTransport::setSilent(const std::string& path, bool silent) {
  std::lock_guard lock(mutex_);
  device(path).silent = silent;
}

void VirtualTransport::setAnswerDelay(const std::string& path, Microseconds delay) {
  std::lock_guard lock(mutex_);
  device(path).answerDelay = delay;
}

void VirtualTransport::sendUnsolicited(const std::string& path, const Report& report) {
  std::lock_guard lock(mutex_);
  device(path).input.push_back({clock_.now(), report});
}

void VirtualTransport::recordTraffic(bool on) {
  std::lock_guard lock(mutex_);
  recording_ = on;
}

std::vector<Traffic> VirtualTransport::traffic() const {
  std::lock_guard lock(mutex_);
  return traffic_;
}

std::vector<Report> VirtualTransport::writtenTo(const std::string& path) const {
  std::lock_guard lock(mutex_);
  std::vector<Report> written;
  for (const Traffic& entry : traffic_) {
    if (entry.direction == Traffic::Direction::written && entry.path == path) {
      written.push_back(entry.report);
    }
  }
  return written;
}

void VirtualTransport::clearTraffic() {
  std::lock_guard lock(mutex_);
  traffic_.clear();
}

int VirtualTransport::openDevices(const std::string& path) const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(
      std::count_if(openDevices_.begin(), openDevices_.end(),
                    [&](const auto& entry) { return entry.second.path == path; }));
}

std::vector<std::string> VirtualTransport::enumerateHidPaths() {
  std::lock_guard lock(mutex_);
  std::vector<std::string> present;
  for (const std::string& path : order_) {
    if (devices_.at(path).plugged) present.push_back(path);
  }
  return present;
}

class VirtualTransport::OpenDevice final : public DeviceHandle {
 public:
  OpenDevice(VirtualTransport& transport, DeviceId id) : transport_(transport), id_(id) {}
  ~OpenDevice() override { transport_.close(id_); }

  std::optional<HidAttributes> attributes() override { return transport_.attributes(id_); }
  bool write(const Report& report) override { return transport_.write(id_, report); }
  ReadResult read(Report& into, std::chrono::milliseconds wait) override {
    return transport_.read(id_, into, wait);
  }
  bool gone() override { return transport_.gone(id_); }

 private:
  VirtualTransport& transport_;
  const DeviceId id_;
};

std::unique_ptr<DeviceHandle> VirtualTransport::open(const std::string& path) {
  std::lock_guard lock(mutex_);
  const auto found = devices_.find(path);
  if (found == devices_.end() || !found->second.plugged) return nullptr;
  const DeviceId id = nextId_++;
  openDevices_[id] = {path, found->second.plugging};
  return std::make_unique<OpenDevice>(*this, id);
}

OpenFailure VirtualTransport::failureKind(const std::string& /*path*/) {
  return OpenFailure::absent;
}

std::optional<HidDeviceInfo> VirtualTransport::describe(const std::string& path) {
  std::lock_guard lock(mutex_);
  const auto found = devices_.find(path);
  if (found == devices_.end() || !found->second.plugged) return std::nullopt;
  const Device& described = found->second;
  return HidDeviceInfo{described.identity, described.serialNumber,
                       described.firmware ? "ksthid virtual bridge" : "virtual HID device"};
}

bool VirtualTransport::gone(DeviceId id) {
  std::lock_guard lock(mutex_);
  const Device* device = deviceOf(id);
  return !device || !device->plugged;
}

std::optional<HidAttributes> VirtualTransport::attributes(DeviceId id) {
  std::lock_guard lock(mutex_);
  const Device* found = deviceOf(id);
  if (!found || !found->plugged || found->attributesUnreadable) return std::nullopt;
  return found->identity;
}

bool VirtualTransport::write(DeviceId id, const Report& report) {
  std::unique_lock lock(mutex_);
  Device* target = deviceOf(id);
  if (!target || !target->plugged || target->writesFail) return false;
  if (target->writesLeftToFail > 0) {
    --target->writesLeftToFail;
    return false;
  }
  const Microseconds sent = nextFrame(*target);
  target->lastFrame = sent;
  lock.unlock();
  clock_.sleepUntil(sent);
  lock.lock();
  // The board may have gone while the report was on its way.
  target = deviceOf(id);
  if (!target || !target->plugged) return false;
  if (target->reportsUntilUnplugged && (*target->reportsUntilUnplugged)-- <= 0) {
    pullOut(*target);
    const std::string path = openDevices_.at(id).path;
    lock.unlock();
    signalDevicesChanged(path, false);
    return false;
  }
  record(Traffic::Direction::written, openDevices_.at(id).path, report);
  if (!target->firmware) return true;
  const std::optional<Report> answer = target->firmware->handleRequest(report);
  if (answer && !target->silent) {
    target->input.push_back({sent + reportInterval_ + target->answerDelay, *answer});
  }
  return true;
}

// Takes the first report that has arrived by the end of the wait, sleeping
// until it arrives. A board that is gone lets the wait run out, as a read
// the platform refuses does.
ReadResult VirtualTransport::read(DeviceId id, Report& into, std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  const Microseconds deadline = clock_.now() + wait;
  Microseconds wakeUp = deadline;
  if (const Device* source = deviceOf(id); source && source->plugged && !source->input.empty()) {
    wakeUp = std::min(deadline, source->input.front().time);
  }
  lock.unlock();
  clock_.sleepUntil(wakeUp);
  lock.lock();
  Device* source = deviceOf(id);
  if (!source || !source->plugged || source->input.empty() ||
      source->input.front().time > deadline) {
    return ReadResult::timedOut;
  }
  into = source->input.front().report;
  source->input.pop_front();
  record(Traffic::Direction::read, openDevices_.at(id).path, into);
  return ReadResult::report;
}

// Frames start every report interval from the clock's zero; a report goes
// out at the end of the frame it was written in, and one endpoint carries
// one report a frame.
Microseconds VirtualTransport::nextFrame(const Device& device) const {
  if (reportInterval_.count() == 0) return clock_.now();
  const Microseconds frameEnd = (clock_.now() / reportInterval_ + 1) * reportInterval_;
  return std::max(frameEnd, device.lastFrame + reportInterval_);
}

void VirtualTransport::close(DeviceId id) {
  std::lock_guard lock(mutex_);
  openDevices_.erase(id);
}

VirtualTransport::Device& VirtualTransport::device(const std::string& path) {
  const auto found = devices_.find(path);
  if (found == devices_.end()) throw std::invalid_argument("no virtual device " + path);
  return found->second;
}

// Null for a handle whose device has been pulled out since it was opened.
VirtualTransport::Device* VirtualTransport::deviceOf(DeviceId id) {
  const auto found = openDevices_.find(id);
  if (found == openDevices_.end()) return nullptr;
  Device& opened = devices_.at(found->second.path);
  return opened.plugging == found->second.plugging ? &opened : nullptr;
}

void VirtualTransport::record(Traffic::Direction direction, const std::string& path,
                              const Report& report) {
  if (recording_) traffic_.push_back({direction, path, report, clock_.now()});
}

}  // namespace ksthid
