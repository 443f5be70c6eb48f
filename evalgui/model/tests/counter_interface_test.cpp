#include "counter_interface.h"

#include <gtest/gtest.h>

#include "fake_bridge_library.h"
#include "qt_printers.h"

namespace {

const QString kUpLow = QStringLiteral("value 10 00 #0");
const QString kAtRestValue = QStringLiteral("value 50 00 #0");
const QString kDownDriven = QStringLiteral("config FF FF -1 #0");
const QString kAtRestConfig = QStringLiteral("config BF FF -1 #0");

QStringList repeated(const QStringList& step, int times) {
  QStringList calls;
  for (int i = 0; i < times; ++i) calls += step;
  return calls;
}

QStringList upSteps(int times) {
  return repeated({kUpLow, kAtRestValue}, times);
}

QStringList downSteps(int times) {
  return repeated({kDownDriven, kAtRestConfig}, times);
}

class CounterInterfaceTest : public testing::Test {
 protected:
  CounterInterfaceTest() {
    counter.park();
    library.calls.clear();
  }

  FakeBridgeLibrary library;
  CounterInterface counter{library, 0};
};

TEST_F(CounterInterfaceTest, ParkingPutsValueThenConfigurationAtRest) {
  counter.park();
  EXPECT_EQ(library.calls, QStringList({kAtRestValue, kAtRestConfig}));
}

TEST_F(CounterInterfaceTest, TargetsFromTheMiddleUpRunToTheTopAndStepDown) {
  EXPECT_TRUE(counter.send(128));
  EXPECT_EQ(library.calls, upSteps(257) + downSteps(127));
  library.calls.clear();
  EXPECT_TRUE(counter.send(255));
  EXPECT_EQ(library.calls, upSteps(257));
}

TEST_F(CounterInterfaceTest, TargetsBelowTheMiddleRunToTheBottomAndStepUp) {
  EXPECT_TRUE(counter.send(127));
  EXPECT_EQ(library.calls, downSteps(257) + upSteps(127));
  library.calls.clear();
  EXPECT_TRUE(counter.send(0));
  EXPECT_EQ(library.calls, downSteps(257));
}

TEST_F(CounterInterfaceTest, TargetsBeyondTheRangeCountAsItsEnds) {
  EXPECT_TRUE(counter.send(-3));
  EXPECT_EQ(library.calls, downSteps(257));
  library.calls.clear();
  EXPECT_TRUE(counter.send(300));
  EXPECT_EQ(library.calls, upSteps(257));
}

TEST_F(CounterInterfaceTest, ProgressCountsEveryStepOfTheSend) {
  std::vector<std::pair<int, int>> told;
  EXPECT_TRUE(counter.send(200, [&](int done, int inAll) { told.emplace_back(done, inAll); }));
  ASSERT_EQ(told.size(), 257u + 55u);
  for (std::size_t i = 0; i < told.size(); ++i) {
    EXPECT_EQ(told[i], std::make_pair(static_cast<int>(i) + 1, 257 + 55));
  }
}

TEST_F(CounterInterfaceTest, StoreRaisesTheStoreLineThenPutsItBack) {
  EXPECT_TRUE(counter.store());
  EXPECT_EQ(library.calls, QStringList({QStringLiteral("value 70 00 #0"), kAtRestValue}));
}

TEST_F(CounterInterfaceTest, SendStopsAtTheFirstCallTheBoardDoesNotTake) {
  library.failingFromCall = 11;
  EXPECT_FALSE(counter.send(200));
  EXPECT_EQ(library.calls.size(), 12);
  library.calls.clear();
  library.failingFromCall = 0;
  EXPECT_FALSE(counter.store());
  EXPECT_EQ(library.calls.size(), 3);
}

// A failed call can leave the counter line in the middle of a pulse, where the next steps
// would not count.
TEST_F(CounterInterfaceTest, AfterAFailureTheNextSendParksFirst) {
  library.failingFromCall = 1;
  EXPECT_FALSE(counter.send(0));
  library.failingFromCall = -1;
  library.calls.clear();
  EXPECT_TRUE(counter.send(0));
  EXPECT_EQ(library.calls, QStringList({kAtRestValue, kAtRestConfig}) + downSteps(257));
  library.calls.clear();
  EXPECT_TRUE(counter.send(0));
  EXPECT_EQ(library.calls, downSteps(257));
}

}  // namespace
