// Threads that share boards, each with state of its own, on boards that keep
// real time: every thread gets the answer to its own request, and none sees a
// connection box.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ksthid.h"
#include "library_state.h"
#include "virtual/virtual_transport.h"

namespace ksthid::testing {
namespace {

constexpr int kCallsPerThread = 40;
constexpr std::uint8_t kFirstTimerCount = 10;
constexpr std::uint8_t kFirstClockDivisor = 20;

struct Sharing {
  std::int16_t boards;
  int threadsPerBoard;
};

class SharedBoardsTest : public ::testing::TestWithParam<Sharing> {
 protected:
  void SetUp() override {
    useTransport(&transport);
    kstHID_setMessageBoxHandler(&countBox, &boxes);
  }
  void TearDown() override {
    kstHID_setMessageBoxHandler(nullptr, nullptr);
    useTransport(nullptr);
  }

  // Two queries whose answers tell the boards apart and each other apart.
  static void setAnswers(std::int16_t board) {
    std::uint8_t timerCount = kFirstTimerCount + board;
    std::uint8_t clockDivisor = kFirstClockDivisor + board;
    kstHID_setSMBusTimerCount(&timerCount, &board);
    kstHID_setSPIClockDivisor(&clockDivisor, &board);
  }
  static bool askedAndAnswered(std::int16_t board, bool timer) {
    if (timer) return kstHID_getSMBusTimerCount(&board) == kFirstTimerCount + board;
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_I2;
    number.iVal = board;
    return kstHID_getSPIClockDivisor(&number) == kFirstClockDivisor + board;
  }

  static int KSTHID_CALL countBox(void* boxes, const char*, const char*, unsigned) {
    ++*static_cast<std::atomic<int>*>(boxes);
    return KSTHID_IDCANCEL;
  }

  SteadyClock clock;
  VirtualTransport transport{clock};
  std::atomic<int> boxes{0};
};

TEST_P(SharedBoardsTest, EveryThreadGetsTheAnswerToItsOwnRequest) {
  const auto [boards, threadsPerBoard] = GetParam();
  for (int board = 0; board < boards; ++board) transport.addBridge("sim:" + std::to_string(board));
  ASSERT_EQ(kstHID_connect(), boards);
  for (std::int16_t board = 0; board < boards; ++board) setAnswers(board);

  std::atomic<int> wrongAnswers{0};
  std::vector<std::thread> threads;
  for (std::int16_t board = 0; board < boards; ++board) {
    for (int thread = 0; thread < threadsPerBoard; ++thread) {
      threads.emplace_back([&wrongAnswers, board, timer = thread % 2 == 0] {
        kstHID_connect();
        for (int call = 0; call < kCallsPerThread; ++call) {
          if (!askedAndAnswered(board, timer)) ++wrongAnswers;
        }
        kstHID_closeHandles();
      });
    }
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrongAnswers, 0);
  EXPECT_EQ(boxes, 0);
}

INSTANTIATE_TEST_SUITE_P(Threads, SharedBoardsTest, ::testing::Values(Sharing{2, 2}, Sharing{1, 2}),
                         [](const auto& info) {
                           return "Boards" + std::to_string(info.param.boards) + "ThreadsEach" +
                                  std::to_string(info.param.threadsPerBoard);
                         });

}  // namespace
}  // namespace ksthid::testing
