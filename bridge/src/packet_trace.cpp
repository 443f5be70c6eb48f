#include "packet_trace.h"

#include <memory>

namespace ksthid {

std::unique_ptr<PacketTrace> PacketTrace::open(const std::string& file) {
  std::FILE* opened = std::fopen(file.c_str(), "a");
  if (!opened) return nullptr;
  return std::unique_ptr<PacketTrace>(new PacketTrace(opened));
}

PacketTrace::~PacketTrace() {
  std::fclose(file_);
}

void PacketTrace::report(char direction, const std::string& path, const Report& report) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * report.size());
  for (const std::uint8_t byte : report) {
    hex += digits[byte >> 4];
    hex += digits[byte & 0x0F];
  }
  line(std::string(1, direction) + " " + path + " " + hex);
}

void PacketTrace::failure(const std::string& path, const std::string& why) {
  line("E " + path + " " + why);
}

void PacketTrace::chip(const std::string& path, int dvr, int eeprom) {
  line("C " + path + " dvr=" + std::to_string(dvr) + " eeprom=" + std::to_string(eeprom));
}

void PacketTrace::line(const std::string& text) {
  const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - opened_);
  std::lock_guard lock(mutex_);
  std::fprintf(file_, "%lld %s\n", static_cast<long long>(elapsed.count()), text.c_str());
  std::fflush(file_);
}

Handle TracingTransport::openWriteHandle(const std::string& path,
                                         const SecurityAttributes& security) {
  return remember(traced_.openWriteHandle(path, security), path);
}

Handle TracingTransport::openReadHandle(const std::string& path,
                                        const SecurityAttributes& security) {
  return remember(traced_.openReadHandle(path, security), path);
}

Handle TracingTransport::remember(Handle handle, const std::string& path) {
  if (handle == invalidHandle) traceFailure(path, "cannot open");
  std::lock_guard lock(mutex_);
  paths_[handle] = path;
  return handle;
}

std::optional<HidAttributes> TracingTransport::attributes(Handle handle) {
  auto attributes = traced_.attributes(handle);
  // A handle that could not be opened has had its line already.
  if (!attributes && handle != invalidHandle) {
    traceFailure(pathOf(handle), "cannot identify");
  }
  return attributes;
}

bool TracingTransport::writeReport(Handle handle, const Report& report) {
  const bool written = traced_.writeReport(handle, report);
  if (written) trace_.report('W', pathOf(handle), report);
  return written;
}

void TracingTransport::startRead(Handle handle, Report& into, ReadRecord& record) {
  {
    std::lock_guard lock(mutex_);
    pendingByEvent_[record.event] = {paths_[handle], &into};
  }
  traced_.startRead(handle, into, record);
}

WaitResult TracingTransport::waitForRead(Handle event, std::uint32_t milliseconds) {
  const WaitResult result = traced_.waitForRead(event, milliseconds);
  std::lock_guard lock(mutex_);
  const auto pending = pendingByEvent_.find(event);
  if (pending == pendingByEvent_.end()) return result;
  if (result == WaitResult::signalled)
    trace_.report('R', pending->second.path, *pending->second.into);
  pendingByEvent_.erase(pending);
  return result;
}

void TracingTransport::traceFailure(const std::string& path, const std::string& what) {
  const std::string why = traced_.describeFailure(path);
  trace_.failure(path, why.empty() ? what : what + ": " + why);
}

void TracingTransport::closeHandle(Handle handle) {
  traced_.closeHandle(handle);
  std::lock_guard lock(mutex_);
  paths_.erase(handle);
}

std::string TracingTransport::pathOf(Handle handle) {
  std::lock_guard lock(mutex_);
  const auto found = paths_.find(handle);
  return found == paths_.end() ? std::string("?") : found->second;
}

}  // namespace ksthid
