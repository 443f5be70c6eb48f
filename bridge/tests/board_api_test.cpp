// ksthid_api.h over virtual boards on a virtual clock: what a handle sends,
// how long it waits, and the codes it returns. No call may show a box.
#include "ksthid_api.h"

#include <functional>
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

// Each refusal names the argument and why, for the calling thread.
TEST_F(BoardApiTest, ArgumentsOutOfRangeAreRefusedBeforeAnythingIsSentAndNamed) {
  std::uint8_t data[64] = {};
  std::uint8_t* none = nullptr;
  const struct {
    std::function<int()> call;
    const char* lastError;
  } cases[] = {
      {[&] { return ksthid_i2c_read(board, 0x80, 0, data, 1); },
       "address 128 is out of range: 0 to 127"},
      {[&] { return ksthid_i2c_read(board, 0x50, -1, data, 63); },
       "count 63 is out of range: 1 to 62"},
      {[&] { return ksthid_i2c_read(board, 0x50, -1, data, 0); },
       "count 0 is out of range: 1 to 62"},
      {[&] { return ksthid_i2c_write(board, 0x50, -1, data, 60); },
       "count 60 is out of range: 1 to 59"},
      {[&] { return ksthid_i2c_write(board, 0x50, 0, data, 59); },
       "count 59 is out of range: 1 to 58"},
      {[&] { return ksthid_i2c_read(board, 0x50, 300, data, 1); },
       "register 300 is out of range: -1 (none) or 0 to 255"},
      {[&] { return ksthid_i2c_read(board, 0x50, -2, data, 1); },
       "register -2 is out of range: -1 (none) or 0 to 255"},
      {[&] { return ksthid_i2c_read(board, 0x50, 250, data, 6); },
       "register 250 + count 6 passes register 255"},
      {[&] { return ksthid_i2c_read(board, 0x50, 0, none, 1); }, "data is null"},
      {[&] { return ksthid_spi_transfer(board, data, data, 58); },
       "count 58 is out of range: 1 to 57"},
      {[&] { return ksthid_spi_transfer_flagged(board, data, data, 1, 2, 0); },
       "flag 2 is out of range: 0 or 1"},
      {[&] { return ksthid_leds_write(board, 9); },
       "leds 9 is out of range: 0 to 3 (bit 0 is LED 0, bit 1 LED 1)"},
      {[&] { return ksthid_leds_read(board, none); }, "leds is null"},
      {[&] { return ksthid_gpio_configure(board, 0, 5); }, "flag 5 is out of range: 0 or 1"},
      {[&] { return ksthid_spi_options_write(board, 8); }, "options 8 is out of range: 0 to 7"},
      {[&] { return ksthid_set_timeout(board, 0); }, "time-out 0 is out of range: 1 to 600000 ms"},
  };
  for (const auto& refused : cases) {
    ASSERT_EQ(ksthid_gpio_write(board, 0), 0);  // clears the last error
    transport.clearTraffic();
    EXPECT_EQ(refused.call(), KSTHID_E_INVALID_ARGUMENT) << refused.lastError;
    EXPECT_STREQ(ksthid_last_error(board), refused.lastError);
    EXPECT_EQ(writtenTo("a"), std::vector<Report>{}) << refused.lastError;
  }
  EXPECT_EQ(ksthid_gpio_write(nullptr, 0), KSTHID_E_INVALID_ARGUMENT);
  // Another thread's refusal is its own.
  ASSERT_EQ(ksthid_gpio_write(board, 0), 0);
  std::thread([&] { EXPECT_EQ(ksthid_leds_write(board, 9), KSTHID_E_INVALID_ARGUMENT); }).join();
  EXPECT_STREQ(ksthid_last_error(board), "");
}

// The flag and parameter bytes travel in the transfer's request, after the read-back byte.
TEST_F(BoardApiTest, SpiTransferCarriesItsFlagAndParameter) {
  std::uint8_t data[2] = {0x9F, 0};
  ASSERT_EQ(ksthid_spi_transfer_flagged(board, data, nullptr, 2, 1, 0x5A), 0);
  ASSERT_EQ(ksthid_spi_transfer(board, data, nullptr, 2), 0);
  const std::vector<Report> written = writtenTo("a");
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[0], spiRequest(0, 1, 0x5A, data));
  EXPECT_EQ(written[1], spiRequest(0, 0, 0, data));
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
