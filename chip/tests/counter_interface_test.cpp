#include "counter_interface.h"

#include <gtest/gtest.h>

#include "fake_gpio_port.h"

namespace {

using Calls = std::vector<std::string>;
using End = CounterInterface::End;
constexpr End kDone = End::done;
constexpr End kNotTaken = End::notTaken;

const std::string kUpLow = "value 10 00";
const std::string kAtRestValue = "value 50 00";
const std::string kDownDriven = "config FF FF flag";
const std::string kAtRestConfig = "config BF FF flag";

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
    port.calls.clear();
  }

  FakeGpioPort port;
  CounterInterface counter{port};
};

TEST_F(CounterInterfaceTest, ParkingPutsValueThenConfigurationAtRest) {
  counter.park();
  EXPECT_EQ(port.calls, Calls({kAtRestValue, kAtRestConfig}));
}

TEST_F(CounterInterfaceTest, TargetsFromTheMiddleUpRunToTheTopAndStepDown) {
  EXPECT_EQ(kDone, counter.send(128));
  EXPECT_EQ(port.calls, upSteps(257) + downSteps(127));
  port.calls.clear();
  EXPECT_EQ(kDone, counter.send(255));
  EXPECT_EQ(port.calls, upSteps(257));
}

TEST_F(CounterInterfaceTest, TargetsBelowTheMiddleRunToTheBottomAndStepUp) {
  EXPECT_EQ(kDone, counter.send(127));
  EXPECT_EQ(port.calls, downSteps(257) + upSteps(127));
  port.calls.clear();
  EXPECT_EQ(kDone, counter.send(0));
  EXPECT_EQ(port.calls, downSteps(257));
}

TEST_F(CounterInterfaceTest, TargetsBeyondTheRangeCountAsItsEnds) {
  EXPECT_EQ(kDone, counter.send(-3));
  EXPECT_EQ(port.calls, downSteps(257));
  port.calls.clear();
  EXPECT_EQ(kDone, counter.send(300));
  EXPECT_EQ(port.calls, upSteps(257));
}

TEST_F(CounterInterfaceTest, ProgressCountsEveryStepOfTheSend) {
  std::vector<std::pair<int, int>> told;
  EXPECT_EQ(kDone, counter.send(200, [&](int done, int inAll) {
    told.emplace_back(done, inAll);
    return true;
  }));
  ASSERT_EQ(told.size(), 257u + 55u);
  for (std::size_t i = 0; i < told.size(); ++i) {
    EXPECT_EQ(told[i], std::make_pair(static_cast<int>(i) + 1, 257 + 55));
  }
}

TEST_F(CounterInterfaceTest, ProgressThatSaysNoStopsTheSendBetweenSteps) {
  EXPECT_EQ(End::stopped, counter.send(0, [](int done, int) { return done < 3; }));
  EXPECT_EQ(port.calls, downSteps(3));
  port.calls.clear();
  EXPECT_EQ(kDone, counter.send(0));
  EXPECT_EQ(port.calls, downSteps(257));
}

TEST_F(CounterInterfaceTest, StepsMakeOnlyTheCountsBetweenTwoValues) {
  EXPECT_EQ(kDone, counter.step(100, 103));
  EXPECT_EQ(port.calls, upSteps(3));
  port.calls.clear();
  EXPECT_EQ(kDone, counter.step(103, 101));
  EXPECT_EQ(port.calls, downSteps(2));
  port.calls.clear();
  EXPECT_EQ(kDone, counter.step(7, 7));
  EXPECT_EQ(port.calls, Calls{});
}

TEST_F(CounterInterfaceTest, StoreRaisesTheStoreLineThenPutsItBack) {
  EXPECT_EQ(kDone, counter.store());
  EXPECT_EQ(port.calls, Calls({"value 70 00", kAtRestValue}));
}

TEST_F(CounterInterfaceTest, SendStopsAtTheFirstCallTheBoardDoesNotTake) {
  port.failingFromCall = 11;
  EXPECT_EQ(kNotTaken, counter.send(200));
  EXPECT_EQ(port.calls.size(), 12u);
  port.calls.clear();
  port.failingFromCall = 0;
  EXPECT_EQ(kNotTaken, counter.store());
  EXPECT_EQ(port.calls.size(), 3u);
}

// A failed call can leave the counter line in the middle of a pulse, where the next steps
// would not count.
TEST_F(CounterInterfaceTest, AfterAFailureTheNextSendParksFirst) {
  port.failingFromCall = 1;
  EXPECT_EQ(kNotTaken, counter.send(0));
  port.failingFromCall = -1;
  port.calls.clear();
  EXPECT_EQ(kDone, counter.send(0));
  EXPECT_EQ(port.calls, Calls({kAtRestValue, kAtRestConfig}) + downSteps(257));
  port.calls.clear();
  EXPECT_EQ(kDone, counter.send(0));
  EXPECT_EQ(port.calls, downSteps(257));
}

}  // namespace
