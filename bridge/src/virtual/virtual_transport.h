// HID devices that exist only in this process: virtual bridge boards and
// other HID devices, with the faults that real ones show.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "../transport.h"
#include "clock.h"
#include "virtual_bridge.h"

namespace ksthid {

struct Traffic {
  enum class Direction { written, read };
  Direction direction;
  std::string path;
  Report report;
  Microseconds time;
};

class VirtualTransport final : public Transport {
 public:
  // One report goes out each `reportInterval`, at the end of a frame, as on
  // a full-speed USB interrupt endpoint.
  explicit VirtualTransport(Clock& clock, Microseconds reportInterval = Microseconds(1000));

  VirtualBridge& addBridge(const std::string& path, FirmwareIdentity identity = {});
  void addOtherDevice(const std::string& path, HidAttributes attributes);
  VirtualBridge& bridge(const std::string& path);
  bool has(const std::string& path) const;

  // Faults.
  void unplug(const std::string& path);
  // The board is pulled out once it has taken `reports` more reports.
  void unplugAfter(const std::string& path, int reports);
  void plugIn(const std::string& path);
  // A board keeps its serial number wherever it is plugged in.
  void setSerialNumber(const std::string& path, std::string serialNumber);
  void setAttributesUnreadable(const std::string& path, bool unreadable);
  void setWritesFail(const std::string& path, bool fail);
  // The next `reports` writes to the board fail, as writes to a stalled endpoint do; later ones
  // go through.
  void failWrites(const std::string& path, int reports);
  void setSilent(const std::string& path, bool silent);
  void setAnswerDelay(const std::string& path, Microseconds delay);
  void sendUnsolicited(const std::string& path, const Report& report);

  // What went over the wire since recording was switched on.
  void recordTraffic(bool on);
  std::vector<Traffic> traffic() const;
  std::vector<Report> writtenTo(const std::string& path) const;
  void clearTraffic();
  int openDevices(const std::string& path) const;

  std::vector<std::string> enumerateHidPaths() override;
  std::unique_ptr<DeviceHandle> open(const std::string& path) override;
  OpenFailure failureKind(const std::string& path) override;
  std::optional<HidDeviceInfo> describe(const std::string& path) override;

 private:
  class OpenDevice;
  using DeviceId = int;

  struct Arrival {
    Microseconds time;
    Report report;
  };
  struct Device {
    HidAttributes identity;
    std::string serialNumber;
    // Counts the unplugs: a handle opened before the last one is dead.
    int plugging = 0;
    std::unique_ptr<VirtualBridge> firmware;
    bool plugged = true;
    bool attributesUnreadable = false;
    bool writesFail = false;
    int writesLeftToFail = 0;
    bool silent = false;
    std::optional<int> reportsUntilUnplugged;
    Microseconds answerDelay{0};
    // When the last report written went out.
    Microseconds lastFrame{-1000000};
    std::deque<Arrival> input;
  };

  Device& device(const std::string& path);
  Device* deviceOf(DeviceId id);
  std::optional<HidAttributes> attributes(DeviceId id);
  bool write(DeviceId id, const Report& report);
  ReadResult read(DeviceId id, Report& into, std::chrono::milliseconds wait);
  bool gone(DeviceId id);
  Microseconds nextFrame(const Device& device) const;
  void pullOut(Device& device);
  void close(DeviceId id);
  void record(Traffic::Direction direction, const std::string& path, const Report& report);

  Clock& clock_;
  const Microseconds reportInterval_;
  mutable std::mutex mutex_;
  std::vector<std::string> order_;
  std::map<std::string, Device> devices_;
  struct Opened {
    std::string path;
    int plugging;
  };
  std::map<DeviceId, Opened> openDevices_;
  DeviceId nextId_ = 1;
  bool recording_ = false;
  std::vector<Traffic> traffic_;
};

}  // namespace ksthid
