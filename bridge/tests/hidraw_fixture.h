// The hidraw transport against device nodes that the kernel serves from a
// FUSE file system, with the library on top.
#pragma once

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fake_hidraw_fs.h"
#include "library_fixture.h"
#include "packet_trace.h"
#include "platform/hidraw_transport.h"

namespace ksthid::testing {

// The bridge's answer to an LED query: the LED bits in byte 2.
inline Report ledAnswer(std::uint8_t leds) {
  return request({kCommandLeds, leds});
}

class HidrawTransportTest : public LibraryTest {
 protected:
  void SetUp() override {
    if (::access("/dev/fuse", F_OK) != 0) {
      GTEST_SKIP() << "/dev/fuse is missing: the hidraw transport is tested only where FUSE "
                      "can serve device nodes";
    }
    LibraryTest::SetUp();
    fs = std::make_unique<FakeHidrawFs>();
    hidraw = std::make_unique<HidrawTransport>(
        fs->sysRoot(), fs->devRoot(),
        [this](pollfd& node, int milliseconds) { return waitForNode(node, milliseconds); });
    useTransport(hidraw.get());
  }

  void TearDown() override {
    if (!fs) return;
    device.reset();
    kstHID_closeHandles();
    LibraryTest::TearDown();
  }

  void openDevice(const std::string& name) {
    device = hidraw->open(fs->node(name));
    ASSERT_NE(device, nullptr);
  }

  ReadResult read(std::chrono::milliseconds wait) { return device->read(received, wait); }

  std::vector<std::string> nodes(std::initializer_list<const char*> names) const {
    std::vector<std::string> paths;
    for (const char* name : names) paths.push_back(fs->node(name));
    return paths;
  }

  // The device nodes this process has open, once per handle, in order.
  std::vector<std::string> openNodes() const {
    std::vector<std::string> open;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
      std::error_code error;
      const auto target = std::filesystem::read_symlink(fd.path(), error);
      if (!error && target.parent_path() == fs->devRoot()) open.push_back(target.string());
    }
    std::sort(open.begin(), open.end());
    return open;
  }

  // Traces everything the library does from here on into `file`.
  void traceTo(const std::string& file) {
    std::remove(file.c_str());
    trace = PacketTrace::open(file);
    ASSERT_NE(trace, nullptr);
    tracing = std::make_unique<TracingTransport>(*hidraw, *trace);
    useTransport(tracing.get());
  }

  // Reads wait on the real clock, or once a test sets onVirtualClock on the
  // fixture's: a node with nothing to read then ends the wait at once and
  // the clock counts it. interrupted tells that a signal ended a real wait.
  int waitForNode(pollfd& node, int milliseconds) {
    if (onVirtualClock) {
      const int ready = HidrawTransport::pollNode(node, 0);
      if (ready == 0) clock.sleepUntil(clock.now() + std::chrono::milliseconds(milliseconds));
      return ready;
    }
    const int ready = HidrawTransport::pollNode(node, milliseconds);
    if (ready < 0 && errno == EINTR) interrupted = true;
    return ready;
  }

  bool onVirtualClock = false;
  std::atomic<bool> interrupted = false;
  std::unique_ptr<FakeHidrawFs> fs;
  std::unique_ptr<HidrawTransport> hidraw;
  std::unique_ptr<PacketTrace> trace;
  std::unique_ptr<TracingTransport> tracing;
  std::unique_ptr<DeviceHandle> device;
  Report received{};
};

}  // namespace ksthid::testing
