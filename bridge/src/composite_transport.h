// Several transports seen as one: the devices of each, in turn.
#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "transport.h"

namespace ksthid {

class CompositeTransport final : public Transport {
 public:
  explicit CompositeTransport(std::vector<Transport*> parts) : parts_(std::move(parts)) {}

  std::vector<std::string> enumerateHidPaths() override;
  std::unique_ptr<DeviceHandle> open(const std::string& path) override;
  std::string describeFailure(const std::string& path) override;
  OpenFailure failureKind(const std::string& path) override;
  std::optional<HidDeviceInfo> describe(const std::string& path) override;
  std::vector<ClaimedBridge> claimedBridges() override;

 private:
  // The part that listed the path in the last enumeration; null for none.
  Transport* partOf(const std::string& path);

  std::vector<Transport*> parts_;
  std::mutex mutex_;
  std::map<std::string, Transport*> partOfPath_;
};

}  // namespace ksthid
