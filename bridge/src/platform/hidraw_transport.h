// The HID devices of a Linux system, through the hidraw driver: every HID
// interface has a node /dev/hidrawN, listed in /sys/class/hidraw.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "../transport.h"

namespace ksthid {

class HidrawTransport final : public Transport {
 public:
  // The roots stand for /sys and /dev, so that a test can serve both from a
  // file system of its own.
  HidrawTransport(std::filesystem::path sysRoot, std::filesystem::path devRoot);

  // The device nodes, hidraw0 before hidraw1 before hidraw10.
  std::vector<std::string> enumerateHidPaths() override;
  // Blocking writes; file descriptors are the handles.
  Handle openWriteHandle(const std::string& path, const SecurityAttributes& security) override;
  // Non-blocking reads, made only when the node has said that a report waits.
  Handle openReadHandle(const std::string& path, const SecurityAttributes& security) override;
  // Vendor and product from HIDIOCGRAWINFO, which carries no version number.
  std::optional<HidAttributes> attributes(Handle handle) override;
  bool writeReport(Handle handle, const Report& report) override;
  Handle createReadEvent(const SecurityAttributes& security) override;
  // The read is made while it is waited for, so nothing is read that the wait
  // does not deliver, and a cancel loses no report.
  void startRead(Handle handle, Report& into, ReadRecord& record) override;
  WaitResult waitForRead(Handle event, std::uint32_t milliseconds) override;
  void resetReadEvent(Handle event) override;
  void cancelRead(Handle handle) override;
  void closeHandle(Handle handle) override;
  std::string describeFailure(const std::string& path) override;

 private:
  struct PendingRead {
    Handle handle;
    Report* into;
  };
  struct ReadEvent {
    bool signalled = true;
    std::optional<PendingRead> pending;
  };

  Handle open(const std::string& path, int flags);
  void noteFailure(const std::string& path, int error);
  std::string identityOf(const std::string& path) const;
  void completeRead(Handle event, const Report& received);

  const std::filesystem::path sysRoot_;
  const std::filesystem::path devRoot_;
  std::mutex mutex_;
  std::map<Handle, std::string> openPaths_;
  std::map<std::string, std::string> failures_;
  std::map<Handle, ReadEvent> events_;
  Handle nextEvent_ = 1;
};

}  // namespace ksthid
