#include "divider_calculation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(DividerCalculation, TheWindowsFiguresFromTheStartUpResistors) {
  const auto range = rangeFromResistors(18, 10000, 24900, 39200);
  ASSERT_TRUE(range.ok());
  EXPECT_NEAR(range.values.voutMax, 11.002, 5e-4);
  EXPECT_NEAR(range.values.voutMin, 9.637, 5e-4);
  const auto readouts = readoutsAt(18, 10000, 24900, 39200, 255);
  ASSERT_TRUE(readouts.ok());
  EXPECT_NEAR(readouts.values.vcom, 9.637, 5e-4);
  EXPECT_NEAR(readouts.values.vrset, 0.896, 5e-4);
  const auto resistors = resistorsFromRange({18, 10000, 12, 10});
  ASSERT_TRUE(resistors.ok());
  EXPECT_NEAR(resistors.values.r1, 33442.2, 0.05);
  EXPECT_NEAR(resistors.values.r2, 67015.7, 0.05);
  EXPECT_FALSE(standardPairsFor({18, 10000, 12, 10}).values.empty());
}

// An R2 of 1e-296 ohm has no standard value near it: 1 ohm would be 1e298 % off.
TEST(DividerCalculation, ResistorsBeyondTheSeriesHaveNoStandardPairs) {
  const auto pairs = standardPairsFor({18, 10000, 1e-300, 1e-301});
  EXPECT_TRUE(pairs.ok());
  EXPECT_TRUE(pairs.values.empty());
}

TEST(DividerCalculation, ResistorInputsTheWindowWouldCorrectAreFaults) {
  struct Case {
    double avdd, rset, r1, r2;
    DividerFault fault;
  };
  for (const Case& c : {
           Case{0, 10000, 24900, 39200, DividerFault::avddNotPositive},
           Case{kNaN, 10000, 24900, 39200, DividerFault::avddNotPositive},
           Case{18, -1, 24900, 39200, DividerFault::rsetNotPositive},
           Case{18, kInfinity, 24900, 39200, DividerFault::rsetNotPositive},
           Case{18, 10000, 0, 39200, DividerFault::r1NotPositive},
           Case{18, 10000, 24900, -5, DividerFault::r2NotPositive},
           // Far beyond 5120 Rset, R1 leaves VCOM below 0 V even at DVR 0.
           Case{18, 10000, 1e300, 1e300, DividerFault::noOutputAboveZero},
           Case{1e308, 1e-300, 1, 1, DividerFault::beyondDoubles},
       }) {
    EXPECT_EQ(rangeFromResistors(c.avdd, c.rset, c.r1, c.r2).fault, c.fault) << c.r1;
    EXPECT_EQ(readoutsAt(c.avdd, c.rset, c.r1, c.r2, 100).fault, c.fault) << c.r1;
  }
}

TEST(DividerCalculation, RangesThatNoDividerGivesAreFaults) {
  struct Case {
    WantedRange wanted;
    DividerFault fault;
  };
  for (const Case& c : {
           Case{{18, 10000, 19, 3}, DividerFault::voutMaxAboveAvdd},
           Case{{18, 10000, 3, 5}, DividerFault::voutMinNotBelowVoutMax},
           Case{{18, 10000, 5, 5}, DividerFault::voutMinNotBelowVoutMax},
           Case{{18, 10000, kNaN, 5}, DividerFault::voutMaxAboveAvdd},
           // VOUTmax at AVDD needs a negative R2.
           Case{{18, 10000, 18, 0}, DividerFault::noPositiveResistors},
           Case{{18, 1e305, 0, -1}, DividerFault::beyondDoubles},
       }) {
    EXPECT_EQ(resistorsFromRange(c.wanted).fault, c.fault) << c.wanted.voutMax;
    EXPECT_EQ(standardPairsFor(c.wanted).fault, c.fault) << c.wanted.voutMax;
  }
}

}  // namespace
