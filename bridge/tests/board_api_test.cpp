// ksthid_api.h over virtual boards on a virtual clock: what a handle sends,
// how long it waits, and the codes it returns. No call may show a box.
#include "ksthid_api.h"

#include <thread>

#include "library_fixture.h"

namespace ksthid::testing {
namespace {

using std::chrono::milliseconds;

class BoardApiTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    addBoard("a");
    ASSERT_EQ(ksthid_open("a", &board), 0);
    transport.clearTraffic();
  }

  void TearDown() override {
    ksthid_close(board);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{});
    LibraryTest::TearDown();
  }

  std::size_t readsFrom(const std::string& path) {
    std::size_t reads = 0;
    for (const Traffic& entry : transport.traffic()) {
      reads += entry.direction == Traffic::Direction::read && entry.path == path;
    }
    return reads;
  }

  ksthid_board* board = nullptr;
};

TEST_F(BoardApiTest, EnumerationListsBridgesWithSerialsAndWhyOneCannotBeOpened) {
  transport.addOtherDevice("keyboard", {0x046D, 0xC31C, 0});
  addBoard("b");
  transport.setAttributesUnreadable("b", true);
  ksthid_board_info* list = nullptr;
  ASSERT_EQ(ksthid_enumerate(&list), 2);
  EXPECT_STREQ(list->path, "a");
  EXPECT_EQ(list->error, 0);
  EXPECT_STRNE(list->serial, "");
  EXPECT_STREQ(list->next->path, "b");
  EXPECT_EQ(list->next->error, KSTHID_E_IO);
  EXPECT_STREQ(list->next->error_text, "cannot identify");
  EXPECT_STRNE(list->serial, list->next->serial);
  ksthid_free_enumeration(list);
}

TEST_F(BoardApiTest, OpensByPathOrSerialAndNothingElse) {
  ksthid_board_info* list = nullptr;
  ASSERT_EQ(ksthid_enumerate(&list), 1);
  ksthid_board* bySerial = nullptr;
  EXPECT_EQ(ksthid_open(list->serial, &bySerial), 0);
  EXPECT_STREQ(ksthid_board_path(bySerial), "a");
  ksthid_close(bySerial);
  ksthid_free_enumeration(list);
  ksthid_board* missing = nullptr;
  EXPECT_EQ(ksthid_open("b", &missing), KSTHID_E_NOT_FOUND);
  EXPECT_EQ(ksthid_open("", &missing), KSTHID_E_NOT_FOUND);
  EXPECT_EQ(missing, nullptr);
}

// A set is one report written, with no drain before it; the low byte of
// the value is the first on the wire.
TEST_F(BoardApiTest, GpioWriteIsOneReportAndNoRead) {
  EXPECT_EQ(elapsedDuring([&] { EXPECT_EQ(ksthid_gpio_write(board, 0x1234), 0); }),
            milliseconds(0));
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{request({3, 0, 0x34, 0x12})});
  EXPECT_EQ(readsFrom("a"), 0u);
  std::uint16_t values = 0;
  EXPECT_EQ(ksthid_gpio_read(board, &values), 0);
  EXPECT_EQ(values, 0x1234);
}

TEST_F(BoardApiTest, ArgumentsOutOfRangeAreRefusedBeforeAnythingIsSent) {
  std::uint8_t data[64] = {};
  const struct {
    const char* what;
    int result;
  } cases[] = {
      {"address 0x80", ksthid_i2c_read(board, 0x80, 0, data, 1)},
      {"read of 63", ksthid_i2c_read(board, 0x50, -1, data, 63)},
      {"read of 0", ksthid_i2c_read(board, 0x50, -1, data, 0)},
      {"write of 60", ksthid_i2c_write(board, 0x50, -1, data, 60)},
      {"write of 59 after a register", ksthid_i2c_write(board, 0x50, 0, data, 59)},
      {"register 256", ksthid_i2c_read(board, 0x50, 256, data, 1)},
      {"register -2", ksthid_i2c_read(board, 0x50, -2, data, 1)},
      {"past register 255", ksthid_i2c_read(board, 0x50, 250, data, 6)},
      {"null data", ksthid_i2c_read(board, 0x50, 0, nullptr, 1)},
      {"SPI of 58", ksthid_spi_transfer(board, data, data, 58)},
      {"LED 2", ksthid_leds_write(board, 4)},
      {"option bit 3", ksthid_spi_options_write(board, 8)},
      {"null board", ksthid_gpio_write(nullptr, 0)},
      {"time-out 0", ksthid_set_timeout(board, 0)},
  };
  for (const auto& refused : cases) {
    EXPECT_EQ(refused.result, KSTHID_E_INVALID_ARGUMENT) << refused.what;
  }
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{});
}

TEST_F(BoardApiTest, I2CResultsByTheBridgesStatus) {
  const std::uint8_t written[] = {1, 2, 3};
  std::uint8_t read[3] = {};
  EXPECT_EQ(ksthid_i2c_write(board, 0x50, 0x20, written, 3), 0);
  EXPECT_EQ(ksthid_i2c_read(board, 0x50, 0x20, read, 3), 0);
  EXPECT_EQ(std::vector<std::uint8_t>(read, read + 3), std::vector<std::uint8_t>({1, 2, 3}));
  EXPECT_EQ(ksthid_i2c_probe(board, 0x50), 1);
  EXPECT_EQ(ksthid_i2c_probe(board, 0x33), 0);
  EXPECT_STREQ(ksthid_last_error(board), "");
  EXPECT_EQ(ksthid_i2c_read(board, 0x33, -1, read, 1), KSTHID_E_NACK);
  EXPECT_STREQ(ksthid_last_error(board), "the device at 0x33 did not answer");
}

TEST_F(BoardApiTest, SilentBoardTimesOutAfterTheHandlesTimeOutAndItsLateAnswerIsDrained) {
  ASSERT_EQ(ksthid_set_timeout(board, 250), 0);
  transport.setAnswerDelay("a", milliseconds(300));
  std::uint16_t values = 0;
  EXPECT_EQ(elapsedDuring([&] { EXPECT_EQ(ksthid_gpio_read(board, &values), KSTHID_E_TIMEOUT); }),
            milliseconds(250));
  transport.setAnswerDelay("a", milliseconds(0));
  clock.sleepUntil(clock.now() + milliseconds(100));
  ASSERT_EQ(ksthid_gpio_write(board, 0x00AA), 0);
  EXPECT_EQ(readsFrom("a"), 1u);  // the late answer, drained before the write
  EXPECT_EQ(ksthid_gpio_read(board, &values), 0);
  EXPECT_EQ(values, 0x00AA);
}

TEST_F(BoardApiTest, BoardPulledOutIsGoneAtOnceAndStaysGoneWhenItComesBack) {
  transport.setAnswerDelay("a", milliseconds(1000));
  std::uint16_t values = 0;
  transport.unplug("a");
  EXPECT_LE(elapsedDuring([&] { EXPECT_EQ(ksthid_gpio_read(board, &values), KSTHID_E_GONE); }),
            milliseconds(100));
  transport.plugIn("a");
  EXPECT_EQ(ksthid_gpio_write(board, 0), KSTHID_E_GONE);
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{});
}

TEST_F(BoardApiTest, EachThreadSeesItsOwnLastFailure) {
  std::uint8_t data = 0;
  std::thread([&] { EXPECT_EQ(ksthid_i2c_read(board, 0x33, -1, &data, 1), KSTHID_E_NACK); }).join();
  EXPECT_EQ(ksthid_i2c_read(board, 0x33, -1, &data, 1), KSTHID_E_NACK);
  std::string other;
  std::thread([&] {
    EXPECT_EQ(ksthid_i2c_read(board, 0x50, -1, &data, 1), 0);
    other = ksthid_last_error(board);
  }).join();
  EXPECT_EQ(other, "");
  EXPECT_STREQ(ksthid_last_error(board), "the device at 0x33 did not answer");
}

TEST_F(BoardApiTest, MonitorReportsBoardsLeavingAndArriving) {
  ksthid_monitor* monitor = nullptr;
  ASSERT_EQ(ksthid_monitor_open(&monitor), 0);
  int event = 0;
  ksthid_board_info* info = nullptr;
  EXPECT_EQ(ksthid_monitor_next(monitor, 0, &event, &info), 0);
  transport.unplug("a");
  addBoard("b");  // seen with the next sign
  ASSERT_EQ(ksthid_monitor_next(monitor, 1000, &event, &info), 1);
  EXPECT_EQ(event, KSTHID_LEFT);
  EXPECT_STREQ(info->path, "a");
  ksthid_free_enumeration(info);
  ASSERT_EQ(ksthid_monitor_next(monitor, 1000, &event, &info), 1);
  EXPECT_EQ(event, KSTHID_ARRIVED);
  EXPECT_STREQ(info->path, "b");
  ksthid_free_enumeration(info);
  ksthid_monitor_close(monitor);
}

}  // namespace
}  // namespace ksthid::testing
