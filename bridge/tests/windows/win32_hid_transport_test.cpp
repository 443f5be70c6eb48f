// The Windows transport's writes and bounded reads, on a named pipe that the
// transport opens as it opens a device path: the handles, the read record and
// the event are the system's own, only the device is a stand-in.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "transport.h"

namespace ksthid {
namespace {

using namespace std::chrono_literals;

// The device end of a pipe that passes whole reports. The transport opens a
// device twice, for writing and for reading, so the pipe has two instances;
// which of them serves which handle is the system's choice.
class PipeDevice {
 public:
  PipeDevice() {
    for (HANDLE& end : ends_) {
      end = CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_DUPLEX,
                             PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 2,
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
  std::string path_ = "\\\\.\\pipe\\ksthid-device-" + std::to_string(GetCurrentProcessId());
  std::array<HANDLE, 2> ends_{};
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

}  // namespace
}  // namespace ksthid
