// The Windows transport's writes and bounded reads, on a named pipe that the
// transport opens as it opens a device path: the handles, the read record and
// the event are the system's own, only the device is a stand-in.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <thread>
#include <vector>

#include "transport.h"

namespace ksthid {
namespace {

using namespace std::chrono_literals;

// The device end of a pipe that passes whole reports. The transport opens a
// device twice, for writing and for reading, so the pipe has two instances
// for each time it is opened; which of them serves which handle is the
// system's choice. Reports are sent only to a pipe opened once.
class PipeDevice {
 public:
  explicit PipeDevice(const std::string& name = "device", DWORD opened = 1)
      : path_("\\\\.\\pipe\\ksthid-" + name + "-" + std::to_string(GetCurrentProcessId())),
        ends_(2 * opened) {
    for (HANDLE& end : ends_) {
      end = CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_DUPLEX,
                             PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 2 * opened,
                             16 * kReportLength, 16 * kReportLength, 0, nullptr);
    }
  }
  ~PipeDevice() {
    for (HANDLE end : ends_) CloseHandle(end);
  }

  const std::string& path() const { return path_; }

  // Sent through both instances: the one the transport writes through never
  // reads it.
  void send(const Report& report) {
    for (HANDLE end : ends_) {
      DWORD written = 0;
      ASSERT_TRUE(WriteFile(end, report.data(), kReportLength, &written, nullptr));
    }
  }

  // The report the transport wrote, from whichever instance it came through.
  Report receive() {
    Report report{};
    for (HANDLE end : ends_) {
      DWORD waiting = 0;
      if (!PeekNamedPipe(end, nullptr, 0, nullptr, &waiting, nullptr) || waiting == 0) continue;
      DWORD read = 0;
      EXPECT_TRUE(ReadFile(end, report.data(), kReportLength, &read, nullptr));
      EXPECT_EQ(read, kReportLength);
    }
    return report;
  }

 private:
  const std::string path_;
  std::vector<HANDLE> ends_;
};

Report reportWith(std::uint8_t byte1) {
  Report report{};
  report[0] = kRequestReportId;
  report[1] = byte1;
  return report;
}

class Win32HidTransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    device = transport->open(pipe.path());
    ASSERT_NE(device, nullptr);
  }

  std::unique_ptr<Transport> transport = makePlatformTransport();
  PipeDevice pipe;
  std::unique_ptr<DeviceHandle> device;
};

TEST_F(Win32HidTransportTest, WritesWholeReportsAndReadsOneWithinTheWait) {
  EXPECT_TRUE(device->write(reportWith(3)));
  EXPECT_EQ(pipe.receive(), reportWith(3));

  pipe.send(reportWith(0x42));
  Report into{};
  EXPECT_EQ(device->read(into, 5000ms), ReadResult::report);
  EXPECT_EQ(into, reportWith(0x42));
}

TEST_F(Win32HidTransportTest, WaitThatEndsEmptyLeavesTheReportAloneAndLosesNothing) {
  Report untouched{};
  EXPECT_EQ(device->read(untouched, 1ms), ReadResult::timedOut);
  EXPECT_EQ(untouched, Report{});

  pipe.send(reportWith(7));
  Report next{};
  EXPECT_EQ(device->read(next, 5000ms), ReadResult::report);
  EXPECT_EQ(next, reportWith(7));
}

TEST_F(Win32HidTransportTest, OnlyHidDevicesHaveAttributesAndOnlyPresentPathsOpen) {
  EXPECT_EQ(device->attributes(), std::nullopt);
  EXPECT_EQ(transport->open(pipe.path() + "-absent"), nullptr);
}

template <typename Call>
bool inAnotherThread(Call call) {
  bool result = false;
  std::thread([&] { result = call(); }).join();
  return result;
}

// Every program's handles of one device share a named mutex, which belongs to
// the thread that took it: threads stand for programs here.
TEST_F(Win32HidTransportTest, DeviceLockIsOneThreadsAtATimeAndAbandonedWithIt) {
  PipeDevice shared("shared", 3);
  std::string upperCase = shared.path();
  std::transform(upperCase.begin(), upperCase.end(), upperCase.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  const auto first = transport->open(shared.path());
  const auto second = transport->open(shared.path());
  const auto spelledOtherwise = transport->open(upperCase);
  ASSERT_TRUE(first && second && spelledOtherwise);

  EXPECT_TRUE(first->lockDevice(false));
  EXPECT_FALSE(inAnotherThread([&] { return second->lockDevice(false); }));
  EXPECT_FALSE(inAnotherThread([&] { return spelledOtherwise->lockDevice(false); }));
  EXPECT_TRUE(inAnotherThread([&] {
    const bool taken = device->lockDevice(false);  // another device
    device->unlockDevice();
    return taken;
  }));
  first->unlockDevice();

  EXPECT_TRUE(inAnotherThread([&] { return second->lockDevice(false); }));  // and never let go
  EXPECT_TRUE(first->lockDevice(false));
  first->unlockDevice();
}

TEST_F(Win32HidTransportTest, QueuedReportsAreDroppedWithoutAWait) {
  pipe.send(reportWith(1));
  pipe.send(reportWith(2));
  device->discardQueued();
  Report into{};
  EXPECT_EQ(device->read(into, 1ms), ReadResult::timedOut);
}

}  // namespace
}  // namespace ksthid
