// A board's lock across processes on hidraw nodes: two transports stand for
// two programs, each with descriptors of its own on the node.
#include <future>
#include <thread>

#include "board.h"
#include "hidraw_fixture.h"

namespace ksthid::testing {
namespace {

using namespace std::chrono_literals;

class HidrawBoardLockTest : public HidrawTransportTest {
 protected:
  void SetUp() override {
    HidrawTransportTest::SetUp();
    if (!fs) return;
    fs->addBridge("hidraw0");
    fs->addBridge("hidraw1");
    otherProgram = std::make_unique<HidrawTransport>(fs->sysRoot(), fs->devRoot());
    other = otherProgram->open(fs->node("hidraw0"));
    ASSERT_NE(other, nullptr);
  }

  Board boardOn(const std::string& name) {
    return Board(fs->node(name), "", hidraw->open(fs->node(name)));
  }

  std::unique_ptr<HidrawTransport> otherProgram;
  std::unique_ptr<DeviceHandle> other;
};

TEST_F(HidrawBoardLockTest, OneDescriptorHoldsANodeUntilItLetsGoOrCloses) {
  openDevice("hidraw0");
  EXPECT_TRUE(device->lockDevice(false));
  EXPECT_FALSE(other->lockDevice(false));
  const auto elsewhere = hidraw->open(fs->node("hidraw1"));
  EXPECT_TRUE(elsewhere->lockDevice(false));

  device->unlockDevice();
  EXPECT_TRUE(other->lockDevice(false));
  EXPECT_FALSE(device->lockDevice(false));
  other.reset();  // as when its program ends
  EXPECT_TRUE(device->lockDevice(false));
}

// Every thread has boards of its own on one node: the process takes the lock
// once, through the outermost hold, and the boards inside it do not shut
// each other out.
TEST_F(HidrawBoardLockTest, BoardsOfOneProcessShareItsHoldAndLetGoWithTheLast) {
  Board first = boardOn("hidraw0");
  Board second = boardOn("hidraw0");
  Report answer{};
  {
    auto held = first.hold();
    EXPECT_FALSE(other->lockDevice(false));
    EXPECT_EQ(second.query(request({kCommandLeds, 1}), answer), 0);
    auto moved = std::move(held);
    EXPECT_FALSE(other->lockDevice(false));
  }
  EXPECT_TRUE(other->lockDevice(false));
  other->unlockDevice();
}

// Answers to another program's requests reach every descriptor: they are
// dropped before the request, without the drain's wait.
TEST_F(HidrawBoardLockTest, WhatCameBeforeTheRequestIsNotTakenForItsAnswer) {
  Board board = boardOn("hidraw0");
  Report fresh{}, answer{};
  ASSERT_EQ(board.query(request({kCommandLeds, 1}), fresh), 0);
  fs->queueReport("hidraw0", ledAnswer(3));
  fs->queueReport("hidraw0", ledAnswer(3));
  onVirtualClock = true;
  const Microseconds waited = elapsedDuring([&] {
    EXPECT_EQ(board.query(request({kCommandLeds, 1}), answer), 0);
  });
  EXPECT_EQ(answer, fresh);
  EXPECT_EQ(waited, Microseconds(0));
}

// A program that holds the board is waited for, however long, and the
// request goes out only once it has let go.
TEST_F(HidrawBoardLockTest, ExchangeWaitsForAnotherProgramThatHoldsTheBoard) {
  ASSERT_TRUE(other->lockDevice(false));
  fs->queueReport("hidraw0", ledAnswer(3));  // its answer, still to come
  auto led = std::async(std::launch::async, [] {
    // The HIDnumbers of a thread are its own.
    return connect() == 2 ? getLed(0, 0) : -1;
  });
  EXPECT_EQ(led.wait_for(100ms), std::future_status::timeout);
  EXPECT_TRUE(fs->writtenTo("hidraw0").empty());
  other->unlockDevice();
  EXPECT_EQ(led.get(), 0);
  EXPECT_EQ(fs->writtenTo("hidraw0"), std::vector<Report>{request({1, 1})});
}

}  // namespace
}  // namespace ksthid::testing
