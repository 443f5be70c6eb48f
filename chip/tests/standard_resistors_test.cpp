#include "standard_resistors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <utility>

namespace {

using enum ResistorSeries;

constexpr WantedRange kStartUpRange{.avdd = 18, .rset = 10000, .voutMax = 11.002, .voutMin = 9.637};

bool contains(std::span<const double> values, double value) {
  return std::binary_search(values.begin(), values.end(), value);
}

TEST(StandardResistorsTest, SeriesHoldTheirStandardValuesOverSevenDecades) {
  EXPECT_EQ(seriesValues(E24).size(), 24u * 7);
  EXPECT_EQ(seriesValues(E96).size(), 96u * 7);
  EXPECT_EQ(seriesValues(E192).size(), 192u * 7);
  for (ResistorSeries series : {E24, E96, E192}) {
    const auto values = seriesValues(series);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end())) << seriesName(series);
    EXPECT_EQ(values.front(), 1.0) << seriesName(series);
  }
  // E24 keeps its historical values; E192 has 920 where the rounding rule gives 919.
  for (double value : {2.7, 33.0, 4700.0, 9.1e6}) EXPECT_TRUE(contains(seriesValues(E24), value));
  for (double value : {24900.0, 39200.0, 976.0}) EXPECT_TRUE(contains(seriesValues(E96), value));
  EXPECT_TRUE(contains(seriesValues(E192), 9200.0));
  EXPECT_FALSE(contains(seriesValues(E192), 9190.0));
  for (double value : seriesValues(E96)) EXPECT_TRUE(contains(seriesValues(E192), value));
}

struct BestPairCase {
  const char* name;
  WantedRange wanted;
  ResistorSeries series;
  double r1;
  double r2;
};

class BestPairTest : public testing::TestWithParam<BestPairCase> {};

TEST_P(BestPairTest, IsTheFirstOfItsSeries) {
  const auto pairs = nearestStandardPairs(GetParam().wanted);
  const auto first = std::find_if(pairs.begin(), pairs.end(), [](const StandardPair& pair) {
    return pair.series == GetParam().series;
  });
  ASSERT_NE(first, pairs.end());
  EXPECT_EQ(std::pair(first->r1, first->r2), std::pair(GetParam().r1, GetParam().r2));
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, BestPairTest,
    testing::Values(
        BestPairCase{"StartUpE96", kStartUpRange, E96, 24900, 39200},
        BestPairCase{"StartUpE24", kStartUpRange, E24, 27000, 43000},
        BestPairCase{"TwelveToTenE24", {18, 10000, 12, 10}, E24, 33000, 68000},
        BestPairCase{"TwelveToTenE96", {18, 10000, 12, 10}, E96, 33200, 66500},
        BestPairCase{"TwelveToTenE192", {18, 10000, 12, 10}, E192, 33600, 67300},
        // The range that 22 k and 47 k give at AVDD 15.
        BestPairCase{
            "ExactE24", {15, 10000, 10.213001019021739, 9.093478260869565}, E24, 22000, 47000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StandardResistorsTest, PairsComeBestFirstWithTheRangeTheyGive) {
  const auto pairs = nearestStandardPairs(kStartUpRange);
  ASSERT_GE(pairs.size(), 6u);
  const StandardPair& best = pairs.front();
  EXPECT_EQ(best.series, E96);
  EXPECT_NEAR(best.voutMax, 11.00245, 1e-5);
  EXPECT_NEAR(best.voutMin, 9.63733, 1e-5);
  EXPECT_NEAR(best.errorMillivolts, 0.447, 1e-3);
  EXPECT_NEAR(best.errorPercent, 0.0327, 1e-4);

  EXPECT_TRUE(std::is_sorted(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) {
    return a.errorMillivolts < b.errorMillivolts;
  }));
  std::set<std::pair<double, double>> listed;
  for (const StandardPair& pair : pairs) {
    EXPECT_TRUE(listed.emplace(pair.r1, pair.r2).second) << pair.r1 << " " << pair.r2 << " twice";
    EXPECT_TRUE(contains(seriesValues(pair.series), pair.r1));
    EXPECT_TRUE(contains(seriesValues(pair.series), pair.r2));
  }
}

TEST(StandardResistorsTest, RangesThatNoPositiveResistorsGiveHaveNoPairs) {
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  for (const WantedRange& wanted :
       {WantedRange{18, 10000, 9, 9}, WantedRange{18, 10000, 9, 10}, WantedRange{18, 10000, 18, 0},
        WantedRange{0, 10000, 12, 10}, WantedRange{18, 0, 12, 10}, WantedRange{18, 10000, kNan, 10},
        WantedRange{18, 10000, -1, -2}}) {
    EXPECT_TRUE(nearestStandardPairs(wanted).empty())
        << wanted.avdd << " " << wanted.rset << " " << wanted.voutMax << " " << wanted.voutMin;
  }
}

}  // namespace
