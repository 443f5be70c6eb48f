// The SMBus frequency and timer count, the I2C option bits, and clocking a
// stuck bus free.
#include "library_fixture.h"

namespace ksthid::testing {
namespace {

class I2CConfigurationTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    bridge = &addBoard("a");
    ASSERT_EQ(connect(), 1);
  }

  std::int16_t setOptions(std::uint8_t options, std::uint8_t sclToggle, std::int16_t board = 0) {
    return kstHID_setI2COptions(&options, &sclToggle, &board);
  }
  std::uint8_t getOptions(std::int16_t board = 0) { return kstHID_getI2COptions(&board); }
  std::int16_t setTimerCount(std::uint8_t count, std::int16_t board = 0) {
    return kstHID_setSMBusTimerCount(&count, &board);
  }
  std::int16_t timerCount(std::int16_t board = 0) { return kstHID_getSMBusTimerCount(&board); }
  std::int16_t frequency(std::int16_t board = 0) { return kstHID_getSMBusFrequency(&board); }
  void toggleScl(std::int16_t board = 0) { kstHID_toggleSCL(&board); }

  std::int16_t readEeprom() {
    std::uint8_t address = kVirtualEepromAddress, reg = 0, count = 1;
    std::int16_t board = 0, quiet = -1;
    SAFEARRAY* data = nullptr;
    SAFEARRAY* registerBuffer = nullptr;
    const std::int16_t result =
        kstHID_doI2CRead(&address, &reg, &count, &data, &registerBuffer, &board, &quiet);
    SafeArrayDestroy(data);
    SafeArrayDestroy(registerBuffer);
    return result;
  }

  VirtualBridge* bridge = nullptr;
};

TEST_F(I2CConfigurationTest, SetOptionsSplitsTheBitsOverTwoBytes) {
  EXPECT_EQ(setOptions(0x07, 0), 8);
  EXPECT_EQ(setOptions(0xFC, 0), 8);
  EXPECT_EQ(setOptions(0x05, 1), 8);
  EXPECT_EQ(writtenTo("a"), (std::vector<Report>{request({4, 0, 3, 1, 0}), request({4, 0, 0, 1, 0}),
                                                 request({4, 0, 1, 1, 1})}));
}

TEST_F(I2CConfigurationTest, GetOptionsJoinsTheBitsAndDropsTheRest) {
  bridge->setI2COptionBytes(0xFF, 0xFF);
  EXPECT_EQ(getOptions(), 7);
  EXPECT_EQ(writtenTo("a").back(), request({4, 1}));
  bridge->setI2COptionBytes(0x02, 0x00);
  EXPECT_EQ(getOptions(), 2);
  bridge->setI2COptionBytes(0x00, 0x01);
  EXPECT_EQ(getOptions(), 4);
  setOptions(0xFD, 0);
  EXPECT_EQ(getOptions(), 5);
}

TEST_F(I2CConfigurationTest, TimerCountAndFrequencyComeFromOneQuery) {
  bridge->setSMBusFrequency(10);
  EXPECT_EQ(setTimerCount(200), 0);
  EXPECT_EQ(timerCount(), 200);
  EXPECT_EQ(frequency(), 10000);
  EXPECT_EQ(writtenTo("a"),
            (std::vector<Report>{request({5, 0, 200}), request({5, 1}), request({5, 1})}));
}

TEST_F(I2CConfigurationTest, FrequencyThatDoesNotFitGivesTheLargestResult) {
  bridge->setSMBusFrequency(32);
  EXPECT_EQ(frequency(), 32000);
  bridge->setSMBusFrequency(33);
  EXPECT_EQ(frequency(), 32767);
  bridge->setSMBusFrequency(255);
  EXPECT_EQ(frequency(), 32767);
}

TEST_F(I2CConfigurationTest, ResultsForAnInvalidBoardAndAfterAFailedWrite) {
  EXPECT_EQ(setOptions(3, 0, 1), 1);
  EXPECT_EQ(setTimerCount(5, -1), 1);
  EXPECT_EQ(getOptions(1) + timerCount(1) + frequency(1), 0);
  EXPECT_TRUE(transport.traffic().empty());
  EXPECT_EQ(boxes.size(), 5u);

  bridge->setI2COptionBytes(3, 1);
  transport.setWritesFail("a", true);
  EXPECT_EQ(setOptions(3, 0), 0);
  EXPECT_EQ(setTimerCount(5), 0);
  EXPECT_EQ(getOptions() + timerCount() + frequency(), 0);
  EXPECT_EQ(boxTexts().back(), kConnectionBox);
}

TEST_F(I2CConfigurationTest, ToggleWritesTheOptionsBackWithTheToggleByte) {
  bridge->setI2COptionBytes(0xFE, 0x03);
  toggleScl();
  EXPECT_EQ(writtenTo("a"), (std::vector<Report>{request({4, 1}), request({4, 0, 2, 1, 1})}));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(I2CConfigurationTest, ToggleFreesABusThatASlaveHoldsLow) {
  bridge->i2cBus().holdSdaLow(5);
  EXPECT_EQ(readEeprom(), 1);
  toggleScl();  // answered with the five pulses it took: bits set, but not bit 0
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(readEeprom(), 0);
}

TEST_F(I2CConfigurationTest, ToggleReportsSdaThatStaysLow) {
  bridge->i2cBus().holdSdaLow(10);
  toggleScl();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "SDA error");
  EXPECT_EQ(boxes[0].style, KSTHID_MB_OK);
  EXPECT_EQ(readEeprom(), 1);
}

TEST_F(I2CConfigurationTest, ToggleOnAnInvalidBoardEndsAfterTheMessage) {
  toggleScl(1);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"Invalid HID Number: 1"});
  EXPECT_TRUE(transport.traffic().empty());
}

// Options that could not be read would be written back as zeros.
TEST_F(I2CConfigurationTest, ToggleSendsNothingWhenTheOptionsCannotBeRead) {
  bridge->setI2COptionBytes(3, 1);
  transport.setSilent("a", true);
  toggleScl();
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{request({4, 1})});
  transport.setWritesFail("a", true);
  toggleScl();
  EXPECT_EQ(writtenTo("a").size(), 1u);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{kConnectionBox, kConnectionBox}));
  transport.setSilent("a", false);
  transport.setWritesFail("a", false);
  EXPECT_EQ(getOptions(), 7);
}

}  // namespace
}  // namespace ksthid::testing
