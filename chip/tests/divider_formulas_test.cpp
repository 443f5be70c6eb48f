#include "divider_formulas.h"

#include <gtest/gtest.h>

namespace {

constexpr double kAvdd = 18;
constexpr double kRset = 10000;

TEST(DividerFormulasTest, DvrEndsGiveTheRangeAndFullScaleCurrent) {
  EXPECT_NEAR(highestVout(kAvdd, kRset, 24900, 39200), 11.0024, 1e-4);
  EXPECT_NEAR(lowestVout(kAvdd, kRset, 24900, 39200), 9.6373, 1e-4);
  EXPECT_EQ(vcomVoltage(kAvdd, kRset, 24900, 39200, 0), highestVout(kAvdd, kRset, 24900, 39200));
  EXPECT_EQ(outputCurrent(kAvdd, kRset, 0), 0);
  EXPECT_NEAR(outputCurrent(kAvdd, kRset, kHighestDvr), 8.9648e-5, 1e-9);
  EXPECT_NEAR(vrsetVoltage(kAvdd, kRset, kHighestDvr), 0.89648, 1e-5);
}

// The resistors worked out for a range give that range back.
TEST(DividerFormulasTest, ResistorsForARangeGiveThatRange) {
  const double r1 = topResistor(12, 10, kRset);
  const double r2 = bottomResistor(12, 10, kAvdd, kRset);
  EXPECT_NEAR(r1, 33442.2, 0.05);
  EXPECT_NEAR(r2, 67015.7, 0.05);
  EXPECT_NEAR(highestVout(kAvdd, kRset, r1, r2), 12, 1e-9);
  EXPECT_NEAR(lowestVout(kAvdd, kRset, r1, r2), 10, 1e-9);
}

}  // namespace
