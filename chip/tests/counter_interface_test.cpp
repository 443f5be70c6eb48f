#include "counter_interface.h"

#include <gtest/gtest.h>

#include "fake_bridge_library.h"

namespace {

using Calls = std::vector<std::string>;

const std::string kUpLow = "value 10 00 #0";
const std::string kAtRestValue = "value 50 00 #0";
const std::string kDownDriven = "config FF FF -1 #0";
const std::string kAtRestConfig = "config BF FF -1 #0";

Calls repeated(const Calls& step, int times) {
  Calls calls;
  for (int i = 0; i < times; ++i) calls.insert(calls.end(), step.begin(), step.end());
  return calls;
}

Calls operator+(Calls first, const Calls& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

Calls upSteps(int times) {
  return repeated({kUpLow, kAtRestValue}, times);
}

Calls downSteps(int times) {
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
  EXPECT_EQ(library.calls, Calls({kAtRestValue, kAtRestConfig}));
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
  EXPECT_EQ(library.calls, Calls({"value 70 00 #0", kAtRestValue}));
}

TEST_F(CounterInterfaceTest, SendStopsAtTheFirstCallTheBoardDoesNotTake) {
  library.failingFromCall = 11;
  EXPECT_FALSE(counter.send(200));
  EXPECT_EQ(library.calls.size(), 12u);
  library.calls.clear();
  library.failingFromCall = 0;
  EXPECT_FALSE(counter.store());
  EXPECT_EQ(library.calls.size(), 3u);
}

// A failed call can leave the counter line in the middle of a pulse, where the next steps
// would not count.
TEST_F(CounterInterfaceTest, AfterAFailureTheNextSendParksFirst) {
  library.failingFromCall = 1;
  EXPECT_FALSE(counter.send(0));
  library.failingFromCall = -1;
  library.calls.clear();
  EXPECT_TRUE(counter.send(0));
  EXPECT_EQ(library.calls, Calls({kAtRestValue, kAtRestConfig}) + downSteps(257));
  library.calls.clear();
  EXPECT_TRUE(counter.send(0));
  EXPECT_EQ(library.calls, downSteps(257));
}

}  // namespace
