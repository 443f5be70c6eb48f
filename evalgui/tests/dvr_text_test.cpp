#include "dvr_text.h"

#include <gtest/gtest.h>

#include "qt_printers.h"

namespace {

const LocaleNumbers english{QLocale(QLocale::English)};

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
  EXPECT_EQ(dvrTextCorrection(u"5", true, english), std::nullopt);
  EXPECT_EQ(dvrTextCorrection(u"0FF", true, english), std::nullopt);
  EXPECT_EQ(dvrTextCorrection(u"255", false, english), std::nullopt);
  EXPECT_EQ(dvrTextCorrection(u"1.5", false, english), std::nullopt);
}

TEST(DvrTextCorrectionTest, ReplacesEmptyAndOutOfRangeTexts) {
  EXPECT_EQ(dvrTextCorrection(u"", true, english), "0");
  EXPECT_EQ(dvrTextCorrection(u"FFF", true, english), "0FF");
  EXPECT_EQ(dvrTextCorrection(u"", false, english), "0");
  EXPECT_EQ(dvrTextCorrection(u"abc", false, english), "0");
  EXPECT_EQ(dvrTextCorrection(u"266", false, english), "255");
  EXPECT_EQ(dvrTextCorrection(u"-1", false, english), "0");
  EXPECT_EQ(dvrTextCorrection(u"1e99", false, english), "255");
}

// A decimal text can hold a fraction when pasted; it converts to the nearest value, halves to even.
TEST(ConvertedDvrTextTest, DecimalFractionsGoToTheNearestValue) {
  EXPECT_EQ(convertedDvrText(u"2.5", true, english), "002");
  EXPECT_EQ(convertedDvrText(u"3.5", true, english), "004");
}

}  // namespace
