#include "dvr_text.h"

#include <gtest/gtest.h>

#include <limits>

#include "plain_number_text.h"

namespace {

const PlainNumberText english;

// Decimal values are read in a notation writing "." and in one writing ","; the figures below are
// written with "." and put into the notation of the case by local().
class DvrValueTest : public testing::TestWithParam<const char*> {
 protected:
  std::string local(const char* plain) const {
    std::string text(plain);
    for (char& c : text) {
      if (c == '.') c = *GetParam();
    }
    return text;
  }

  PlainNumberText numbers{GetParam()};
};

TEST_P(DvrValueTest, DecimalDvrRoundsHalvesToEvenAndStopsAtTheFirstForeignCharacter) {
  const auto dvr = [this](const char* plain) { return readDvrValue(local(plain), false, numbers); };
  EXPECT_EQ(dvr("200"), 200);
  EXPECT_EQ(dvr("12.5"), 12);
  EXPECT_EQ(dvr("13.5"), 14);
  EXPECT_EQ(dvr("12.7x"), 13);
  EXPECT_EQ(dvr(" 7abc"), 7);
  EXPECT_EQ(dvr("2e2"), 200);
  EXPECT_EQ(dvr("5e"), 5);
  EXPECT_EQ(dvr("-3"), -3);
  EXPECT_EQ(dvr("abc"), 0);
  EXPECT_EQ(dvr(""), 0);
  EXPECT_EQ(dvr("1e999"), std::numeric_limits<int>::max());
}

TEST(HexDvrValueTest, ReadsDigitsUpToTheFirstOtherCharacter) {
  EXPECT_EQ(readDvrValue("C8", true, english), 200);
  EXPECT_EQ(readDvrValue("0ff", true, english), 255);
  EXPECT_EQ(readDvrValue("00FFFF", true, english), 65535);
  EXPECT_EQ(readDvrValue(" 1Ag", true, english), 26);
  EXPECT_EQ(readDvrValue("-1", true, english), 0);
  EXPECT_EQ(readDvrValue("", true, english), 0);
  EXPECT_EQ(readDvrValue("FFFFFFFFFFFF", true, english), std::numeric_limits<int>::max());
}

INSTANTIATE_TEST_SUITE_P(Separators, DvrValueTest, testing::Values(".", ","),
                         [](const auto& info) { return *info.param == '.' ? "Point" : "Comma"; });

TEST(FormatHexTest, PadsToTheRegisterWidthAndCapsAtItsTop) {
  EXPECT_EQ(formatHex(0, 10), "000");
  EXPECT_EQ(formatHex(11, 10), "00B");
  EXPECT_EQ(formatHex(255, 10), "0FF");
  EXPECT_EQ(formatHex(256, 10), "100");
  EXPECT_EQ(formatHex(1024, 10), "3FF");
  EXPECT_EQ(formatHex(-1, 10), "00FFFF");
  EXPECT_EQ(formatHex(10, 8), "0A");
  EXPECT_EQ(formatHex(200, 8), "C8");
  EXPECT_EQ(formatHex(300, 8), "FF");
  EXPECT_EQ(formatHex(5, 16), "");
}

TEST(DvrTextCorrectionTest, KeepsTextsWithinTheRangeAsTyped) {
  EXPECT_EQ(dvrTextCorrection("5", true, english), std::nullopt);
  EXPECT_EQ(dvrTextCorrection("0FF", true, english), std::nullopt);
  EXPECT_EQ(dvrTextCorrection("255", false, english), std::nullopt);
  EXPECT_EQ(dvrTextCorrection("1.5", false, english), std::nullopt);
}

TEST(DvrTextCorrectionTest, ReplacesEmptyAndOutOfRangeTexts) {
  EXPECT_EQ(dvrTextCorrection("", true, english), "0");
  EXPECT_EQ(dvrTextCorrection("FFF", true, english), "0FF");
  EXPECT_EQ(dvrTextCorrection("", false, english), "0");
  EXPECT_EQ(dvrTextCorrection("abc", false, english), "0");
  EXPECT_EQ(dvrTextCorrection("266", false, english), "255");
  EXPECT_EQ(dvrTextCorrection("-1", false, english), "0");
  EXPECT_EQ(dvrTextCorrection("1e99", false, english), "255");
}

// A decimal text can hold a fraction when pasted; it converts to the nearest value, halves to even.
TEST(ConvertedDvrTextTest, DecimalFractionsGoToTheNearestValue) {
  EXPECT_EQ(convertedDvrText("2.5", true, english), "002");
  EXPECT_EQ(convertedDvrText("3.5", true, english), "004");
}

}  // namespace
