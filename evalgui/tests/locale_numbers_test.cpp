#include "locale_numbers.h"

#include <gtest/gtest.h>

#include "qt_printers.h"

namespace {

class LocaleNumbersTest : public testing::TestWithParam<QLocale> {
 protected:
  std::string local(const char* plain) const {
    return QString::fromLatin1(plain).replace(u'.', GetParam().decimalPoint()).toStdString();
  }
  std::optional<double> parse(const char* plain) const { return numbers.parse(local(plain)); }

  LocaleNumbers numbers{GetParam()};
};

TEST_P(LocaleNumbersTest, AcceptsSignSeparatorExponentAndSurroundingBlanks) {
  EXPECT_EQ(parse("-12.5"), -12.5);
  EXPECT_EQ(parse("+1.5e3"), 1500.0);
  EXPECT_EQ(parse("2E-3"), 0.002);
  EXPECT_EQ(parse(" 12 "), 12.0);
  EXPECT_EQ(parse("-0"), 0.0);
}

TEST_P(LocaleNumbersTest, RefusesWhatIsNoFiniteNumber) {
  for (const char* text : {"", " ", "-", "1.2.3", "1e", "1 2", "inf", "nan", "1e999", "-1e999",
                           "1e-999", "0x10", "1,234.5", "1.234,5"}) {
    EXPECT_EQ(parse(text), std::nullopt) << text;
  }
  const std::string foreignSeparator = GetParam().decimalPoint() == u"." ? "12,5" : "12.5";
  EXPECT_EQ(numbers.parse(foreignSeparator), std::nullopt);
}

TEST_P(LocaleNumbersTest, FixedRoundsHalvesAwayFromZeroAndDropsTheSignOfZero) {
  EXPECT_EQ(numbers.fixed(0.0625, 3), local("0.063"));
  EXPECT_EQ(numbers.fixed(-0.0625, 3), local("-0.063"));
  EXPECT_EQ(numbers.fixed(-0.00001, 3), local("0.000"));
  EXPECT_EQ(numbers.fixed(-0.0, 1), local("0.0"));
  EXPECT_EQ(numbers.fixed(1234567.25, 1), local("1234567.3"));
}

TEST_P(LocaleNumbersTest, GeneralFormKeepsFifteenDigitsWithoutTrailingZeros) {
  EXPECT_EQ(numbers.general(18.0), "18");
  EXPECT_EQ(numbers.general(12.5), local("12.5"));
  EXPECT_EQ(numbers.general(1.0 / 3), local("0.333333333333333"));
  EXPECT_EQ(numbers.parse(numbers.general(1e20)), 1e20);
}

// Swedish writes an exponent that Qt cannot read; Arabic, Persian and Hebrew put a direction mark
// before their signs.
TEST(LocaleNumbersReadBack, WrittenNumbersReadBackInEveryNotation) {
  for (const QLocale& locale :
       {QLocale(QLocale::Swedish, QLocale::Sweden), QLocale(QLocale::Arabic, QLocale::Egypt),
        QLocale(QLocale::Persian, QLocale::Iran), QLocale(QLocale::Hebrew, QLocale::Israel)}) {
    const LocaleNumbers numbers(locale);
    for (double value : {1e20, -1.5e-7, -5.5}) {
      EXPECT_EQ(numbers.parse(numbers.general(value)), value) << locale.name().toStdString();
    }
    EXPECT_EQ(numbers.parse(numbers.fixed(-51200000.0, 1)), -51200000.0)
        << locale.name().toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleNumbersTest,
                         testing::Values(QLocale(QLocale::English, QLocale::UnitedStates),
                                         QLocale(QLocale::German, QLocale::Germany)),
                         [](const auto& info) { return info.param.name().toStdString(); });

}  // namespace
