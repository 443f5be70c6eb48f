// What the library needs of the platform to find boards and exchange reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol.h"

namespace ksthid {

// A platform handle: a file handle, or the event that signals a read.
using Handle = std::intptr_t;
inline constexpr Handle invalidHandle = -1;

// Laid out like the platform's security-attributes record.
struct SecurityAttributes {
  std::uint32_t length = 0;
  void* descriptor = nullptr;
  std::int32_t inherit = 0;
};

// Laid out like the platform's overlapped-I/O record, so that a transport
// built on overlapped reads can hand it to the platform as it is.
struct ReadRecord {
  std::uintptr_t internal = 0;
  std::uintptr_t internalHigh = 0;
  std::uint32_t offset = 0;
  std::uint32_t offsetHigh = 0;
  Handle event = 0;
};

struct HidAttributes {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t versionNumber = 0;
};

enum class WaitResult { signalled, timedOut, failed };

class Transport {
 public:
  virtual ~Transport() = default;

  // Device-interface paths of every HID interface present, in the
  // platform's enumeration order.
  virtual std::vector<std::string> enumerateHidPaths() = 0;
  // Opens a path for blocking writes; invalidHandle when it cannot.
  virtual Handle openWriteHandle(const std::string& path, const SecurityAttributes& security) = 0;
  // Opens a path for reads that are started, waited for and cancelled.
  virtual Handle openReadHandle(const std::string& path, const SecurityAttributes& security) = 0;
  virtual std::optional<HidAttributes> attributes(Handle handle) = 0;
  // Writes one whole report; false when it did not leave the host.
  virtual bool writeReport(Handle handle, const Report& report) = 0;
  // A manual-reset event that signals the completion of a started read.
  virtual Handle createReadEvent(const SecurityAttributes& security) = 0;
  // Starts reading one report into `into`; completion signals record.event.
  // The read may complete at any time until it is waited for or cancelled,
  // so `into` must stay untouched until then.
  virtual void startRead(Handle handle, Report& into, ReadRecord& record) = 0;
  virtual WaitResult waitForRead(Handle event, std::uint32_t milliseconds) = 0;
  virtual void resetReadEvent(Handle event) = 0;
  // Cancels the read pending on a handle, if any; no report is lost by it.
  virtual void cancelRead(Handle handle) = 0;
  virtual void closeHandle(Handle handle) = 0;
  // Why the last attempt to open or identify the device at `path` failed, in
  // words for the packet trace; empty when the transport cannot tell.
  virtual std::string describeFailure(const std::string& /*path*/) { return {}; }
};

}  // namespace ksthid
