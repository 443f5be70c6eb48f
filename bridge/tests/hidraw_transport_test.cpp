// The hidraw transport against device nodes that the kernel serves from a
// FUSE file system: finding the bridges, reports byte for byte, bounded
// waits, and devices that misbehave or go away.
#include "platform/hidraw_transport.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "fake_hidraw_fs.h"
#include "library_fixture.h"
#include "packet_trace.h"
#include "test_file.h"

namespace ksthid::testing {
namespace {

using namespace std::chrono_literals;

// The bridge's answer to an LED query: the LED bits in byte 2.
Report ledAnswer(std::uint8_t leds) {
  return request({commandLeds, leds});
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
    hidraw = std::make_unique<HidrawTransport>(fs->sysRoot(), fs->devRoot());
    useTransport(hidraw.get());
  }

  void TearDown() override {
    if (!fs) return;
    hidraw->closeHandle(readHandle);
    kstHID_closeHandles();
    LibraryTest::TearDown();
  }

  // Starts a read on the node as the library does; waitForRead() completes it.
  void startReading(const std::string& name) {
    readHandle = hidraw->openReadHandle(fs->node(name), {});
    record.event = hidraw->createReadEvent({});
    hidraw->startRead(readHandle, received, record);
  }

  WaitResult waitForRead(std::uint32_t milliseconds) {
    return hidraw->waitForRead(record.event, milliseconds);
  }

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

  std::unique_ptr<FakeHidrawFs> fs;
  std::unique_ptr<HidrawTransport> hidraw;
  std::unique_ptr<PacketTrace> trace;
  std::unique_ptr<TracingTransport> tracing;
  Handle readHandle = invalidHandle;
  ReadRecord record;
  Report received{};
};

TEST_F(HidrawTransportTest, ConnectOpensTheBridgesInNodeOrderAndClosesOtherDevices) {
  fs->addBridge("hidraw10");
  fs->addOtherDevice("hidraw1", {0x046D, 0xC52B, 0});
  fs->addBridge("hidraw2");

  EXPECT_EQ(connect(), 2);
  EXPECT_EQ(libraryState().boardPaths, nodes({"hidraw2", "hidraw10"}));
  EXPECT_EQ(openNodes(), nodes({"hidraw10", "hidraw10", "hidraw2", "hidraw2"}));
  kstHID_closeHandles();
  EXPECT_TRUE(openNodes().empty());
}

TEST_F(HidrawTransportTest, CommandsReachTheBoardByteForByteAndQueriesAreAnswered) {
  VirtualBridge& bridge = fs->addBridge("hidraw0");
  ASSERT_EQ(connect(), 1);

  EXPECT_EQ(setGpioValue(0x50, 0x00, 0), 8);
  EXPECT_EQ(setGpioConfiguration(0xBF, 0xFF, -1, 0), 8);
  setLed(1, 1, 0);
  EXPECT_EQ(getLed(1, 0), 1);

  EXPECT_EQ(fs->writtenTo("hidraw0"), (std::vector<Report>{
                                          request({3, 0, 0x50, 0x00}),
                                          request({2, 0, 0xBF, 0xFF, 1}),
                                          request({1, 1}),     // the query of LED 0
                                          request({1, 0, 2}),  // LED 1 on
                                          request({1, 1}),
                                      }));
  EXPECT_EQ(bridge.leds(), 2);
  EXPECT_TRUE(boxes.empty());
}

// The read is made only while it is waited for: a wait that ends without a
// report leaves the next report, report ID and all, to the next read.
TEST_F(HidrawTransportTest, AWaitThatEndsEmptyLosesNoReport) {
  fs->addBridge("hidraw0");
  startReading("hidraw0");
  EXPECT_EQ(waitForRead(1), WaitResult::timedOut);
  hidraw->cancelRead(readHandle);

  Report sent;
  for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<std::uint8_t>(i + 1);
  fs->queueReport("hidraw0", sent);
  hidraw->startRead(readHandle, received, record);
  EXPECT_EQ(waitForRead(1000), WaitResult::signalled);
  EXPECT_EQ(received, sent);
}

TEST_F(HidrawTransportTest, SignalDuringAWaitDoesNotEndIt) {
  fs->addBridge("hidraw0");
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = [](int) {};
  ASSERT_EQ(::sigaction(SIGUSR1, &ignore, &previous), 0);
  startReading("hidraw0");
  const pthread_t waiting = ::pthread_self();
  std::thread interrupter([&] {
    std::this_thread::sleep_for(50ms);
    ::pthread_kill(waiting, SIGUSR1);
    std::this_thread::sleep_for(50ms);
    fs->queueReport("hidraw0", ledAnswer(1));
  });
  EXPECT_EQ(waitForRead(60000), WaitResult::signalled);
  interrupter.join();
  EXPECT_EQ(received, ledAnswer(1));
  ::sigaction(SIGUSR1, &previous, nullptr);
}

TEST_F(HidrawTransportTest, DeviceUnpluggedDuringAWaitEndsItAtOnce) {
  fs->addBridge("hidraw0");
  startReading("hidraw0");
  fs->change("hidraw0", [](FakeHidDevice& device) { device.present = false; });
  EXPECT_EQ(waitForRead(60000), WaitResult::failed);
}

TEST_F(HidrawTransportTest, SilentBoardTimesOutAfterSixSecondsAndStaleAnswersAreDrained) {
  fs->addBridge("hidraw0");
  fs->change("hidraw0", [](FakeHidDevice& device) { device.silent = true; });
  ASSERT_EQ(connect(), 1);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(getLed(0, 0), 0);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, 6000ms);
  EXPECT_LT(waited, 12000ms);  // one response wait, not two
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"Please check USB connection.\r\ncheckStatus"});

  // Answers that come too late, or unasked, are not taken for the next one.
  fs->change("hidraw0", [](FakeHidDevice& device) { device.silent = false; });
  fs->queueReport("hidraw0", ledAnswer(3));
  fs->queueReport("hidraw0", ledAnswer(3));
  EXPECT_EQ(getLed(0, 0), 0);
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(HidrawTransportTest, NodeRemovedBetweenTwoConnectsDropsItsBoard) {
  fs->addBridge("hidraw0");
  fs->addBridge("hidraw1");
  ASSERT_EQ(connect(), 2);
  fs->change("hidraw0", [](FakeHidDevice& device) { device.present = false; });

  EXPECT_EQ(connect(), 1);
  EXPECT_EQ(libraryState().boardPaths, nodes({"hidraw1"}));
  EXPECT_EQ(setGpioValue(0x50, 0x00, 0), 8);
  EXPECT_EQ(fs->writtenTo("hidraw1").size(), 1u);
}

// A report of the wrong size ends the exchange at once, and nothing of it
// reaches the caller.
TEST_F(HidrawTransportTest, AnswerShorterOrLongerThanAReportEndsInTheConnectionBox) {
  fs->addBridge("hidraw0");
  ASSERT_EQ(connect(), 1);
  for (const std::size_t length : {std::size_t{10}, reportLength + 1}) {
    SCOPED_TRACE(length);
    boxes.clear();
    fs->change("hidraw0", [&](FakeHidDevice& device) { device.answerLength = length; });
    onNextBox([&] {
      fs->change("hidraw0", [](FakeHidDevice& device) { device.answerLength.reset(); });
      return KSTHID_IDRETRY;
    });
    SAFEARRAY* values = nullptr;
    std::int16_t flag = 0, board = 0;
    EXPECT_EQ(kstHID_getGPIOValue(&values, &flag, &board), 1);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Please check USB connection.\r\ncheckStatus"});
    const auto* bytes = static_cast<std::uint8_t*>(values->pvData);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 3), std::vector<std::uint8_t>(3, 0));
    SafeArrayDestroy(values);
    EXPECT_EQ(getLed(0, 0), 0);  // reconnected, and in step again
    EXPECT_EQ(boxes.size(), 1u);
  }
}

TEST_F(HidrawTransportTest, MalformedStaleReportIsDrainedWithTheReportsBehindIt) {
  fs->addBridge("hidraw0");
  ASSERT_EQ(connect(), 1);
  fs->queueInput("hidraw0", {1, 1, 3});
  fs->queueReport("hidraw0", ledAnswer(3));
  EXPECT_EQ(getLed(0, 0), 0);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(HidrawTransportTest, BoardUnpluggedDuringASendIsDroppedByRetry) {
  fs->addBridge("hidraw0");
  fs->addBridge("hidraw1");
  ASSERT_EQ(connect(), 2);
  fs->change("hidraw0", [](FakeHidDevice& device) { device.vanishOnWrite = true; });
  answerNextBox(KSTHID_IDRETRY);

  EXPECT_EQ(setGpioValue(0x50, 0x00, 0), 0);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"Please check USB connection.\r\ncheckStatus"});
  EXPECT_EQ(libraryState().boardPaths, nodes({"hidraw1"}));
  EXPECT_TRUE(fs->writtenTo("hidraw0").empty());
}

TEST_F(HidrawTransportTest, InterruptedCallsAreMadeAgainAndOnlyOnce) {
  fs->addBridge("hidraw0");
  ASSERT_EQ(connect(), 1);
  setLed(1, 0, 0);
  fs->change("hidraw0", [](FakeHidDevice& device) {
    device.interruptedWrites = 1;
    device.interruptedReads = 1;
  });
  EXPECT_EQ(getLed(0, 0), 1);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(fs->writtenTo("hidraw0").back(), request({1, 1}));
  EXPECT_EQ(fs->writtenTo("hidraw0").size(), 3u);
}

TEST_F(HidrawTransportTest, DeviceThatKeepsBeingInterruptedEndsInTheConnectionBox) {
  fs->addBridge("hidraw0");
  ASSERT_EQ(connect(), 1);
  fs->change("hidraw0", [](FakeHidDevice& device) { device.interruptedWrites = 1000; });
  onNextBox([&] {
    fs->change("hidraw0", [](FakeHidDevice& device) { device.interruptedWrites = 0; });
    return KSTHID_IDRETRY;
  });
  EXPECT_EQ(setGpioValue(0x50, 0x00, 0), 0);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"Please check USB connection.\r\ncheckStatus"});
  EXPECT_EQ(setGpioValue(0x50, 0x00, 0), 8);
  EXPECT_EQ(fs->writtenTo("hidraw0"), std::vector<Report>{request({3, 0, 0x50, 0x00})});
}

// A user who sees no board reads in the trace which device could not be used,
// why, and what it is.
TEST_F(HidrawTransportTest, DevicesThatCannotBeUsedAreNamedInThePacketTrace) {
  fs->addBridge("hidraw0");
  fs->change("hidraw0", [](FakeHidDevice& device) { device.openError = EACCES; });
  fs->addOtherDevice("hidraw1", {0x046D, 0xC52B, 0});
  fs->change("hidraw1", [](FakeHidDevice& device) { device.identifyError = EIO; });
  fs->addBridge("hidraw2");
  const TestFile file;
  traceTo(file.path());

  EXPECT_EQ(connect(), 1);
  EXPECT_EQ(libraryState().boardPaths, nodes({"hidraw2"}));
  std::ifstream in(file.path());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line.substr(line.find(' ') + 1));
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "E " + fs->node("hidraw0") +
                           " cannot open: Permission denied"
                           " (HID 0003:00003A5C:00004B17 \"USB HID bridge\")",
                       "E " + fs->node("hidraw1") +
                           " cannot identify: Input/output error"
                           " (HID 0003:0000046D:0000C52B \"Other HID device\")",
                   }));
}

}  // namespace
}  // namespace ksthid::testing
