// What both tools share: how numbers are read and how the library's boxes are told apart.
#include <gtest/gtest.h>

#include "message_boxes.h"
#include "numbers.h"

namespace {

using tools::ExitStatus;

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

TEST(MessageBoxesTest, EachBoxOfTheLibraryHasItsExitStatus) {
  const std::pair<const char*, ExitStatus> boxes[] = {
      {"Invalid HID Number: 3", ExitStatus::noSuchBoard},
      {"Please check USB connection.\r\ncheckStatus", ExitStatus::usbFailure},
      {"Please check USB connection.\r\nUSB ReadFile error.", ExitStatus::usbFailure},
      {"Invalid I2C address. Press Retry to return to GUI and enter valid address or Cancel.",
       ExitStatus::deviceRefused},
      {"SDA error", ExitStatus::deviceRefused},
      {"ledNumber must be 0 or 1", ExitStatus::usage},
      {"Firmware Version 1.3 - 2009/February/27", ExitStatus::success},
  };
  for (const auto& [text, status] : boxes) EXPECT_EQ(tools::classifyBox(text), status) << text;
}

}  // namespace
