// The Windows transport's writes and bounded reads, on named pipes that the
// transport opens as it opens a device path: the handles, the read record and
// the event are the system's own, only the device is a stand-in.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform_transport.h"

namespace ksthid {
namespace {

// The device end of a pipe, which passes whole reports.
class PipeDevice {
 public:
  explicit PipeDevice(const std::string& name)
      : path_("\\\\.\\pipe\\ksthid-" + name + "-" + std::to_string(GetCurrentProcessId())),
        end_(CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_DUPLEX,
                              PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1,
                              kReportLength, kReportLength, 0, nullptr)) {}
  ~PipeDevice() { CloseHandle(end_); }

  const std::string& path() const { return path_; }

  void send(const Report& report) {
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(end_, report.data(), kReportLength, &written, nullptr));
  }

  Report receive() {
    Report report{};
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(end_, report.data(), kReportLength, &read, nullptr));
    EXPECT_EQ(read, kReportLength);
    return report;
  }

 private:
  std::string path_;
  HANDLE end_;
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
    read = transport->openReadHandle(input.path(), security);
    write = transport->openWriteHandle(output.path(), security);
    ASSERT_NE(read, invalidHandle);
    ASSERT_NE(write, invalidHandle);
    record.event = transport->createReadEvent(security);
    ASSERT_NE(record.event, 0);
  }

  void TearDown() override {
    transport->closeHandle(read);
    transport->closeHandle(write);
    transport->closeHandle(record.event);
  }

  std::unique_ptr<Transport> transport = makePlatformTransport();
  SecurityAttributes security{sizeof(SecurityAttributes), nullptr, 1};
  PipeDevice input{"input"};
  PipeDevice output{"output"};
  Handle read = invalidHandle;
  Handle write = invalidHandle;
  ReadRecord record;
};

TEST_F(Win32HidTransportTest, WritesWholeReportsAndReadsThemThroughTheRecord) {
  EXPECT_TRUE(transport->writeReport(write, reportWith(3)));
  EXPECT_EQ(output.receive(), reportWith(3));

  Report into{};
  transport->startRead(read, into, record);
  // The event is created signalled; starting a read clears it.
  EXPECT_EQ(transport->waitForRead(record.event, 0), WaitResult::timedOut);
  input.send(reportWith(0x42));
  EXPECT_EQ(transport->waitForRead(record.event, 5000), WaitResult::signalled);
  EXPECT_EQ(into, reportWith(0x42));
  transport->resetReadEvent(record.event);
  EXPECT_EQ(transport->waitForRead(record.event, 0), WaitResult::timedOut);
}

TEST_F(Win32HidTransportTest, CancelledReadLeavesTheReportAloneAndLosesNothing) {
  Report cancelled{};
  transport->startRead(read, cancelled, record);
  EXPECT_EQ(transport->waitForRead(record.event, 1), WaitResult::timedOut);
  transport->cancelRead(read);
  EXPECT_EQ(transport->waitForRead(record.event, 0), WaitResult::timedOut);

  input.send(reportWith(7));
  Report next{};
  transport->startRead(read, next, record);
  EXPECT_EQ(transport->waitForRead(record.event, 5000), WaitResult::signalled);
  EXPECT_EQ(next, reportWith(7));
  EXPECT_EQ(cancelled, Report{});
}

TEST_F(Win32HidTransportTest, ReadThatCannotStartRunsOutLikeASilentDevice) {
  Report into{};
  transport->startRead(invalidHandle, into, record);
  EXPECT_EQ(transport->waitForRead(record.event, 10), WaitResult::timedOut);
  EXPECT_EQ(into, Report{});
}

TEST_F(Win32HidTransportTest, OnlyHidDevicesHaveAttributesAndOnlyPresentPathsOpen) {
  EXPECT_EQ(transport->attributes(write), std::nullopt);
  EXPECT_EQ(transport->openWriteHandle(output.path() + "-absent", security), invalidHandle);
}

}  // namespace
}  // namespace ksthid
