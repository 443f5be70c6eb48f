// The LEDs, the module indicator, the firmware version and the system clock.
#include "library_fixture.h"

namespace ksthid::testing {
namespace {

class BoardCommandsTest : public LibraryTest {
 protected:
  std::int16_t clockFrequency(VARIANT board) { return kstHID_getSystemClockFrequency(&board); }

  static VARIANT variantOf(VARTYPE type, double value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    if (type == VT_R8) {
      v.dblVal = value;
    } else {
      v.llVal = static_cast<std::int64_t>(value);
    }
    return v;
  }
};

TEST_F(BoardCommandsTest, SetLedKeepsTheOtherLedAndUsesOnlyBitZero) {
  addBoard("a");
  ASSERT_EQ(connect(), 1);
  setLed(1, 0, 0);
  transport.clearTraffic();

  EXPECT_EQ(setLed(3, 1, 0), 0);
  const auto written = writtenTo("a");
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[0], request({1, 1}));     // the query of LED 0
  EXPECT_EQ(written[1], request({1, 0, 3}));  // both on
  EXPECT_EQ(getLed(0, 0), 1);
  EXPECT_EQ(getLed(1, 0), 1);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(BoardCommandsTest, UnknownLedNumberSwitchesBothOff) {
  addBoard("a");
  ASSERT_EQ(connect(), 1);
  setLed(1, 0, 0);
  transport.clearTraffic();

  EXPECT_EQ(setLed(1, 2, 0), 0);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"ledNumber must be 0 or 1"});
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{request({1, 0, 0})});
  EXPECT_EQ(transport.bridge("a").leds(), 0);
}

TEST_F(BoardCommandsTest, GetLedWithUnknownNumberAsksTheBoardThenComplains) {
  addBoard("a");
  ASSERT_EQ(connect(), 1);
  EXPECT_EQ(getLed(5, 0), 0);
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{request({1, 1})});
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"ledNumber must be 0 or 1"});
}

TEST_F(BoardCommandsTest, GetLedAfterAFailedWriteSaysOnlyThatTheWriteFailed) {
  addBoard("a");
  ASSERT_EQ(connect(), 1);
  transport.setWritesFail("a", true);
  EXPECT_EQ(getLed(5, 0), 0);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{kConnectionBox});
}

TEST_F(BoardCommandsTest, IndicateSelectedModuleSwitchesAllOffThenLightsOne) {
  for (const char* path : {"a", "b", "c"}) addBoard(path);
  ASSERT_EQ(connect(), 3);
  std::int16_t board = 1;

  EXPECT_EQ(kstHID_indicateSelectedModule(&board), 0);

  std::vector<std::pair<std::string, Report>> expected;
  const auto ledSet = [&](const std::string& path, std::uint8_t state) {
    expected.push_back({path, request({1, 1})});
    expected.push_back({path, request({1, 0, state})});
  };
  for (const char* path : {"a", "b", "c"}) {
    ledSet(path, 0);
    ledSet(path, 0);
  }
  ledSet("b", 1);
  std::vector<std::pair<std::string, Report>> written;
  for (const Traffic& entry : transport.traffic()) {
    if (entry.direction == Traffic::Direction::written)
      written.push_back({entry.path, entry.report});
  }
  EXPECT_EQ(written, expected);
  EXPECT_EQ(transport.bridge("b").leds(), 1);
  EXPECT_EQ(transport.bridge("a").leds(), 0);
}

TEST_F(BoardCommandsTest, IndicateSelectedModuleRefusesAnUnknownBoard) {
  addBoard("a");
  ASSERT_EQ(connect(), 1);
  std::int16_t board = 1;
  EXPECT_EQ(kstHID_indicateSelectedModule(&board), 1);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"Invalid HID Number: 1"});
  EXPECT_TRUE(transport.traffic().empty());
}

TEST_F(BoardCommandsTest, ShowVersionComposesTheFirmwareDate) {
  addBoard("a", {0, 9, 2010, 12, 5});
  ASSERT_EQ(connect(), 1);
  std::int16_t board = 0;
  kstHID_showVersion(&board);
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{request({0, 1})});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Firmware Version 0.9 - 2010/December/5");
  EXPECT_EQ(boxes[0].style, KSTHID_MB_OK);
}

TEST_F(BoardCommandsTest, ShowVersionOfASilentBoardHasNoMonthName) {
  addBoard("a");
  ASSERT_EQ(connect(), 1);
  transport.setSilent("a", true);
  std::int16_t board = 0;
  kstHID_showVersion(&board);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{kConnectionBox, "Firmware Version 0.0 - 0//0"}));
}

TEST_F(BoardCommandsTest, SystemClockIsTheClockByteTimesAThousand) {
  VirtualBridge& bridge = addBoard("a");
  ASSERT_EQ(connect(), 1);
  EXPECT_EQ(clockFrequency(variantOf(VT_I2, 0)), 24000);
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{request({8, 1})});
  bridge.setSystemClock(0);
  EXPECT_EQ(clockFrequency(variantOf(VT_I4, 0)), 0);
  bridge.setSystemClock(32);
  EXPECT_EQ(clockFrequency(variantOf(VT_UI1, 0)), 32000);
  bridge.setSystemClock(33);
  EXPECT_EQ(clockFrequency(variantOf(VT_I2, 0)), 32767);
  bridge.setSystemClock(255);
  EXPECT_EQ(clockFrequency(variantOf(VT_I2, 0)), 32767);
}

TEST_F(BoardCommandsTest, SystemClockBoardIndexComesFromAnyNumericVariant) {
  addBoard("a");
  addBoard("b");
  ASSERT_EQ(connect(), 2);
  EXPECT_EQ(clockFrequency(variantOf(VT_R8, 0.5)), 24000);  // halves round to even: board 0
  EXPECT_EQ(clockFrequency(variantOf(VT_R8, 1.4)), 24000);
  EXPECT_EQ(clockFrequency(variantOf(VT_I8, 1)), 24000);
  std::int16_t board = 1;
  VARIANT byReference;
  byReference.vt = VT_I2 | VT_BYREF;
  byReference.piVal = &board;
  EXPECT_EQ(clockFrequency(byReference), 24000);
  EXPECT_EQ(writtenTo("a").size(), 1u);
  EXPECT_EQ(writtenTo("b").size(), 3u);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(BoardCommandsTest, SystemClockRefusesVariantsThatHoldNoBoardIndex) {
  addBoard("a");
  ASSERT_EQ(connect(), 1);
  EXPECT_EQ(clockFrequency(variantOf(VT_EMPTY, 0)), 0);
  EXPECT_EQ(clockFrequency(variantOf(VT_BSTR, 0)), 0);
  VARIANT nullReference;
  nullReference.vt = VT_I2 | VT_BYREF;
  nullReference.piVal = nullptr;
  EXPECT_EQ(clockFrequency(nullReference), 0);
  EXPECT_EQ(kstHID_getSystemClockFrequency(nullptr), 0);
  EXPECT_TRUE(transport.traffic().empty());
  EXPECT_TRUE(boxes.empty());

  EXPECT_EQ(clockFrequency(variantOf(VT_I2, 1)), 0);
  EXPECT_EQ(clockFrequency(variantOf(VT_I4, 70000)), 0);
  EXPECT_EQ(clockFrequency(variantOf(VT_R8, -1e9)), 0);
  EXPECT_EQ(boxTexts(),
            (std::vector<std::string>{"Invalid HID Number: 1", "Invalid HID Number: 70000",
                                      "Invalid HID Number: -1000000000"}));
  EXPECT_TRUE(transport.traffic().empty());
}

}  // namespace
}  // namespace ksthid::testing
