#include "standard_resistors_list.h"

#include <gtest/gtest.h>

#include "plain_number_text.h"

namespace {

constexpr WantedRange kStartUpRange{.avdd = 18, .rset = 10000, .voutMax = 11.002, .voutMin = 9.637};

TEST(StandardResistorsListTest, WritesTheHeadingAndRowsInTheUsersNotation) {
  const PlainNumberText comma(",");
  const StandardResistorsList list(kStartUpRange, comma);
  EXPECT_EQ(list.heading(),
            "Nearest pairs for VOUTmax 11,002 V to VOUTmin 9,637 V at AVDD 18 V, Rset 10000 ohm:");
  EXPECT_EQ(list.rowTexts(0), (StandardResistorsList::RowTexts{"E96", "24,9k", "39,2k", "11,002",
                                                               "9,637", "0,4", "0,03"}));
  EXPECT_EQ(list.pairAt(0)->r2, 39200);
  EXPECT_FALSE(list.pairAt(-1).has_value());
}

TEST(StandardResistorsListTest, ARangeNoResistorsGiveHasNothingToChoose) {
  const PlainNumberText numbers;
  const StandardResistorsList list({.avdd = 18, .rset = 10000, .voutMax = 9, .voutMin = 10},
                                   numbers);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.heading(), "No standard resistors give this range.");
  EXPECT_FALSE(list.pairAt(0).has_value());
}

}  // namespace
