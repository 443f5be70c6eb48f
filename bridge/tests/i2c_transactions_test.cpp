// Reading, writing and probing I2C devices through a bridge, with the boxes
// and the repetition after a reconnect.
#include <numeric>

#include "byte_array.h"
#include "library_fixture.h"

namespace ksthid::testing {
namespace {

using std::chrono::milliseconds;

const std::string kInvalidAddressBox =
    "Invalid I2C address. Press Retry to return to GUI and enter valid address or Cancel.";
const std::string kWriteFailedBox = "Please check USB connection.\r\nUSB WriteFile error.";
const std::string kReadFailedBox = "Please check USB connection.\r\nUSB ReadFile error.";

class I2CTransactionsTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    bus = &addBoard("a").i2cBus();
    ASSERT_EQ(connect(), 1);
  }

  std::int16_t read(std::uint8_t address, std::uint8_t reg, std::uint8_t count,
                    std::int16_t quiet = 0, std::int16_t board = 0) {
    return kstHID_doI2CRead(&address, &reg, &count, data.byReference(),
                            registerBuffer.byReference(), &board, &quiet);
  }

  std::int16_t write(std::uint8_t address, std::uint8_t reg, std::uint8_t count,
                     std::int16_t quiet = 0, std::int16_t board = 0) {
    return kstHID_doI2CWrite(&address, &reg, &count, data.byReference(),
                             registerBuffer.byReference(), &board, &quiet);
  }

  std::int16_t probe(std::uint8_t address, std::uint8_t reg, std::int16_t board = 0) {
    return kstHID_probeI2CAddress(&address, &board, &reg);
  }

  std::vector<std::uint8_t>& eeprom() { return bus->device(kVirtualEepromAddress).bytes(); }

  VirtualI2CBus* bus = nullptr;
  ByteArray data;
  ByteArray registerBuffer;
};

TEST_F(I2CTransactionsTest, ReadSendsRegisterAndCountAndCopiesTheAnswer) {
  eeprom()[0x10] = 0x12;
  eeprom()[0x11] = 0x34;
  EXPECT_EQ(read(0x50, 0x10, 2), 0);
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{request({6, 0xA1, 2, 1, 0x10})});
  EXPECT_EQ(data.elements(), (std::vector<std::uint8_t>{0x12, 0x34}));
  EXPECT_EQ(data.lowerBound(), 0);
  EXPECT_EQ(registerBuffer.elements(), std::vector<std::uint8_t>{0x10});
  EXPECT_TRUE(boxes.empty());
}

TEST_F(I2CTransactionsTest, RegisterZeroIsSentOnlyByTheProbe) {
  EXPECT_EQ(read(0x50, 0, 1), 0);
  EXPECT_EQ(registerBuffer.elements(), std::vector<std::uint8_t>{0});
  EXPECT_EQ(probe(0x50, 0), 0);
  EXPECT_EQ(writtenTo("a"),
            (std::vector<Report>{request({6, 0xA1, 1, 0}), request({6, 0xA1, 1, 1, 0})}));
}

TEST_F(I2CTransactionsTest, WriteSendsRegisterThenCountDataBytes) {
  data = ByteArray({0x0A, 0x0B, 0x0C, 0x0D});
  EXPECT_EQ(write(0x20, 5, 3), 0);
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{request({6, 0x40, 3, 1, 5, 0x0A, 0x0B, 0x0C})});
  const auto& registers = bus->device(kVirtualRegisterFileAddress).bytes();
  EXPECT_EQ(std::vector<std::uint8_t>(registers.begin() + 5, registers.begin() + 9),
            (std::vector<std::uint8_t>{0x0A, 0x0B, 0x0C, 0x00}));
  EXPECT_EQ(data.elements(), (std::vector<std::uint8_t>{0x0A, 0x0B, 0x0C, 0x0D}));
}

TEST_F(I2CTransactionsTest, WhatIsWrittenToTheEepromReadsBack) {
  std::vector<std::uint8_t> written(58);
  std::iota(written.begin(), written.end(), 0x80);
  data = ByteArray(written);
  EXPECT_EQ(write(0x50, 0x40, 58), 0);
  data = ByteArray({0xEE});
  EXPECT_EQ(read(0x50, 0x40, 58), 0);
  EXPECT_EQ(data.elements(), written);
}

TEST_F(I2CTransactionsTest, TransfersThatFillTheReportAreSent) {
  data = ByteArray(std::vector<std::uint8_t>(59, 0x5A));
  EXPECT_EQ(write(0x50, 0, 59), 0);
  EXPECT_EQ(writtenTo("a").back()[63], 0x5A);
  EXPECT_EQ(write(0x50, 1, 58), 0);
  EXPECT_EQ(read(0x50, 0, 62), 0);
  EXPECT_EQ(data.elements().size(), 62u);
}

// None of these may reach the report beyond its last byte, the caller's
// array beyond its last element, or the board at all.
TEST_F(I2CTransactionsTest, ArgumentsThatDoNotFitAreRefusedSilently) {
  std::int16_t board = 0, quiet = 0;
  std::uint8_t address = 0x50, reg = 0, count = 1;
  EXPECT_EQ(read(128, 0, 1), 1);
  EXPECT_EQ(read(0x50, 250, 10), 1);
  EXPECT_EQ(read(0x50, 0, 0), 1);
  EXPECT_EQ(read(0x50, 0, 63), 1);
  EXPECT_EQ(kstHID_doI2CRead(&address, &reg, &count, nullptr, registerBuffer.byReference(), &board,
                             &quiet),
            1);
  EXPECT_EQ(kstHID_doI2CRead(&address, &reg, &count, data.byReference(), nullptr, &board, &quiet),
            1);
  EXPECT_EQ(kstHID_doI2CRead(&address, &reg, &count, data.byReference(),
                             registerBuffer.byReference(), &board, nullptr),
            1);

  data = ByteArray(std::vector<std::uint8_t>(60));
  EXPECT_EQ(write(128, 0, 1), 1);
  EXPECT_EQ(write(0x50, 250, 10), 1);
  EXPECT_EQ(write(0x50, 0, 0), 1);
  EXPECT_EQ(write(0x50, 0, 60), 1);
  EXPECT_EQ(write(0x50, 1, 59), 1);
  EXPECT_EQ(kstHID_doI2CWrite(&address, &reg, &count, nullptr, registerBuffer.byReference(), &board,
                              &quiet),
            1);
  data = ByteArray({1, 2, 3});
  EXPECT_EQ(write(0x50, 0, 4), 1);
  data = ByteArray();
  EXPECT_EQ(write(0x50, 0, 1), 1);
  data = ByteArray({1, 2}, 1);
  EXPECT_EQ(write(0x50, 0, 1), 1);

  EXPECT_EQ(probe(200, 0), 1);
  EXPECT_EQ(kstHID_probeI2CAddress(&address, &board, nullptr), 1);
  EXPECT_TRUE(transport.traffic().empty());
  EXPECT_TRUE(boxes.empty());
}

// One array cannot hold the data and the register address at once.
TEST_F(I2CTransactionsTest, OneArrayAsDataAndRegisterBufferIsRefusedUntouched) {
  const std::vector<std::uint8_t> before{1, 2, 3};
  data = ByteArray(before);
  std::uint8_t address = 0x50, reg = 5;
  std::int16_t board = 0, quiet = 0;
  for (std::uint8_t count : {1, 2}) {
    EXPECT_EQ(kstHID_doI2CRead(&address, &reg, &count, data.byReference(), data.byReference(),
                               &board, &quiet),
              1);
    EXPECT_EQ(kstHID_doI2CWrite(&address, &reg, &count, data.byReference(), data.byReference(),
                                &board, &quiet),
              1);
  }
  EXPECT_EQ(data.elements(), before);
  EXPECT_TRUE(transport.traffic().empty());
}

TEST_F(I2CTransactionsTest, WriteRefusingShortDataLeavesTheRegisterBufferAsItWas) {
  data = ByteArray({1, 2});
  registerBuffer = ByteArray({7, 8, 9});
  EXPECT_EQ(write(0x50, 5, 3), 1);
  EXPECT_EQ(registerBuffer.elements(), (std::vector<std::uint8_t>{7, 8, 9}));
  registerBuffer = ByteArray();
  EXPECT_EQ(write(0x50, 5, 3), 1);
  EXPECT_TRUE(registerBuffer.elements().empty());  // still never dimensioned
}

TEST_F(I2CTransactionsTest, InvalidBoardGivesItsMessageAndNoTransfer) {
  EXPECT_EQ(read(0x50, 0, 1, 0, 1), 1);
  EXPECT_EQ(probe(0x50, 0, -1), 1);
  EXPECT_EQ(boxTexts(),
            (std::vector<std::string>{"Invalid HID Number: 1", "Invalid HID Number: -1"}));
  EXPECT_TRUE(transport.traffic().empty());
}

TEST_F(I2CTransactionsTest, ProbeTellsWhetherADeviceAnswersWithoutABox) {
  EXPECT_EQ(probe(0x50, 0), 0);
  EXPECT_EQ(probe(0x20, 7), 0);
  EXPECT_EQ(probe(0x51, 0), 1);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(I2CTransactionsTest, UnansweredAddressShowsItsBoxOnceUnlessQuiet) {
  data = ByteArray({9, 9});
  answerNextBox(KSTHID_IDRETRY);  // changes nothing: the address is still wrong
  EXPECT_EQ(read(0x51, 0x10, 2), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kInvalidAddressBox);
  EXPECT_EQ(boxes[0].style, KSTHID_MB_RETRYCANCEL);
  EXPECT_EQ(data.elements(), (std::vector<std::uint8_t>{0, 0}));
  EXPECT_EQ(writtenTo("a").size(), 1u);

  data = ByteArray({1});
  EXPECT_EQ(write(0x51, 0, 1, -1), 1);
  EXPECT_EQ(read(0x51, 0, 1, 1), 1);
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(I2CTransactionsTest, RetryAfterAFailedWriteReconnectsAndRepeats) {
  eeprom()[0x10] = 0x12;
  transport.setWritesFail("a", true);
  onNextBox([&] {
    transport.setWritesFail("a", false);
    addBoard("b");
    return KSTHID_IDRETRY;
  });
  EXPECT_EQ(read(0x50, 0x10, 1), 0);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{kWriteFailedBox});
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{request({6, 0xA1, 1, 1, 0x10})});
  EXPECT_EQ(data.elements(), std::vector<std::uint8_t>{0x12});
  EXPECT_EQ(libraryState().boardPaths, (std::vector<std::string>{"a", "b"}));  // reconnected

  transport.setWritesFail("a", true);
  data = ByteArray({1});
  EXPECT_EQ(write(0x50, 0, 1, -1), 1);  // Cancel
  EXPECT_EQ(boxTexts().back(), kWriteFailedBox);
}

TEST_F(I2CTransactionsTest, SilentBoardTimesOutOnEveryAttempt) {
  transport.setSilent("a", true);
  answerNextBox(KSTHID_IDRETRY);
  std::int16_t result = 0;
  EXPECT_EQ(elapsedDuring([&] { result = read(0x50, 0, 1, -1); }), 2 * milliseconds(6001));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{kReadFailedBox, kReadFailedBox}));
  EXPECT_EQ(writtenTo("a").size(), 2u);
}

TEST_F(I2CTransactionsTest, RetryAfterTheBoardHasGoneWritesToNoOtherBoard) {
  addBoard("b");
  ASSERT_EQ(connect(), 2);
  transport.setSilent("b", true);
  onNextBox([&] {
    transport.unplug("b");
    return KSTHID_IDRETRY;
  });
  EXPECT_EQ(read(0x50, 0, 1, 0, 1), 1);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{kReadFailedBox, kWriteFailedBox}));
  EXPECT_TRUE(writtenTo("a").empty());
}

// Answers carry nothing that ties them to their request, so one left over
// must not pass for the transaction's.
TEST_F(I2CTransactionsTest, LeftOverAnswerIsNotTakenForTheTransactions) {
  eeprom()[0] = 0x77;
  std::uint8_t options = 0, toggle = 1;
  std::int16_t board = 0;
  kstHID_setI2COptions(&options, &toggle, &board);  // the bridge answers; nobody reads it
  EXPECT_EQ(read(0x50, 0, 1), 0);
  EXPECT_EQ(data.elements(), std::vector<std::uint8_t>{0x77});
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace ksthid::testing
