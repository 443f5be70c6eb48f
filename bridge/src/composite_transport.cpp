#include "composite_transport.h"

namespace ksthid {

std::vector<std::string> CompositeTransport::enumerateHidPaths() {
  std::vector<std::string> all;
  std::map<std::string, std::size_t> partOfPath;
  for (std::size_t part = 0; part < parts_.size(); ++part) {
    for (std::string& path : parts_[part]->enumerateHidPaths()) {
      partOfPath.emplace(path, part);
      all.push_back(std::move(path));
    }
  }
  std::lock_guard lock(mutex_);
  partOfPath_ = std::move(partOfPath);
  return all;
}

template <typename Open>
Handle CompositeTransport::open(const std::string& path, Open openInPart) {
  std::unique_lock lock(mutex_);
  const auto found = partOfPath_.find(path);
  if (found == partOfPath_.end()) return invalidHandle;
  const std::size_t part = found->second;
  lock.unlock();
  const Handle opened = openInPart(*parts_[part]);
  if (opened == invalidHandle) return invalidHandle;
  lock.lock();
  const Handle handle = nextHandle_++;
  handles_[handle] = {part, opened};
  return handle;
}

Handle CompositeTransport::openWriteHandle(const std::string& path,
                                           const SecurityAttributes& security) {
  return open(path, [&](Transport& part) { return part.openWriteHandle(path, security); });
}

Handle CompositeTransport::openReadHandle(const std::string& path,
                                          const SecurityAttributes& security) {
  return open(path, [&](Transport& part) { return part.openReadHandle(path, security); });
}

std::optional<HidAttributes> CompositeTransport::attributes(Handle handle) {
  const auto routed = find(handle);
  if (!routed) return std::nullopt;
  return parts_[routed->part]->attributes(routed->handle);
}

bool CompositeTransport::writeReport(Handle handle, const Report& report) {
  const auto routed = find(handle);
  return routed && parts_[routed->part]->writeReport(routed->handle, report);
}

Handle CompositeTransport::createReadEvent(const SecurityAttributes& security) {
  PartEvents created;
  for (Transport* part : parts_) {
    ReadRecord record;
    record.event = part->createReadEvent(security);
    created.records.push_back(record);
  }
  std::lock_guard lock(mutex_);
  const Handle event = nextHandle_++;
  events_[event] = std::move(created);
  return event;
}

void CompositeTransport::startRead(Handle handle, Report& into, ReadRecord& record) {
  const auto routed = find(handle);
  std::unique_lock lock(mutex_);
  const auto events = events_.find(record.event);
  if (!routed || events == events_.end()) return;
  events->second.reading = routed->part;
  ReadRecord& partRecord = events->second.records[routed->part];
  lock.unlock();
  parts_[routed->part]->startRead(routed->handle, into, partRecord);
}

WaitResult CompositeTransport::waitForRead(Handle event, std::uint32_t milliseconds) {
  std::unique_lock lock(mutex_);
  const auto events = events_.find(event);
  if (events == events_.end()) return WaitResult::failed;
  if (!events->second.reading) {
    // No read could be started: wait out the time as for a silent device.
    lock.unlock();
    return parts_.front()->waitForRead(events->second.records.front().event, milliseconds);
  }
  const std::size_t part = *events->second.reading;
  const Handle partEvent = events->second.records[part].event;
  lock.unlock();
  return parts_[part]->waitForRead(partEvent, milliseconds);
}

void CompositeTransport::resetReadEvent(Handle event) {
  std::unique_lock lock(mutex_);
  const auto events = events_.find(event);
  if (events == events_.end()) return;
  const std::vector<ReadRecord> records = events->second.records;
  events->second.reading.reset();
  lock.unlock();
  for (std::size_t part = 0; part < parts_.size(); ++part) {
    parts_[part]->resetReadEvent(records[part].event);
  }
}

void CompositeTransport::cancelRead(Handle handle) {
  if (const auto routed = find(handle)) parts_[routed->part]->cancelRead(routed->handle);
}

void CompositeTransport::closeHandle(Handle handle) {
  const auto routed = find(handle);
  if (!routed) return;
  parts_[routed->part]->closeHandle(routed->handle);
  std::lock_guard lock(mutex_);
  handles_.erase(handle);
}

std::string CompositeTransport::describeFailure(const std::string& path) {
  std::unique_lock lock(mutex_);
  const auto found = partOfPath_.find(path);
  if (found == partOfPath_.end()) return {};
  const std::size_t part = found->second;
  lock.unlock();
  return parts_[part]->describeFailure(path);
}

std::optional<CompositeTransport::PartHandle> CompositeTransport::find(Handle handle) {
  std::lock_guard lock(mutex_);
  const auto found = handles_.find(handle);
  if (found == handles_.end()) return std::nullopt;
  return found->second;
}

}  // namespace ksthid
