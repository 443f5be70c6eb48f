// Finding the boards, keeping their numbers, and the checks every command
// makes first.
#include "connection.h"

#include <thread>

#include "ksthid_api.h"

#include "library_fixture.h"

namespace ksthid::testing {
namespace {

using ConnectionTest = LibraryTest;

TEST_F(ConnectionTest, NoBridgeAttachedFindsNothingAndSaysNothing) {
  transport.addOtherDevice("mouse", {0x046D, 0xC077, 1});
  EXPECT_EQ(connect(), 0);
  EXPECT_TRUE(libraryState().boardPaths.empty());
  EXPECT_TRUE(libraryState().boardHandles.empty());
  EXPECT_EQ(transport.openDevices("mouse"), 0);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ConnectionTest, OpensEveryBridgeAndClosesOtherDevices) {
  addBoard("a");
  transport.addOtherDevice("keyboard", {0x3A5C, 0x0001, 1});
  addBoard("b");
  transport.addOtherDevice("broken", {});
  transport.setAttributesUnreadable("broken", true);

  EXPECT_EQ(connect(), 2);
  EXPECT_EQ(libraryState().boardPaths, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(transport.openDevices("a"), 1);
  EXPECT_EQ(transport.openDevices("b"), 1);
  EXPECT_EQ(transport.openDevices("keyboard"), 0);
  EXPECT_EQ(transport.openDevices("broken"), 0);
}

TEST_F(ConnectionTest, ReconnectKeepsBoardNumbersAndClosesPreviousHandles) {
  addBoard("a");
  addBoard("b");
  ASSERT_EQ(connect(), 2);
  EXPECT_EQ(connect(), 2);
  EXPECT_EQ(libraryState().boardPaths, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(transport.openDevices("a"), 1);
  EXPECT_EQ(transport.openDevices("b"), 1);
}

TEST_F(ConnectionTest, UnpluggedBoardDropsOutAndNewBoardComesLast) {
  addBoard("a");
  addBoard("b");
  ASSERT_EQ(connect(), 2);
  transport.unplug("a");
  addBoard("c");

  EXPECT_EQ(connect(), 2);
  EXPECT_EQ(libraryState().boardPaths, (std::vector<std::string>{"b", "c"}));
  setGpioValue(0x50, 0, 0);
  EXPECT_EQ(writtenTo("b").size(), 1u);

  transport.plugIn("a");
  EXPECT_EQ(connect(), 3);
  EXPECT_EQ(libraryState().boardPaths, (std::vector<std::string>{"b", "c", "a"}));
}

TEST_F(ConnectionTest, KnownBoardKeepsItsNumberAheadOfEarlierEnumeratedNewOnes) {
  addBoard("b");
  ASSERT_EQ(connect(), 1);
  transport.unplug("b");
  addBoard("a");
  transport.plugIn("b");  // now enumerated after a
  EXPECT_EQ(connect(), 2);
  EXPECT_EQ(libraryState().boardPaths, (std::vector<std::string>{"b", "a"}));
}

// Plugged back while its old node was still held open, a board comes back at
// another node; its serial number tells that it is the board it was.
TEST_F(ConnectionTest, BoardBackAtAnotherPathKeepsItsNumber) {
  addBoard("a");
  addBoard("b");
  ASSERT_EQ(connect(), 2);
  const std::string serialNumber = transport.describe("a")->serialNumber;
  transport.unplug("a");
  addBoard("a-again");
  transport.setSerialNumber("a-again", serialNumber);

  EXPECT_EQ(connect(), 2);
  EXPECT_EQ(libraryState().boardPaths, (std::vector<std::string>{"a-again", "b"}));
  setGpioValue(0x50, 0, 0);
  EXPECT_EQ(writtenTo("a-again").size(), 1u);
}

TEST_F(ConnectionTest, BoardPulledOutMidwayFailsItsWritesAndDropsOut) {
  addBoard("a");
  transport.unplugAfter("a", 2);
  ASSERT_EQ(connect(), 1);
  EXPECT_EQ(setGpioValue(0x50, 0, 0), 8);
  EXPECT_EQ(setGpioValue(0x10, 0, 0), 8);
  answerNextBox(KSTHID_IDRETRY);
  EXPECT_EQ(setGpioValue(0x50, 0, 0), 0);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{kConnectionBox});
  EXPECT_TRUE(libraryState().boardPaths.empty());
}

TEST_F(ConnectionTest, ValidateHidNumberNamesTheBadNumber) {
  addBoard("a");
  ASSERT_EQ(connect(), 1);
  EXPECT_EQ(validateHidNumber(0), 0);
  EXPECT_TRUE(boxes.empty());

  EXPECT_EQ(validateHidNumber(-1), 1);
  EXPECT_EQ(validateHidNumber(1), 1);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Invalid HID Number: -1");
  EXPECT_EQ(boxes[1].text, "Invalid HID Number: 1");
  EXPECT_EQ(boxes[1].caption, "ksthid");
  EXPECT_EQ(boxes[1].style, KSTHID_MB_OK);
}

TEST_F(ConnectionTest, CheckStatusPassesWrittenReportsSilently) {
  EXPECT_EQ(checkStatus(1), 8);
  EXPECT_EQ(checkStatus(-7), 8);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ConnectionTest, CheckStatusCancelLeavesTheBoardsAsTheyWere) {
  addBoard("a");
  ASSERT_EQ(connect(), 1);
  addBoard("b");
  answerNextBox(KSTHID_IDCANCEL);

  EXPECT_EQ(checkStatus(0), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kConnectionBox);
  EXPECT_EQ(boxes[0].style, KSTHID_MB_RETRYCANCEL);
  EXPECT_EQ(libraryState().boardPaths.size(), 1u);
}

TEST_F(ConnectionTest, CheckStatusRetryReconnects) {
  addBoard("a");
  ASSERT_EQ(connect(), 1);
  addBoard("b");
  answerNextBox(KSTHID_IDRETRY);

  EXPECT_EQ(checkStatus(0), 0);
  EXPECT_EQ(libraryState().boardPaths, (std::vector<std::string>{"a", "b"}));
}

// The path of a HIDnumber as a caller's buffer gets it: the numbering of the last connect, not
// the system's order.
std::string pathOf(int hidNumber) {
  char path[8];
  const int length = ksthid_hid_number_path(hidNumber, path, sizeof path);
  return length < 0 ? ksthid_strerror(length) : path;
}

TEST_F(ConnectionTest, HidNumberPathTellsTheNumberingOfTheLastConnect) {
  addBoard("a");
  addBoard("b");
  EXPECT_EQ(pathOf(0), ksthid_strerror(KSTHID_E_NOT_FOUND));  // nothing connected yet
  ASSERT_EQ(connect(), 2);
  transport.unplug("a");
  ASSERT_EQ(connect(), 1);
  transport.plugIn("a");
  EXPECT_EQ(pathOf(1), ksthid_strerror(KSTHID_E_NOT_FOUND));  // not connected again yet
  ASSERT_EQ(connect(), 2);
  EXPECT_EQ(pathOf(0), "b");
  EXPECT_EQ(pathOf(1), "a");
  for (const int beyond : {-1, 2, 32767}) {
    EXPECT_EQ(pathOf(beyond), ksthid_strerror(KSTHID_E_NOT_FOUND)) << beyond;
  }
  std::string seenByOtherThread;
  std::thread([&] { seenByOtherThread = pathOf(0); }).join();
  EXPECT_EQ(seenByOtherThread, ksthid_strerror(KSTHID_E_NOT_FOUND));
  EXPECT_TRUE(boxes.empty());
}

// Too small a buffer gets "" and the length it would take; nothing is written beyond it.
TEST_F(ConnectionTest, HidNumberPathNeverWritesBeyondTheBuffer) {
  addBoard("board");
  ASSERT_EQ(connect(), 1);
  EXPECT_EQ(ksthid_hid_number_path(0, nullptr, 0), 5);
  EXPECT_EQ(ksthid_hid_number_path(0, nullptr, 6), KSTHID_E_INVALID_ARGUMENT);
  char buffer[7] = "xxxxxx";
  EXPECT_EQ(ksthid_hid_number_path(0, buffer, 5), 5);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(buffer[1], 'x');
  EXPECT_EQ(ksthid_hid_number_path(0, buffer, 6), 5);
  EXPECT_STREQ(buffer, "board");
}

TEST_F(ConnectionTest, CloseHandlesClosesOnceAndKeepsThePaths) {
  kstHID_closeHandles();  // nothing connected: nothing to do
  addBoard("a");
  ASSERT_EQ(connect(), 1);

  kstHID_closeHandles();
  EXPECT_EQ(transport.openDevices("a"), 0);
  EXPECT_EQ(libraryState().boardPaths, (std::vector<std::string>{"a"}));
  kstHID_closeHandles();
  EXPECT_EQ(connect(), 1);
  EXPECT_EQ(transport.openDevices("a"), 1);
}

TEST_F(ConnectionTest, EachThreadHasItsOwnBoardLists) {
  addBoard("a");
  ASSERT_EQ(connect(), 1);
  std::int16_t seenByOtherThread = -1;
  std::thread([&] { seenByOtherThread = validateHidNumber(0); }).join();
  EXPECT_EQ(seenByOtherThread, 1);  // it has connected nothing
  EXPECT_EQ(validateHidNumber(0), 0);
}

TEST_F(ConnectionTest, ThreadThatEndsClosesOnlyItsOwnBoards) {
  addBoard("a");
  addBoard("b");
  ASSERT_EQ(connect(), 2);
  std::vector<std::thread> threads;
  for (int i = 0; i < 50; ++i) threads.emplace_back([] { connect(); });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(transport.openDevices("a") + transport.openDevices("b"), 2);  // this thread's
  EXPECT_EQ(setGpioValue(0x50, 0, 1), kXferOk);
}

// Every export with every kind of board number, before and after the
// handles are closed: nothing reaches beyond the lists (the sanitizers
// watch), and a closed board gets no I/O.
TEST_F(ConnectionTest, NoBoardNumberReachesBeyondTheLists) {
  addBoard("a");
  ASSERT_EQ(connect(), 1);
  kstHID_closeHandles();
  transport.clearTraffic();
  for (const std::int16_t board : {std::int16_t{-32768}, std::int16_t{-1}, std::int16_t{0},
                                   std::int16_t{1}, std::int16_t{32767}}) {
    EXPECT_EQ(setGpioValue(0x50, 0, board), 0);
    EXPECT_EQ(setGpioConfiguration(0xBF, 0xFF, -1, board), 0);
    EXPECT_EQ(getLed(0, board), 0);
    setLed(1, 0, board);
    std::int16_t hid = board;
    kstHID_indicateSelectedModule(&hid);
    kstHID_showVersion(&hid);
    SAFEARRAY* values = nullptr;
    std::int16_t flag = 0;
    kstHID_getGPIOValue(&values, &flag, &hid);
    SafeArrayDestroy(values);
  }
  EXPECT_TRUE(transport.traffic().empty());
}

}  // namespace
}  // namespace ksthid::testing
