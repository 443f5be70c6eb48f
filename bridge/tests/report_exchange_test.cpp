// The exchange of reports: draining, bounded waits, result codes and the
// USB error boxes.
#include "report_exchange.h"

#include "library_fixture.h"

namespace ksthid::testing {
namespace {

using std::chrono::milliseconds;

class ReportExchangeTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    addBoard("a");
    ASSERT_EQ(connect(), 1);
  }

  Board& board() { return *libraryState().boardHandles[0]; }

  Report answer(std::uint8_t status) {
    Report report{};
    report[0] = 1;
    report[1] = status;
    report[2] = 0x42;
    return report;
  }

  std::size_t readsFrom(const std::string& path) {
    std::size_t reads = 0;
    for (const Traffic& entry : transport.traffic()) {
      reads += entry.direction == Traffic::Direction::read && entry.path == path;
    }
    return reads;
  }
};

TEST_F(ReportExchangeTest, DrainWithNothingWaitingCostsOneMillisecond) {
  EXPECT_EQ(elapsedDuring([&] { drainInput(board()); }), milliseconds(1));
}

TEST_F(ReportExchangeTest, DrainConsumesEveryStaleReport) {
  transport.sendUnsolicited("a", answer(7));
  transport.sendUnsolicited("a", answer(8));
  EXPECT_EQ(elapsedDuring([&] { drainInput(board()); }), milliseconds(1));
  EXPECT_EQ(readsFrom("a"), 2u);
}

// The drain gives up after 64 stale reports and the command goes on.
TEST_F(ReportExchangeTest, BoardThatNeverStopsSendingCannotHoldACommandInItsDrain) {
  for (int report = 0; report < 1000; ++report) transport.sendUnsolicited("a", answer(7));
  EXPECT_EQ(setGpioValue(0x50, 0, 0), 8);
  EXPECT_EQ(readsFrom("a"), 64u);
  EXPECT_EQ(writtenTo("a"), std::vector<Report>{request({3, 0, 0x50, 0})});
}

TEST_F(ReportExchangeTest, ReadResponseDecodesTheStatusByte) {
  Report report{};
  transport.sendUnsolicited("a", answer(0));
  EXPECT_EQ(readResponse(board(), report), kXferOk);
  EXPECT_EQ(report[2], 0x42);
  transport.sendUnsolicited("a", answer(0x01));
  EXPECT_EQ(readResponse(board(), report), kXferDeviceError);
  transport.sendUnsolicited("a", answer(0xFF));
  EXPECT_EQ(readResponse(board(), report), kXferDeviceError);
}

TEST_F(ReportExchangeTest, SilentBoardTimesOutAfterSixSecondsWithAClearedReport) {
  Report report;
  report.fill(0xEE);
  std::int16_t result = 0;
  EXPECT_EQ(elapsedDuring([&] { result = readResponse(board(), report); }), milliseconds(6000));
  EXPECT_EQ(result, kXferReadFailed);
  EXPECT_EQ(report, Report{});
}

TEST_F(ReportExchangeTest, QueryToASilentBoardShowsTheConnectionBox) {
  transport.setSilent("a", true);
  SAFEARRAY* values = nullptr;
  std::int16_t flag = 0, board = 0;
  EXPECT_EQ(kstHID_getGPIOValue(&values, &flag, &board), 1);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{kConnectionBox});
  EXPECT_EQ(values->rgsabound[0].cElements, 3u);
  EXPECT_EQ(static_cast<std::uint8_t*>(values->pvData)[0], 0);
  SafeArrayDestroy(values);
}

TEST_F(ReportExchangeTest, LateAnswerIsDrainedBeforeTheNextQuery) {
  transport.setAnswerDelay("a", milliseconds(7000));
  EXPECT_EQ(getLed(0, 0), 0);  // times out
  transport.setAnswerDelay("a", milliseconds(0));
  clock.sleepUntil(clock.now() + milliseconds(2000));  // the late LED answer arrives now

  SAFEARRAY* values = nullptr;
  std::int16_t flag = 0, board = 0;
  kstHID_getGPIOValue(&values, &flag, &board);
  const auto* bytes = static_cast<std::uint8_t*>(values->pvData);
  EXPECT_EQ(bytes[0], 0xFF);  // the GPIO answer, not the stale LED one
  EXPECT_EQ(bytes[1], 0xFF);
  EXPECT_EQ(readsFrom("a"), 2u);
  SafeArrayDestroy(values);
}

TEST_F(ReportExchangeTest, EveryRequestIsSixtyFourBytesWithUnsetBytesZero) {
  setGpioValue(0x50, 0x00, 0);
  const auto written = writtenTo("a");
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(written[0], request({3, 0, 0x50, 0x00}));
}

TEST_F(ReportExchangeTest, DeviceErrorBoxOnlyWhenNotQuiet) {
  EXPECT_EQ(reportTransferError(kXferDeviceError, -1), 0);
  EXPECT_TRUE(boxes.empty());
  answerNextBox(KSTHID_IDRETRY);
  EXPECT_EQ(reportTransferError(kXferDeviceError, 0), KSTHID_IDRETRY);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Invalid I2C address. Press Retry to return to GUI and enter valid address or Cancel.");
  EXPECT_EQ(boxes[0].style, KSTHID_MB_RETRYCANCEL);
}

TEST_F(ReportExchangeTest, UsbErrorBoxesNameTheFailedCallWhateverQuietIs) {
  EXPECT_EQ(reportTransferError(kXferReadFailed, -1), KSTHID_IDCANCEL);
  EXPECT_EQ(reportTransferError(kXferWriteFailed, 0), KSTHID_IDCANCEL);
  EXPECT_EQ(reportTransferError(kXferOk, 0), 0);
  EXPECT_EQ(reportTransferError(3, 0), 0);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{
                            "Please check USB connection.\r\nUSB ReadFile error.",
                            "Please check USB connection.\r\nUSB WriteFile error.",
                        }));
}

TEST_F(ReportExchangeTest, UsbErrorRetryReconnects) {
  addBoard("b");
  answerNextBox(KSTHID_IDRETRY);
  reportTransferError(kXferWriteFailed, 0);
  EXPECT_EQ(libraryState().boardPaths, (std::vector<std::string>{"a", "b"}));
}

// A Retry reconnects and may renumber the boards; the command still goes to
// its own board, or nowhere when that board has gone.
TEST_F(ReportExchangeTest, AfterRetryACommandGoesToItsOwnBoard) {
  addBoard("b");
  addBoard("c");
  ASSERT_EQ(connect(), 3);
  transport.setSilent("b", true);
  onNextBox([&] {
    transport.unplug("a");
    return KSTHID_IDRETRY;
  });
  setLed(1, 0, 1);  // its LED query to b times out; a goes, b becomes board 0

  EXPECT_EQ(libraryState().boardPaths, (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(writtenTo("b").back(), request({1, 0, 1}));
  EXPECT_TRUE(writtenTo("c").empty());
}

TEST_F(ReportExchangeTest, AfterRetryACommandWhoseBoardHasGoneWritesNothing) {
  addBoard("b");
  ASSERT_EQ(connect(), 2);
  transport.setSilent("a", true);
  onNextBox([&] {
    transport.unplug("a");
    return KSTHID_IDRETRY;
  });
  transport.clearTraffic();
  setLed(1, 0, 0);

  EXPECT_EQ(libraryState().boardPaths, (std::vector<std::string>{"b"}));
  EXPECT_TRUE(writtenTo("b").empty());
  EXPECT_EQ(writtenTo("a").size(), 1u);  // only the LED query before it went
}

}  // namespace
}  // namespace ksthid::testing
