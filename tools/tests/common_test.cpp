// What both tools share: how numbers are read.
#include <gtest/gtest.h>

#include "numbers.h"

namespace {

TEST(NumbersTest, DecimalOrHexadecimalAfter0x) {
  const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
      {"42", 42}, {"0x2a", 42}, {"0X2A", 42}, {"010", 10}, {"-1", -1}, {"0x", {}},
      {"", {}},   {"+1", {}},   {"0x-1", {}}, {"1k", {}},  {" 1", {}}, {"99999999999999999999", {}},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(tools::parseNumber(text), expected) << text;
}

TEST(NumbersTest, TheCheckNamesTheBoundPassed) {
  const CLI::Validator count = tools::numberIn(1, 62, "the most one report carries");
  std::string text = "63";
  EXPECT_EQ(count(text), "63 is above 62, the most one report carries");
  text = "0";
  EXPECT_EQ(count(text), "0 is below 1");
  text = "0x3e";
  EXPECT_EQ(count(text), "");
  // Too many digits for any number is still above (or below) the bound.
  text = "99999999999999999999";
  EXPECT_EQ(count(text), "99999999999999999999 is above 62, the most one report carries");
  text = "-99999999999999999999";
  EXPECT_EQ(count(text), "-99999999999999999999 is below 1");
}

}  // namespace
