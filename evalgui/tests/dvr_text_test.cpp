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

TEST(TypingFilterTest, HexKeepsDigitsAndLettersAToFInUpperCase) {
  EXPECT_EQ(filterHexKey(u'a'), u'A');
  EXPECT_EQ(filterHexKey(u'F'), u'F');
  EXPECT_EQ(filterHexKey(u'7'), u'7');
  EXPECT_EQ(filterHexKey(13), 13);
  EXPECT_EQ(filterHexKey(8), 8);
  EXPECT_EQ(filterHexKey(u'g'), 0);
  EXPECT_EQ(filterHexKey(u'-'), 0);
}

TEST(TypingFilterTest, DecimalKeepsDigitsOnly) {
  EXPECT_EQ(filterDecimalKey(u'0'), u'0');
  EXPECT_EQ(filterDecimalKey(13), 13);
  EXPECT_EQ(filterDecimalKey(8), 8);
  EXPECT_EQ(filterDecimalKey(u'a'), 0);
  EXPECT_EQ(filterDecimalKey(u'-'), 0);
  EXPECT_EQ(filterDecimalKey(u'.'), 0);
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

TEST(SteppedDvrTextTest, StepsInTheFieldsNotation) {
  EXPECT_EQ(steppedDvrText(u"0FF", true, 1, english), "100");
  EXPECT_EQ(steppedDvrText(u"00A", true, 16, english), "01A");
  EXPECT_EQ(steppedDvrText(u"250", false, 16, english), "266");
  EXPECT_EQ(steppedDvrText(u"0", false, -1, english), "-1");
}

// A hexadecimal text has no sign, so the step stops at 0 instead of wrapping to 0FF.
TEST(SteppedDvrTextTest, HexStepBelowZeroGivesZero) {
  EXPECT_EQ(steppedDvrText(u"000", true, -1, english), "000");
  EXPECT_EQ(steppedDvrText(u"005", true, -16, english), "000");
}

TEST(ConvertedDvrTextTest, KeepsTheValueAcrossNotations) {
  EXPECT_EQ(convertedDvrText(u"0FF", false, english), "255");
  EXPECT_EQ(convertedDvrText(u"255", true, english), "0FF");
  EXPECT_EQ(convertedDvrText(u"11", true, english), "00B");
  EXPECT_EQ(convertedDvrText(u"2.5", true, english), "002");
}

}  // namespace
