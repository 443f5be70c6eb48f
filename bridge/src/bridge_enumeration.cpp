#include "bridge_enumeration.h"

#include "ksthid_api.h"

namespace ksthid {
namespace {

int openErrorCode(OpenFailure failure) {
  switch (failure) {
    case OpenFailure::accessDenied:
      return KSTHID_E_ACCESS;
    case OpenFailure::absent:
      return KSTHID_E_NOT_FOUND;
    case OpenFailure::other:
      break;
  }
  return KSTHID_E_IO;
}

// The entry of the device at `path`; empty for a device that is no bridge,
// or that could not be opened and may be none.
std::optional<BridgeEntry> entryOf(Transport& transport, const std::string& path) {
  const std::optional<HidDeviceInfo> described = transport.describe(path);
  if (described && !isBridge(described->attributes)) return std::nullopt;
  BridgeEntry entry;
  entry.path = path;
  if (described) {
    entry.serialNumber = described->serialNumber;
    entry.product = described->product;
    entry.attributes = described->attributes;
  }
  const std::unique_ptr<DeviceHandle> device = transport.open(path);
  if (!device) {
    if (!described) return std::nullopt;
    entry.error = openErrorCode(transport.failureKind(path));
    entry.errorText = "cannot open";
  } else if (const auto attributes = device->attributes()) {
    if (!isBridge(*attributes)) return std::nullopt;
    entry.attributes = *attributes;
    return entry;
  } else {
    if (!described) return std::nullopt;
    entry.error = KSTHID_E_IO;
    entry.errorText = "cannot identify";
  }
  if (const std::string why = transport.describeFailure(path); !why.empty()) {
    entry.errorText += ": " + why;
  }
  return entry;
}

}  // namespace

std::vector<BridgeEntry> findBridges(Transport& transport) {
  std::vector<BridgeEntry> bridges;
  for (const std::string& path : transport.enumerateHidPaths()) {
    if (auto entry = entryOf(transport, path)) bridges.push_back(std::move(*entry));
  }
  return bridges;
}

}  // namespace ksthid
