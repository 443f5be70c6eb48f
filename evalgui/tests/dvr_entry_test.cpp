#include "dvr_entry.h"

#include <gtest/gtest.h>

#include <limits>

#include "qt_printers.h"

namespace {

const LocaleNumbers english{QLocale(QLocale::English)};

// Decimal values are read in a locale writing "." and in one writing ","; the figures below are
// written with "." and put into the locale's notation by local().
class DvrValueTest : public testing::TestWithParam<QLocale> {
 protected:
  QString local(const char* plain) const {
    return QString::fromLatin1(plain).replace(u'.', GetParam().decimalPoint());
  }

  LocaleNumbers numbers{GetParam()};
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
  EXPECT_EQ(readDvrValue(u"C8", true), 200);
  EXPECT_EQ(readDvrValue(u"0ff", true), 255);
  EXPECT_EQ(readDvrValue(u"00FFFF", true), 65535);
  EXPECT_EQ(readDvrValue(u" 1Ag", true), 26);
  EXPECT_EQ(readDvrValue(u"-1", true), 0);
  EXPECT_EQ(readDvrValue(u"", true), 0);
  EXPECT_EQ(readDvrValue(u"FFFFFFFFFFFF", true), std::numeric_limits<int>::max());
}

INSTANTIATE_TEST_SUITE_P(Locales, DvrValueTest,
                         testing::Values(QLocale(QLocale::English, QLocale::UnitedStates),
                                         QLocale(QLocale::German, QLocale::Germany)),
                         [](const auto& info) { return info.param.name().toStdString(); });

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
