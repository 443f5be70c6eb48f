// Setting and reading the bridge's GPIO pins.
#include "library_fixture.h"

namespace ksthid::testing {
namespace {

class GpioCommandsTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    addBoard("a");
    ASSERT_EQ(connect(), 1);
  }

  void TearDown() override {
    SafeArrayDestroy(array);
    LibraryTest::TearDown();
  }

  std::vector<std::uint8_t> elements() const {
    const auto* data = static_cast<const std::uint8_t*>(array->pvData);
    return {data, data + array->rgsabound[0].cElements};
  }

  SAFEARRAY* array = nullptr;
};

TEST_F(GpioCommandsTest, SetConfigurationSendsTheBytesUnchanged) {
  EXPECT_EQ(setGpioConfiguration(191, 255, -1, 0), 8);
  EXPECT_EQ(writtenTo("a").back(), request({2, 0, 191, 255, 1}));
  for (const std::int16_t flag : {2, 1}) {
    setGpioConfiguration(0xFF, 0xFF, flag, 0);
    EXPECT_EQ(writtenTo("a").back(), request({2, 0, 0xFF, 0xFF, 1}));
  }
  setGpioConfiguration(0xFF, 0xFF, 0, 0);
  EXPECT_EQ(writtenTo("a").back(), request({2, 0, 0xFF, 0xFF, 0}));
}

TEST_F(GpioCommandsTest, SetValueSendsTheBytesUnchanged) {
  EXPECT_EQ(setGpioValue(80, 0, 0), 8);
  EXPECT_EQ(setGpioValue(0x10, 0, 0), 8);
  EXPECT_EQ(setGpioValue(0x70, 0, 0), 8);
  EXPECT_EQ(writtenTo("a"), (std::vector<Report>{request({3, 0, 0x50, 0}), request({3, 0, 0x10, 0}),
                                                 request({3, 0, 0x70, 0})}));
}

TEST_F(GpioCommandsTest, SettersReturnZeroForAnInvalidBoardOrAFailedWrite) {
  EXPECT_EQ(setGpioValue(80, 0, 1), 0);
  EXPECT_EQ(setGpioConfiguration(191, 255, -1, -1), 0);
  EXPECT_TRUE(transport.traffic().empty());
  transport.setWritesFail("a", true);
  EXPECT_EQ(setGpioValue(80, 0, 0), 0);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Invalid HID Number: 1", "Invalid HID Number: -1",
                                                  kConnectionBox}));
}

TEST_F(GpioCommandsTest, GetConfigurationReadsBackWhatWasSet) {
  array = SafeArrayCreateVector(VT_UI1, 0, 9);
  setGpioConfiguration(0xBF, 0xFF, -1, 0);
  std::int16_t board = 0;
  EXPECT_EQ(kstHID_getGPIOConfiguration(&array, &board), 1);
  EXPECT_EQ(writtenTo("a").back(), request({2, 1}));
  EXPECT_EQ(elements(), (std::vector<std::uint8_t>{0xBF, 0xFF, 0x01, 0x00}));
}

TEST_F(GpioCommandsTest, GetValueCreatesANeverDimensionedArray) {
  setGpioValue(0x50, 0x07, 0);
  std::int16_t flag = -1, board = 0;
  EXPECT_EQ(kstHID_getGPIOValue(&array, &flag, &board), 1);
  EXPECT_EQ(writtenTo("a").back(), request({3, 1, 1}));
  EXPECT_EQ(elements(), (std::vector<std::uint8_t>{0x50, 0x07, 0x00}));
  EXPECT_EQ(array->rgsabound[0].lLbound, 0);
}

TEST_F(GpioCommandsTest, GettersResizeEvenForAnInvalidBoard) {
  std::int16_t board = 4;
  EXPECT_EQ(kstHID_getGPIOConfiguration(&array, &board), 0);
  EXPECT_EQ(elements(), (std::vector<std::uint8_t>{0, 0, 0, 0}));
  EXPECT_TRUE(transport.traffic().empty());
}

TEST_F(GpioCommandsTest, GettersGiveZerosAfterAFailedWrite) {
  setGpioValue(0x50, 0x07, 0);
  transport.setWritesFail("a", true);
  std::int16_t flag = 0, board = 0;
  EXPECT_EQ(kstHID_getGPIOValue(&array, &flag, &board), 1);
  EXPECT_EQ(elements(), (std::vector<std::uint8_t>{0, 0, 0}));
  EXPECT_EQ(kstHID_getGPIOConfiguration(&array, &board), 1);
  EXPECT_EQ(elements(), (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST_F(GpioCommandsTest, ArraysThatCannotTakeTheResultAreRefusedWithoutIo) {
  std::int16_t board = 0, flag = 0;
  EXPECT_EQ(kstHID_getGPIOConfiguration(nullptr, &board), 0);
  EXPECT_EQ(kstHID_getGPIOValue(&array, nullptr, &board), 0);
  SAFEARRAY matrix{};
  matrix.cDims = 2;
  matrix.cbElements = 1;
  SAFEARRAY* wrongShape = &matrix;
  EXPECT_EQ(kstHID_getGPIOValue(&wrongShape, &flag, &board), 0);
  SAFEARRAY* locked = SafeArrayCreateVector(VT_UI1, 0, 2);
  void* data = nullptr;
  SafeArrayAccessData(locked, &data);
  EXPECT_EQ(kstHID_getGPIOValue(&locked, &flag, &board), 0);
  SafeArrayUnaccessData(locked);
  SafeArrayDestroy(locked);
  EXPECT_TRUE(transport.traffic().empty());
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace ksthid::testing
