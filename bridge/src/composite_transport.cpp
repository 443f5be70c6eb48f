#include "composite_transport.h"

namespace ksthid {

std::vector<std::string> CompositeTransport::enumerateHidPaths() {
  std::vector<std::string> all;
  std::map<std::string, Transport*> partOfPath;
  for (Transport* part : parts_) {
    for (std::string& path : part->enumerateHidPaths()) {
      partOfPath.emplace(path, part);
      all.push_back(std::move(path));
    }
  }
  std::lock_guard lock(mutex_);
  partOfPath_ = std::move(partOfPath);
  return all;
}

std::unique_ptr<DeviceHandle> CompositeTransport::open(const std::string& path) {
  Transport* part = partOf(path);
  return part ? part->open(path) : nullptr;
}

std::string CompositeTransport::describeFailure(const std::string& path) {
  Transport* part = partOf(path);
  return part ? part->describeFailure(path) : std::string();
}

OpenFailure CompositeTransport::failureKind(const std::string& path) {
  Transport* part = partOf(path);
  return part ? part->failureKind(path) : OpenFailure::absent;
}

std::optional<HidDeviceInfo> CompositeTransport::describe(const std::string& path) {
  Transport* part = partOf(path);
  return part ? part->describe(path) : std::nullopt;
}

std::vector<ClaimedBridge> CompositeTransport::claimedBridges() {
  std::vector<ClaimedBridge> all;
  for (Transport* part : parts_) {
    for (ClaimedBridge& bridge : part->claimedBridges()) all.push_back(std::move(bridge));
  }
  return all;
}

Transport* CompositeTransport::partOf(const std::string& path) {
  std::lock_guard lock(mutex_);
  const auto found = partOfPath_.find(path);
  return found == partOfPath_.end() ? nullptr : found->second;
}

}  // namespace ksthid
