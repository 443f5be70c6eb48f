// The virtual QV6180 on its bridge: counted by pulses on the GPIO pins,
// stored by a pulse on the store line.
#include "library_fixture.h"

namespace ksthid::testing {
namespace {

class VirtualBoardTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    chip = &addBoard("a").chip();
    chip->setChangeListener([this](int dvr, int eeprom) { changes.push_back({dvr, eeprom}); });
    ASSERT_EQ(connect(), 1);
    setGpioValue(0x50, 0x00, 0);  // idle, as the program parks it
    setGpioConfiguration(0xBF, 0xFF, -1, 0);
  }

  void upStep() {
    setGpioValue(0x10, 0x00, 0);
    setGpioValue(0x50, 0x00, 0);
  }
  void downStep() {
    setGpioConfiguration(0xFF, 0xFF, -1, 0);
    setGpioConfiguration(0xBF, 0xFF, -1, 0);
  }
  void store() {
    setGpioValue(0x70, 0x00, 0);
    setGpioValue(0x50, 0x00, 0);
  }
  void sendTarget(int target) {
    for (int i = 0; i < 257; ++i) target >= 128 ? upStep() : downStep();
    if (target >= 128) {
      for (int i = 254; i >= target; --i) downStep();
    } else {
      for (int i = 1; i <= target; ++i) upStep();
    }
  }

  VirtualChip* chip = nullptr;
  std::vector<std::pair<int, int>> changes;
};

TEST_F(VirtualBoardTest, ParkingTheCounterInterfaceCountsNothing) {
  EXPECT_EQ(chip->dvr(), 0);
  EXPECT_TRUE(changes.empty());
}

TEST_F(VirtualBoardTest, UpAndDownStepsCountOneEachAndStopAtTheEnds) {
  upStep();
  upStep();
  EXPECT_EQ(chip->dvr(), 2);
  downStep();
  EXPECT_EQ(chip->dvr(), 1);
  downStep();
  downStep();
  EXPECT_EQ(chip->dvr(), 0);
  for (int i = 0; i < 300; ++i) upStep();
  EXPECT_EQ(chip->dvr(), 255);
}

TEST_F(VirtualBoardTest, PulseTrainsReachEveryTargetFromAnyStart) {
  for (const int target : {0, 127, 128, 160, 255, 1}) {
    sendTarget(target);
    EXPECT_EQ(chip->dvr(), target);
  }
}

TEST_F(VirtualBoardTest, StorePulseCopiesTheRegisterIntoTheEeprom) {
  sendTarget(160);
  EXPECT_EQ(chip->eeprom(), 0);
  store();
  EXPECT_EQ(chip->eeprom(), 160);
  EXPECT_EQ(changes.back(), std::make_pair(160, 160));
  EXPECT_EQ(VirtualChip(chip->eeprom()).dvr(), 160);  // loaded at power-up
}

TEST_F(VirtualBoardTest, LevelsThatAreNoCompletePulseCountNothing) {
  setGpioValue(0x10, 0x00, 0);              // pulled low...
  setGpioConfiguration(0xFF, 0xFF, -1, 0);  // ...still low while push-pull
  setGpioValue(0x50, 0x00, 0);              // driven high: not back at rest
  setGpioConfiguration(0xBF, 0xFF, -1, 0);  // released: a pulse from low, not from high
  EXPECT_EQ(chip->dvr(), 0);
  EXPECT_TRUE(changes.empty());
}

// The virtual board on real time keeps the wire's 1 ms per report and the
// 1 ms drain wait only if a sleep shorter than a millisecond still sleeps.
TEST(SteadyClockTest, NeverWakesBeforeTheTimeAskedFor) {
  SteadyClock clock;
  for (const Microseconds wait : {Microseconds(1), Microseconds(300), Microseconds(999),
                                  Microseconds(1000), Microseconds(1500)}) {
    const Microseconds wakeUp = clock.now() + wait;
    clock.sleepUntil(wakeUp);
    EXPECT_GE(clock.now(), wakeUp) << wait.count() << " us";
  }
}

}  // namespace
}  // namespace ksthid::testing
