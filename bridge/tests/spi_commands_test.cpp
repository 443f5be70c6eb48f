// The SPI options and clock divisor, and SPI transfers to the virtual
// board's serial memory.
#include "byte_array.h"
#include "library_fixture.h"

namespace ksthid::testing {
namespace {

using std::chrono::milliseconds;

VARIANT shortVariant(std::int16_t value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I2;
  v.iVal = value;
  return v;
}

class SPICommandsTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    bridge = &addBoard("a");
    ASSERT_EQ(connect(), 1);
  }

  std::int16_t setOptions(VARIANT options, std::int16_t board = 0) {
    VARIANT boardVariant = shortVariant(board);
    return kstHID_setSPIOptions(&options, &boardVariant);
  }
  std::uint8_t getOptions(std::int16_t board = 0) {
    VARIANT boardVariant = shortVariant(board);
    return kstHID_getSPIOptions(&boardVariant);
  }
  std::int16_t setDivisor(std::uint8_t divisor, std::int16_t board = 0) {
    return kstHID_setSPIClockDivisor(&divisor, &board);
  }
  std::uint8_t getDivisor(std::int16_t board = 0) {
    VARIANT boardVariant = shortVariant(board);
    return kstHID_getSPIClockDivisor(&boardVariant);
  }

  std::int16_t transfer(std::uint8_t byteCount, std::int16_t readBack, std::int16_t spiFlag = 0,
                        std::uint8_t spiParam = 0, std::int16_t board = 0) {
    return kstHID_doSPITransaction(&byteCount, data.byReference(), &readBack, &board, &spiFlag,
                                   &spiParam);
  }

  std::size_t reads() const {
    std::size_t count = 0;
    for (const Traffic& entry : transport.traffic()) {
      count += entry.direction == Traffic::Direction::read;
    }
    return count;
  }

  VirtualBridge* bridge = nullptr;
  ByteArray data;
};

TEST_F(SPICommandsTest, SetOptionsSendsBitsZeroToTwo) {
  EXPECT_EQ(setOptions(shortVariant(0x0F)), 8);
  EXPECT_EQ(setOptions(shortVariant(0x08)), 8);
  EXPECT_EQ(setOptions(shortVariant(-1)), 8);
  EXPECT_EQ(writtenTo("a"),
            (std::vector<Report>{request({7, 0, 7}), request({7, 0, 0}), request({7, 0, 7})}));
  EXPECT_EQ(getOptions(), 7);
}

TEST_F(SPICommandsTest, OptionsBeyondSixteenBitsKeepTheirLowBits) {
  VARIANT wide;
  VariantInit(&wide);
  wide.vt = VT_I4;
  wide.lVal = 0x10006;
  EXPECT_EQ(setOptions(wide), 8);
  wide.vt = VT_R8;
  wide.dblVal = 70005.5;  // 70006
  EXPECT_EQ(setOptions(wide), 8);
  EXPECT_EQ(writtenTo("a"), (std::vector<Report>{request({7, 0, 6}), request({7, 0, 6})}));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(SPICommandsTest, GetOptionsReturnsTheWholeByte) {
  bridge->setSPIOptions(0xA5);
  EXPECT_EQ(getOptions(), 0xA5);
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{request({7, 1})});
}

TEST_F(SPICommandsTest, DivisorGoesOutUnchangedAndComesBackWithTheClockQuery) {
  EXPECT_EQ(setDivisor(255), 0);
  EXPECT_EQ(getDivisor(), 255);
  VARIANT board = shortVariant(0);
  EXPECT_EQ(kstHID_getSystemClockFrequency(&board), 24000);
  EXPECT_EQ(writtenTo("a"),
            (std::vector<Report>{request({8, 0, 255}), request({8, 1}), request({8, 1})}));
}

TEST_F(SPICommandsTest, ResultsForAnInvalidBoardAFailedWriteOrNoNumber) {
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  EXPECT_EQ(setOptions(text), 1);
  EXPECT_EQ(kstHID_setSPIOptions(nullptr, nullptr), 1);
  EXPECT_EQ(kstHID_getSPIOptions(nullptr), 0);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(setOptions(shortVariant(1), 1), 1);
  EXPECT_EQ(setDivisor(4, 1), 1);
  EXPECT_EQ(getOptions(1) + getDivisor(1), 0);
  EXPECT_TRUE(transport.traffic().empty());
  EXPECT_EQ(boxes.size(), 4u);

  bridge->setSPIOptions(0xA5);
  setDivisor(4);
  transport.setWritesFail("a", true);
  EXPECT_EQ(setOptions(shortVariant(1)), 0);
  EXPECT_EQ(setDivisor(4), 0);
  EXPECT_EQ(getOptions() + getDivisor(), 0);
  EXPECT_EQ(boxTexts().back(), kConnectionBox);
}

TEST_F(SPICommandsTest, TransactionSendsItsHeaderAndReadsBackIntoTheArray) {
  bridge->spiSlave().memory()[0x10] = 0xA3;
  data = ByteArray({kSpiMemoryRead, 0x10, 0x00, 0x44});
  EXPECT_EQ(transfer(3, -1, 0, 2), 0);
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{request({9, 0, 1, 0, 2, 3, 0x03, 0x10, 0x00})});
  EXPECT_EQ(data.elements(), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xA3, 0x44}));
}

TEST_F(SPICommandsTest, WriteOnlyTransferReadsNothingAndLeavesTheArray) {
  data = ByteArray({kSpiMemoryWrite, 0x20, 0xDE, 0xAD});
  EXPECT_EQ(transfer(4, 0, -1, 7), 0);
  EXPECT_EQ(writtenTo("a").back(), request({9, 0, 0, 1, 7, 4, 0x02, 0x20, 0xDE, 0xAD}));
  EXPECT_EQ(reads(), 0u);
  EXPECT_EQ(data.elements(), (std::vector<std::uint8_t>{0x02, 0x20, 0xDE, 0xAD}));

  data = ByteArray({kSpiMemoryRead, 0x20, 0, 0});
  EXPECT_EQ(transfer(4, 1), 0);
  EXPECT_EQ(data.elements(), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xDE, 0xAD}));
}

TEST_F(SPICommandsTest, LongestTransferFillsTheReport) {
  data = ByteArray(std::vector<std::uint8_t>(57, 0x5A));
  EXPECT_EQ(transfer(57, -1), 0);
  EXPECT_EQ(writtenTo("a").back()[63], 0x5A);
  EXPECT_EQ(data.elements(), std::vector<std::uint8_t>(57, 0xFF));
}

TEST_F(SPICommandsTest, ArgumentsThatDoNotFitAreRefusedSilently) {
  data = ByteArray({1, 2});
  EXPECT_EQ(transfer(3, -1), 1);
  EXPECT_EQ(transfer(0, -1), 1);
  data = ByteArray(std::vector<std::uint8_t>(60));
  EXPECT_EQ(transfer(58, -1), 1);
  data = ByteArray({1, 2, 3}, 1);
  EXPECT_EQ(transfer(1, -1), 1);
  data = ByteArray();
  EXPECT_EQ(transfer(1, -1), 1);
  std::uint8_t count = 1, param = 0;
  std::int16_t readBack = 0, board = 0, flag = 0;
  EXPECT_EQ(kstHID_doSPITransaction(&count, nullptr, &readBack, &board, &flag, &param), 1);
  EXPECT_EQ(kstHID_doSPITransaction(&count, data.byReference(), &readBack, &board, &flag, nullptr),
            1);
  EXPECT_TRUE(transport.traffic().empty());
  EXPECT_TRUE(boxes.empty());

  data = ByteArray({1});
  EXPECT_EQ(transfer(1, -1, 0, 0, 1), 1);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"Invalid HID Number: 1"});
  EXPECT_TRUE(transport.traffic().empty());
}

// Only a transfer that got as far as reading changes the array.
TEST_F(SPICommandsTest, FailedTransfersReturnZeroAsWell) {
  transport.setWritesFail("a", true);
  data = ByteArray({1, 2, 3, 4});
  EXPECT_EQ(transfer(3, -1), 0);
  EXPECT_EQ(data.elements(), (std::vector<std::uint8_t>{1, 2, 3, 4}));

  transport.setWritesFail("a", false);
  transport.setSilent("a", true);
  std::int16_t result = -1;
  EXPECT_EQ(elapsedDuring([&] { result = transfer(3, -1); }), milliseconds(6001));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(data.elements(), (std::vector<std::uint8_t>{0, 0, 0, 4}));
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{kConnectionBox, kConnectionBox}));
}

}  // namespace
}  // namespace ksthid::testing
