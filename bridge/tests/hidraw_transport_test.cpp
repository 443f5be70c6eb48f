// The hidraw transport against device nodes that the kernel serves from a
// FUSE file system: finding the bridges, reports byte for byte, bounded
// waits, and devices that misbehave or go away.
#include "platform/hidraw_transport.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <sys/stat.h>

#include <fcntl.h>
#include <chrono>
#include <fstream>
#include <future>
#include <thread>

#include "hidraw_fixture.h"
#include "packet_trace.h"
#include "test_file.h"

namespace ksthid::testing {
namespace {

using namespace std::chrono_literals;

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

// A wait that ends without a report leaves the next report, report ID and
// all, to the next read.
TEST_F(HidrawTransportTest, AWaitThatEndsEmptyLosesNoReport) {
  fs->addBridge("hidraw0");
  openDevice("hidraw0");
  EXPECT_EQ(read(1ms), ReadResult::timedOut);

  Report sent;
  for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<std::uint8_t>(i + 1);
  fs->queueReport("hidraw0", sent);
  EXPECT_EQ(read(1000ms), ReadResult::report);
  EXPECT_EQ(received, sent);
}

TEST_F(HidrawTransportTest, SignalDuringAWaitDoesNotEndIt) {
  fs->addBridge("hidraw0");
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = [](int) {};
  ASSERT_EQ(::sigaction(SIGUSR1, &ignore, &previous), 0);
  openDevice("hidraw0");
  // A signal that comes before the wait has begun ends nothing: signal
  // again until one has ended a wait, and only then send the report.
  const pthread_t waiting = ::pthread_self();
  std::thread interrupter([&] {
    while (!interrupted) {
      ::pthread_kill(waiting, SIGUSR1);
      std::this_thread::sleep_for(5ms);
    }
    fs->queueReport("hidraw0", ledAnswer(1));
  });
  EXPECT_EQ(read(60000ms), ReadResult::report);
  interrupter.join();
  EXPECT_TRUE(interrupted);
  EXPECT_EQ(received, ledAnswer(1));
  ::sigaction(SIGUSR1, &previous, nullptr);
}

TEST_F(HidrawTransportTest, DeviceUnpluggedDuringAWaitEndsItAtOnce) {
  fs->addBridge("hidraw0");
  openDevice("hidraw0");
  fs->change("hidraw0", [](FakeHidDevice& device) { device.present = false; });
  EXPECT_EQ(read(60000ms), ReadResult::failed);
}

TEST_F(HidrawTransportTest, SilentBoardTimesOutAfterSixSecondsAndStaleAnswersAreDrained) {
  fs->addBridge("hidraw0");
  fs->change("hidraw0", [](FakeHidDevice& device) { device.silent = true; });
  ASSERT_EQ(connect(), 1);

  onVirtualClock = true;
  const Microseconds waited = elapsedDuring([&] { EXPECT_EQ(getLed(0, 0), 0); });
  onVirtualClock = false;
  EXPECT_GE(waited, 6000ms);
  EXPECT_LT(waited, 12000ms);  // one response wait, not two
  EXPECT_EQ(boxTexts(), std::vector<std::string>{kConnectionBox});

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
  for (const std::size_t length : {std::size_t{10}, kReportLength + 1}) {
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
    EXPECT_EQ(boxTexts(), std::vector<std::string>{kConnectionBox});
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
  EXPECT_EQ(boxTexts(), std::vector<std::string>{kConnectionBox});
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
  EXPECT_EQ(boxTexts(), std::vector<std::string>{kConnectionBox});
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

// Nodes that are no device: a FIFO in place of a hidraw node.
class HidrawFifoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(root / "sys/class/hidraw/hidraw0");
    std::filesystem::create_directories(root / "dev");
    ASSERT_EQ(::mkfifo(node.c_str(), 0600), 0);
  }
  void TearDown() override { std::filesystem::remove_all(root); }

  const std::filesystem::path root =
      ::testing::TempDir() + "hidraw-fifo-" + std::to_string(::getpid());
  const std::string node = (root / "dev/hidraw0").string();
  HidrawTransport hidraw{root / "sys", root / "dev"};
};

// Nobody reads the FIFO: it is opened without blocking, and refused.
TEST_F(HidrawFifoTest, NodeThatWouldBlockAnOpenIsRefusedAtOnce) {
  auto opened = std::async(std::launch::async, [&] { return hidraw.open(node) != nullptr; });
  const bool returned = opened.wait_for(10s) == std::future_status::ready;
  if (!returned) ::close(::open(node.c_str(), O_RDONLY | O_NONBLOCK));  // lets a blocked open go
  EXPECT_TRUE(returned);
  EXPECT_FALSE(opened.get());
  EXPECT_EQ(hidraw.describeFailure(node), "No such device or address");
}

// What sysfs says of a node is read without blocking and at most one page of
// it: a FIFO in place of the uevent file gives nothing, a huge one its start.
TEST_F(HidrawFifoTest, UeventThatWouldBlockOrNeverEndIsReadInBoundedTime) {
  const auto uevent = root / "sys/class/hidraw/hidraw0/device/uevent";
  std::filesystem::create_directories(uevent.parent_path());
  ASSERT_EQ(::mkfifo(uevent.c_str(), 0600), 0);
  auto opened = std::async(std::launch::async, [&] { return hidraw.open(node) != nullptr; });
  const bool returned = opened.wait_for(10s) == std::future_status::ready;
  if (!returned) ::close(::open(uevent.c_str(), O_WRONLY | O_NONBLOCK));  // lets a blocked open go
  ASSERT_TRUE(returned);
  EXPECT_EQ(hidraw.describeFailure(node), "No such device or address");

  std::filesystem::remove(uevent);
  std::ofstream(uevent) << "HID_ID=0003:00003A5C:00004B17\nHID_NAME=" << std::string(5000, 'x');
  std::filesystem::resize_file(uevent, std::uintmax_t{1} << 32);
  EXPECT_FALSE(hidraw.open(node));
  const std::string why = hidraw.describeFailure(node);
  EXPECT_TRUE(why.starts_with("No such device or address (HID 0003:00003A5C:00004B17 \"xxx"));
  EXPECT_LT(why.size(), 2 * 4096u);
}

// Writes still wait until the node takes the report, as blocking ones do.
TEST_F(HidrawFifoTest, WritesWaitForANodeThatIsSlowToTakeThem) {
  const int reader = ::open(node.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const auto device = hidraw.open(node);
  ASSERT_NE(device, nullptr);
  constexpr int kReports = 2000;  // more than the FIFO holds
  std::thread slowReader([&] {
    Report taken;
    for (int report = 0; report < kReports;) {
      const ssize_t length = ::read(reader, taken.data(), taken.size());
      if (length > 0) report += static_cast<int>(length / taken.size());
      if (length <= 0) std::this_thread::sleep_for(1ms);
    }
  });
  int written = 0;
  for (int report = 0; report < kReports; ++report) written += device->write(Report{});
  slowReader.join();
  ::close(reader);
  EXPECT_EQ(written, kReports);
}

}  // namespace
}  // namespace ksthid::testing
