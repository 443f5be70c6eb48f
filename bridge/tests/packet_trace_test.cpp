// The packet trace a user attaches to a bug report.
#include "packet_trace.h"

#include <fstream>
#include <regex>

#include "library_fixture.h"
#include "test_file.h"

namespace ksthid::testing {
namespace {

class PacketTraceTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    trace = PacketTrace::open(file.path());
    ASSERT_NE(trace, nullptr);
    tracing = std::make_unique<TracingTransport>(transport, *trace);
    useTransport(tracing.get());
  }

  std::vector<std::string> lines() {
    std::ifstream in(file.path());
    std::vector<std::string> all;
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
  }

  TestFile file;
  std::unique_ptr<PacketTrace> trace;
  std::unique_ptr<TracingTransport> tracing;
};

TEST_F(PacketTraceTest, EveryReportWrittenAndReadIsOneLine) {
  VirtualBridge& bridge = addBoard("sim:0");
  bridge.chip().setChangeListener([&](int dvr, int eeprom) { trace->chip("sim:0", dvr, eeprom); });
  ASSERT_EQ(connect(), 1);
  Report stale{};
  stale[1] = 0xAB;
  transport.sendUnsolicited("sim:0", stale);
  getLed(0, 0);
  setGpioValue(0x50, 0, 0);
  setGpioConfiguration(0xBF, 0xFF, -1, 0);
  setGpioValue(0x10, 0, 0);
  setGpioValue(0x50, 0, 0);

  const std::string zeros(2 * 64 - 8, '0');
  const std::vector<std::string> all = lines();
  ASSERT_EQ(all.size(), 8u);
  const std::regex shape(R"(\d+ [WRC] sim:0 .*)");
  for (const std::string& line : all) EXPECT_TRUE(std::regex_match(line, shape)) << line;
  EXPECT_TRUE(all[0].ends_with(" R sim:0 00ab" + std::string(124, '0')));  // drained
  EXPECT_TRUE(all[1].ends_with(" W sim:0 01010100" + zeros));
  EXPECT_TRUE(all[2].ends_with(" R sim:0 01010000" + zeros));
  EXPECT_TRUE(all[3].ends_with(" W sim:0 01030050" + zeros));
  // The chip counts when the report reaches the board, before the write returns.
  EXPECT_TRUE(all[6].ends_with(" C sim:0 dvr=1 eeprom=0"));
  EXPECT_TRUE(all[7].ends_with(" W sim:0 01030050" + zeros));
}

TEST_F(PacketTraceTest, DeviceThatCannotBeIdentifiedIsNamed) {
  transport.addOtherDevice("broken", {});
  transport.setAttributesUnreadable("broken", true);
  EXPECT_EQ(connect(), 0);
  const std::vector<std::string> all = lines();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_TRUE(all[0].ends_with(" E broken cannot identify")) << all[0];
}

// A device may name itself with any bytes; its line stays one printable line.
TEST_F(PacketTraceTest, DeviceNamesAreEscapedInTheirLine) {
  trace->failure("/dev/hidraw0\r",
                 "cannot open: Permission denied (HID \"Evil\r\n\x1b[2J\x7f\xc3\x9b\")");
  const std::vector<std::string> all = lines();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_TRUE(
      all[0].ends_with(" E /dev/hidraw0\\x0d cannot open: Permission denied (HID "
                       "\"Evil\\x0d\\x0a\\x1b[2J\\x7f\\xc3\\x9b\")"))
      << all[0];
}

}  // namespace
}  // namespace ksthid::testing
