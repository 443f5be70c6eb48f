// The HID devices of a Linux system, through the hidraw driver: every HID
// interface has a node /dev/hidrawN, listed in /sys/class/hidraw.
#pragma once

#include <poll.h>

#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "../transport.h"

namespace ksthid {

class HidrawTransport final : public Transport {
 public:
  // How a read waits for its node: as poll(2) for one descriptor, or, in a
  // test, on a clock of its own.
  using NodeWait = std::function<int(pollfd& node, int milliseconds)>;
  static int pollNode(pollfd& node, int milliseconds);

  // The roots stand for /sys and /dev, so that a test can serve both from a
  // file system of its own.
  HidrawTransport(std::filesystem::path sysRoot, std::filesystem::path devRoot,
                  NodeWait waitForNode = pollNode);

  // The device nodes, hidraw0 before hidraw1 before hidraw10.
  std::vector<std::string> enumerateHidPaths() override;
  // Two descriptors, neither of which blocks: one for writes, which wait
  // for the node to take the report as a blocking write would, and one for
  // reads made only when the node has said that a report waits, so a wait
  // that ends empty takes nothing from the node. The board's lock across
  // processes is a flock(2) on the node, which the system lets go of with
  // the descriptor.
  std::unique_ptr<DeviceHandle> open(const std::string& path) override;
  std::string describeFailure(const std::string& path) override;
  OpenFailure failureKind(const std::string& path) override;
  // From the node's uevent in sysfs, which every user may read.
  std::optional<HidDeviceInfo> describe(const std::string& path) override;
  // Those of the kernel driver hid-ksthid.
  std::vector<ClaimedBridge> claimedBridges() override;

 private:
  class Node;

  int openDescriptor(const std::string& path, int flags);
  void noteFailure(const std::string& path, int error);
  std::string identityOf(const std::string& path) const;

  struct Failure {
    std::string why;
    OpenFailure kind;
  };

  const std::filesystem::path sysRoot_;
  const std::filesystem::path devRoot_;
  const NodeWait waitForNode_;
  std::mutex mutex_;
  std::map<std::string, Failure> failures_;
};

}  // namespace ksthid
