#include "bridge_enumeration.h"

#include <new>

#include "ksthid_api.h"

namespace ksthid {
namespace {

// An entry of a list of makeInfoList, and the strings it points to.
struct InfoNode : ksthid_board_info {
  BridgeEntry entry;
};

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
  for (ClaimedBridge& claimed : transport.claimedBridges()) {
    if (!isBridge(claimed.info.attributes)) continue;
    bridges.push_back({std::move(claimed.path), std::move(claimed.info.serialNumber),
                       std::move(claimed.info.product), claimed.info.attributes, KSTHID_E_CLAIMED,
                       std::move(claimed.why)});
  }
  return bridges;
}

ksthid_board_info* makeInfoList(std::vector<BridgeEntry> entries) {
  ksthid_board_info* first = nullptr;
  ksthid_board_info** link = &first;
  for (BridgeEntry& entry : entries) {
    auto* node = new (std::nothrow) InfoNode{{}, std::move(entry)};
    if (!node) {
      freeInfoList(first);
      return nullptr;
    }
    const BridgeEntry& kept = node->entry;
    static_cast<ksthid_board_info&>(*node) = {kept.path.c_str(),         kept.serialNumber.c_str(),
                                              kept.product.c_str(),      kept.attributes.vendorId,
                                              kept.attributes.productId, kept.error,
                                              kept.errorText.c_str(),    nullptr};
    *link = node;
    link = &node->next;
  }
  return first;
}

void freeInfoList(ksthid_board_info* list) {
  while (list) {
    ksthid_board_info* next = list->next;
    // Every entry is the base of the node that makeInfoList made for it.
    delete static_cast<InfoNode*>(list);
    list = next;
  }
}

}  // namespace ksthid
