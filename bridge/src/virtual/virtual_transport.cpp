#include "virtual_transport.h"

#include <algorithm>
#include <stdexcept>

namespace ksthid {

VirtualTransport::VirtualTransport(Clock& clock, Microseconds reportInterval)
    : clock_(clock), reportInterval_(reportInterval) {}

VirtualBridge& VirtualTransport::addBridge(const std::string& path, FirmwareIdentity identity) {
  std::lock_guard lock(mutex_);
  Device& added = devices_[path];
  added.identity = {kBridgeVendorId, kBridgeProductId, 0x0100};
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

void VirtualTransport::unplug(const std::string& path) {
  std::lock_guard lock(mutex_);
  Device& gone = device(path);
  gone.plugged = false;
  gone.input.clear();
}

void VirtualTransport::unplugAfter(const std::string& path, int reports) {
  std::lock_guard lock(mutex_);
  device(path).reportsUntilUnplugged = reports;
}

// A board plugged in again enumerates behind every other device.
void VirtualTransport::plugIn(const std::string& path) {
  std::lock_guard lock(mutex_);
  device(path).plugged = true;
  std::erase(order_, path);
  order_.push_back(path);
}

void VirtualTransport::setAttributesUnreadable(const std::string& path, bool unreadable) {
  std::lock_guard lock(mutex_);
  device(path).attributesUnreadable = unreadable;
}

void VirtualTransport::setWritesFail(const std::string& path, bool fail) {
  std::lock_guard lock(mutex_);
  device(path).writesFail = fail;
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

int VirtualTransport::openHandles(const std::string& path) const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(handles_.begin(), handles_.end(),
                                        [&](const auto& entry) { return entry.second == path; }));
}

int VirtualTransport::pendingReads() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(events_.begin(), events_.end(),
                                        [](const auto& entry) { return entry.second.pending; }));
}

std::vector<std::string> VirtualTransport::enumerateHidPaths() {
  std::lock_guard lock(mutex_);
  std::vector<std::string> present;
  for (const std::string& path : order_) {
    if (devices_.at(path).plugged) present.push_back(path);
  }
  return present;
}

Handle VirtualTransport::openWriteHandle(const std::string& path, const SecurityAttributes&) {
  std::lock_guard lock(mutex_);
  return open(path);
}

Handle VirtualTransport::openReadHandle(const std::string& path, const SecurityAttributes&) {
  std::lock_guard lock(mutex_);
  return open(path);
}

std::optional<HidAttributes> VirtualTransport::attributes(Handle handle) {
  std::lock_guard lock(mutex_);
  const Device* found = deviceOf(handle);
  if (!found || !found->plugged || found->attributesUnreadable) return std::nullopt;
  return found->identity;
}

bool VirtualTransport::writeReport(Handle handle, const Report& report) {
  std::unique_lock lock(mutex_);
  Device* target = deviceOf(handle);
  if (!target || !target->plugged || target->writesFail) return false;
  const Microseconds sent = clock_.now() + reportInterval_;
  lock.unlock();
  clock_.sleepUntil(sent);
  lock.lock();
  // The board may have gone while the report was on its way.
  target = deviceOf(handle);
  if (!target || !target->plugged) return false;
  if (target->reportsUntilUnplugged && (*target->reportsUntilUnplugged)-- <= 0) {
    target->plugged = false;
    target->input.clear();
    return false;
  }
  record(Traffic::Direction::written, handles_.at(handle), report);
  if (!target->firmware) return true;
  const std::optional<Report> answer = target->firmware->handleRequest(report);
  if (answer && !target->silent) {
    target->input.push_back({sent + reportInterval_ + target->answerDelay, *answer});
  }
  return true;
}

Handle VirtualTransport::createReadEvent(const SecurityAttributes&) {
  std::lock_guard lock(mutex_);
  const Handle event = nextHandle_++;
  events_[event].signalled = true;
  return event;
}

void VirtualTransport::startRead(Handle handle, Report& into, ReadRecord& record) {
  std::lock_guard lock(mutex_);
  const auto found = events_.find(record.event);
  if (found == events_.end()) return;
  Event& event = found->second;
  event.signalled = false;
  event.pending.reset();
  const Device* source = deviceOf(handle);
  if (!source || !source->plugged) return;  // refused at once: nothing will signal
  event.pending = PendingRead{handle, &into};
  deliver(event, clock_.now());
}

WaitResult VirtualTransport::waitForRead(Handle eventHandle, std::uint32_t milliseconds) {
  std::unique_lock lock(mutex_);
  if (!events_.contains(eventHandle)) return WaitResult::failed;
  const Microseconds deadline = clock_.now() + std::chrono::milliseconds(milliseconds);
  Microseconds wakeUp = deadline;
  const Event& event = events_.at(eventHandle);
  if (event.signalled) return WaitResult::signalled;
  if (event.pending) {
    const Device* source = deviceOf(event.pending->handle);
    if (source && !source->input.empty()) wakeUp = std::min(deadline, source->input.front().time);
  }
  lock.unlock();
  clock_.sleepUntil(wakeUp);
  lock.lock();
  Event& woken = events_.at(eventHandle);
  return woken.signalled || deliver(woken, deadline) ? WaitResult::signalled : WaitResult::timedOut;
}

void VirtualTransport::resetReadEvent(Handle event) {
  std::lock_guard lock(mutex_);
  const auto found = events_.find(event);
  if (found != events_.end()) found->second.signalled = false;
}

void VirtualTransport::cancelRead(Handle handle) {
  std::lock_guard lock(mutex_);
  dropPendingReads(handle);
}

void VirtualTransport::closeHandle(Handle handle) {
  std::lock_guard lock(mutex_);
  dropPendingReads(handle);
  handles_.erase(handle);
}

void VirtualTransport::dropPendingReads(Handle handle) {
  for (auto& [id, event] : events_) {
    if (event.pending && event.pending->handle == handle) event.pending.reset();
  }
}

VirtualTransport::Device& VirtualTransport::device(const std::string& path) {
  const auto found = devices_.find(path);
  if (found == devices_.end()) throw std::invalid_argument("no virtual device " + path);
  return found->second;
}

VirtualTransport::Device* VirtualTransport::deviceOf(Handle handle) {
  const auto found = handles_.find(handle);
  return found == handles_.end() ? nullptr : &devices_.at(found->second);
}

Handle VirtualTransport::open(const std::string& path) {
  const auto found = devices_.find(path);
  if (found == devices_.end() || !found->second.plugged) return invalidHandle;
  const Handle handle = nextHandle_++;
  handles_[handle] = path;
  return handle;
}

// Completes the pending read with the first report that has arrived by
// `upTo`, if any.
bool VirtualTransport::deliver(Event& event, Microseconds upTo) {
  if (!event.pending) return false;
  Device* source = deviceOf(event.pending->handle);
  if (!source || source->input.empty() || source->input.front().time > upTo) return false;
  *event.pending->into = source->input.front().report;
  source->input.pop_front();
  record(Traffic::Direction::read, handles_.at(event.pending->handle), *event.pending->into);
  event.pending.reset();
  event.signalled = true;
  return true;
}

void VirtualTransport::record(Traffic::Direction direction, const std::string& path,
                              const Report& report) {
  if (recording_) traffic_.push_back({direction, path, report, clock_.now()});
}

}  // namespace ksthid
