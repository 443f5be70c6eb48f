// What the library needs of the platform to find boards and exchange reports:
// the HID paths present, and for each board opened a handle that writes one
// report and reads one report within a bounded time.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol.h"

namespace ksthid {

struct HidAttributes {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t versionNumber = 0;
};

inline bool isBridge(const HidAttributes& attributes) {
  return attributes.vendorId == kBridgeVendorId && attributes.productId == kBridgeProductId;
}

// What the platform tells of a device without talking to it: its USB
// identity and strings.
struct HidDeviceInfo {
  HidAttributes attributes;
  std::string serialNumber;
  std::string product;
};

// A bridge that a driver of the system drives in the library's place: it is
// listed, with why and how to get it back, and never opened.
struct ClaimedBridge {
  std::string path;
  HidDeviceInfo info;
  std::string why;
};

// Why a device could not be opened.
enum class OpenFailure { other, accessDenied, absent };

enum class ReadResult { report, timedOut, failed };

// One opened HID device with whatever its platform needs to talk to it.
// Destroying it closes the device.
class DeviceHandle {
 public:
  virtual ~DeviceHandle() = default;

  virtual std::optional<HidAttributes> attributes() = 0;
  // Writes one whole report and returns once it has left the host; false when
  // it did not.
  virtual bool write(const Report& report) = 0;
  // Reads one report, waiting at most `wait` for it. `into` is changed only
  // when a report is returned. No read is left pending when this returns, so
  // a report that comes later is kept for the next read.
  virtual ReadResult read(Report& into, std::chrono::milliseconds wait) = 0;
  // True once the device has been pulled out: this handle will never reach
  // it again, even when it comes back.
  virtual bool gone() { return false; }

  // The device's lock across processes: answers carry nothing that names
  // their request, so a request and its answer must not have another
  // program's request between them. Taken through one handle at a time in a
  // process; with `wait` false it returns false at once when another holds
  // it, otherwise it returns once taken, however long that takes. The system
  // lets go of it when the process ends. Devices only this process can reach
  // need none.
  virtual bool lockDevice(bool /*wait*/) { return true; }
  virtual void unlockDevice() {}
  // Drops, without waiting, every report that has come and not been read:
  // answers to other programs, answers that came late.
  virtual void discardQueued() {
    Report stale;
    for (int report = 0; report < kMaxQueuedReports &&
                         read(stale, std::chrono::milliseconds(0)) == ReadResult::report;
         ++report) {
    }
  }

  // As many reports as a platform queues for a device.
  static constexpr int kMaxQueuedReports = 64;
};

class Transport {
 public:
  virtual ~Transport() = default;

  // Device-interface paths of every HID interface present, in the
  // platform's enumeration order.
  virtual std::vector<std::string> enumerateHidPaths() = 0;
  // Null when the device cannot be opened.
  virtual std::unique_ptr<DeviceHandle> open(const std::string& path) = 0;
  // Why the last attempt to open or identify the device at `path` failed, in
  // words for the packet trace; empty when the transport cannot tell.
  virtual std::string describeFailure(const std::string& /*path*/) { return {}; }
  // The kind of that failure.
  virtual OpenFailure failureKind(const std::string& /*path*/) { return OpenFailure::other; }
  // Empty when the platform cannot tell without opening the device, or the
  // device is not present.
  virtual std::optional<HidDeviceInfo> describe(const std::string& /*path*/) { return {}; }
  // The bridges that a driver of the system has claimed, which have no place
  // among the HID paths: nothing here can open them.
  virtual std::vector<ClaimedBridge> claimedBridges() { return {}; }
};

// The HID devices of the platform the library runs on.
std::unique_ptr<Transport> makePlatformTransport();

}  // namespace ksthid
