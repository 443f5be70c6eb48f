#include "plain_number_text.h"

#include <gtest/gtest.h>

namespace {

// Every case runs with "." and with a separator of two UTF-8 bytes, the Arabic U+066B; the
// figures below are written with "." and put into the notation of the case by local().
class PlainNumberTextTest : public testing::TestWithParam<const char*> {
 protected:
  std::string local(const char* plain) const {
    std::string text(plain);
    if (const auto point = text.find('.'); point != std::string::npos) {
      text.replace(point, 1, GetParam());
    }
    return text;
  }
  std::optional<double> parse(const char* plain) const { return numbers.parse(local(plain)); }

  PlainNumberText numbers{GetParam()};
};

TEST_P(PlainNumberTextTest, AcceptsSignSeparatorExponentAndSurroundingBlanks) {
  EXPECT_EQ(parse("-12.5"), -12.5);
  EXPECT_EQ(parse("+1.5e3"), 1500.0);
  EXPECT_EQ(parse("2E-3"), 0.002);
  EXPECT_EQ(parse(".5"), 0.5);
  EXPECT_EQ(parse(" 12 "), 12.0);
  EXPECT_EQ(parse("-0"), 0.0);
}

TEST_P(PlainNumberTextTest, RefusesWhatIsNoFiniteNumber) {
  for (const char* text : {"", " ", "-", "1.2.3", "1e", "1 2", "inf", "nan", "1e999", "-1e999",
                           "1e-999", "0x10", "1,234.5", "+-1"}) {
    EXPECT_EQ(parse(text), std::nullopt) << text;
  }
}

TEST_P(PlainNumberTextTest, LeadingValueReadsUpToTheFirstForeignCharacter) {
  const auto leading = [this](const char* plain) { return numbers.leadingValue(local(plain)); };
  EXPECT_EQ(leading(" 12.7x"), 12.7);
  EXPECT_EQ(leading("5e"), 5.0);
  EXPECT_EQ(leading("2e2abc"), 200.0);
  EXPECT_EQ(leading("abc"), 0.0);
  EXPECT_EQ(leading("1e999"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(leading("-1e999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(leading("1e-999"), 0.0);
  EXPECT_EQ(leading("0.0000000000000000000000000000000000000000000000000000000000000000000000"
                    "0000000000000000000000000000000000000000000000000000000000000000000000"
                    "0000000000000000000000000000000000000000000000000000000000000000000000"
                    "0000000000000000000000000000000000000000000000000000000000000000000000"
                    "0000000000000000000000000000000000000000000000000000000000000000000000001"),
            0.0);
}

TEST_P(PlainNumberTextTest, FixedRoundsHalvesAwayFromZeroAndDropsTheSignOfZero) {
  EXPECT_EQ(numbers.fixed(0.0625, 3), local("0.063"));
  EXPECT_EQ(numbers.fixed(-0.0625, 3), local("-0.063"));
  EXPECT_EQ(numbers.fixed(-0.00001, 3), local("0.000"));
  EXPECT_EQ(numbers.fixed(-0.0, 1), local("0.0"));
  EXPECT_EQ(numbers.fixed(1234567.25, 1), local("1234567.3"));
  EXPECT_EQ(numbers.fixed(9.9996, 3), local("10.000"));
  EXPECT_EQ(numbers.fixed(-51200000.0, 1), local("-51200000.0"));
}

TEST_P(PlainNumberTextTest, GeneralFormKeepsFifteenDigitsWithoutTrailingZerosAndReadsBack) {
  EXPECT_EQ(numbers.general(18.0), "18");
  EXPECT_EQ(numbers.general(12.5), local("12.5"));
  EXPECT_EQ(numbers.general(1.0 / 3), local("0.333333333333333"));
  for (double value : {1e20, -1.5e-7, -5.5})
    EXPECT_EQ(numbers.parse(numbers.general(value)), value);
}

INSTANTIATE_TEST_SUITE_P(Separators, PlainNumberTextTest, testing::Values(".", "\u066B"),
                         [](const auto& info) { return *info.param == '.' ? "Point" : "Arabic"; });

}  // namespace
