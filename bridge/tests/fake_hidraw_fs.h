// HID devices served through the kernel by FUSE from inside the test
// process: a sysfs tree (sys/class/hidraw/hidrawN/device/uevent) and device
// nodes (dev/hidrawN) whose writes, reads, poll and HIDIOCGRAWINFO answer as
// the hidraw driver does, with the virtual bridge firmware behind a bridge;
// beside them, any other files and folders a test adds.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fake_file_tree.h"
#include "transport.h"
#include "virtual/virtual_bridge.h"

struct fuse;
struct fuse_pollhandle;

namespace ksthid::testing {

struct FakeHidDevice {
  HidAttributes identity;
  std::string product;
  // Null for a HID device that is no bridge.
  std::unique_ptr<VirtualBridge> firmware;
  bool present = true;

  // Faults.
  bool silent = false;
  // Answers cut or padded to this many bytes.
  std::optional<std::size_t> answerLength;
  // errno values with which open and HIDIOCGRAWINFO fail; 0 for none.
  int openError = 0;
  int identifyError = 0;
  // So many of the next writes or reads fail with EINTR.
  int interruptedWrites = 0;
  int interruptedReads = 0;
  // Unplugged while the next report is on its way.
  bool vanishOnWrite = false;

  // Input reports waiting to be read, and every report written.
  std::deque<std::vector<std::uint8_t>> input;
  std::vector<Report> written;
};

class FakeHidrawFs {
 public:
  // Mounts at a new temporary folder; throws when it cannot.
  FakeHidrawFs();
  ~FakeHidrawFs();
  FakeHidrawFs(const FakeHidrawFs&) = delete;
  FakeHidrawFs& operator=(const FakeHidrawFs&) = delete;

  std::filesystem::path mountPoint() const { return mountPoint_; }
  std::filesystem::path sysRoot() const { return mountPoint_ / "sys"; }
  std::filesystem::path devRoot() const { return mountPoint_ / "dev"; }
  std::string node(const std::string& name) const { return (devRoot() / name).string(); }

  VirtualBridge& addBridge(const std::string& name);
  void addOtherDevice(const std::string& name, HidAttributes identity);
  // A file below the mount point ("sys/bus/hid/..."), and the folders above
  // it; a folder for no text.
  void addFile(const std::string& path, std::optional<std::string> text);
  // Changes a device as the server sees it, and wakes whoever polls it.
  void change(const std::string& name, const std::function<void(FakeHidDevice&)>& edit);
  // Input of any length, as a device that does not keep to its reports sends.
  void queueInput(const std::string& name, std::vector<std::uint8_t> bytes);
  void queueReport(const std::string& name, const Report& report);
  std::vector<Report> writtenTo(const std::string& name) const;

 private:
  struct Server;
  struct OpenNode {
    std::string device;
    fuse_pollhandle* poller = nullptr;
  };

  void serve();
  void wakePollers(const std::string& device);

  std::filesystem::path mountPoint_;
  fuse* fuse_ = nullptr;
  int stop_ = -1;
  std::thread server_;
  mutable std::mutex mutex_;
  std::map<std::string, FakeHidDevice> devices_;
  FakeFileTree tree_;
  std::map<std::uint64_t, OpenNode> open_;
  std::uint64_t nextOpen_ = 1;
};

}  // namespace ksthid::testing
