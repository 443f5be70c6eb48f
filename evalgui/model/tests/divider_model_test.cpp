#include "divider_model.h"

#include <gtest/gtest.h>

#include "fake_calculator_view.h"

namespace {

using enum CalculatorField;

// Every case runs in a locale writing "." and in one writing "," as decimal separator; the
// figures below are written with "." and put into the locale's notation by local().
class DividerModelTest : public testing::TestWithParam<QLocale> {
 protected:
  QString local(const char* plain) const {
    return QString::fromLatin1(plain).replace(u'.', GetParam().decimalPoint());
  }
  void type(CalculatorField field, const char* plain) { view.text(field) = local(plain); }
  void expectTexts(std::initializer_list<std::pair<CalculatorField, const char*>> expected) {
    for (const auto& [field, plain] : expected) EXPECT_EQ(view.text(field), local(plain));
  }
  QStringList messages() const { return view.log.filter(QStringLiteral("message: ")); }

  FakeCalculatorView view;
  DividerModel model{view, GetParam()};
};

TEST_P(DividerModelTest, StartUpTextsGiveTheRangeAndReadingsAtDvr0) {
  model.updateRangeFromResistors();
  expectTexts({{txtVoutMax, "11.002"},
               {txtVOutMin, "9.637"},
               {txtVOUT, "11.002"},
               {txtIOUT, "0.00000"},
               {txtVRSET, "0.000"}});
  EXPECT_EQ(view.log, QStringList({"txtIOUT=" + local("0.00000"), "txtVRSET=" + local("0.000"),
                                   "txtVOUT=" + local("11.002"), "txtVoutMax=" + local("11.002"),
                                   "txtVOutMin=" + local("9.637")}));
  EXPECT_EQ(view.dvrCaption, "DVR (hex)");
  EXPECT_EQ(view.readoutTop, 720);
  EXPECT_EQ(view.pointerY, 840);
}

TEST_P(DividerModelTest, ReadingsAndScalePositionFollowTheDvrValue) {
  view.dvr = QStringLiteral("0FF");
  model.updateRangeFromResistors();
  expectTexts({{txtVOUT, "9.637"}, {txtIOUT, "0.00009"}, {txtVRSET, "0.896"}});
  EXPECT_EQ(view.readoutTop, 2640);
  EXPECT_EQ(view.pointerY, 2760);

  view.dvr = QStringLiteral("080");
  model.updateRangeFromResistors();
  EXPECT_EQ(view.readoutTop, 720 + 964);
  EXPECT_EQ(view.pointerY, 840 + 964);
}

TEST_P(DividerModelTest, DecimalAndHexadecimalDvrTextsGiveTheSameValue) {
  view.dvr = QStringLiteral("C8");
  model.updateResistorsFromRange();
  const QString hexVcom = view.text(txtVOUT);
  EXPECT_EQ(view.dvrCaption, "DVR (hex)");

  view.hex = false;
  view.dvr = QStringLiteral("200");
  view.text(txtVOUT).clear();
  model.updateResistorsFromRange();
  EXPECT_EQ(view.text(txtVOUT), hexVcom);
  EXPECT_EQ(view.dvrCaption, "DVR (dec)");
  EXPECT_EQ(view.readoutTop, 720 + 1506);
}

TEST_P(DividerModelTest, RangeGivesResistorsAndVcomAtBothEnds) {
  type(txtVoutMax, "12");
  type(txtVOutMin, "10");
  model.updateResistorsFromRange();
  expectTexts({{txtR1, "33442.2"}, {txtR2, "67015.7"}, {txtVOUT, "12.000"}});
  EXPECT_EQ(view.log.last(), "txtR2=" + local("67015.7"));
  EXPECT_EQ(view.colour(txtR1), FieldColour::ButtonText);
  EXPECT_EQ(view.colour(txtR2), FieldColour::ButtonText);

  view.dvr = QStringLiteral("FF");
  model.updateResistorsFromRange();
  expectTexts({{txtVOUT, "10.000"}});
}

TEST_P(DividerModelTest, RoundTripStartsFromTheRoundedRange) {
  model.updateRangeFromResistors();
  model.updateResistorsFromRange();
  expectTexts({{txtR1, "24898.9"}, {txtR2, "39194.1"}});
}

TEST_P(DividerModelTest, RangeUpToAvddGivesANegativeR2MarkedRed) {
  type(txtVOutMin, "0");
  model.updateResistorsFromRange();
  expectTexts({{txtR1, "200000.0"}, {txtR2, "-51200000.0"}});
  EXPECT_EQ(view.colour(txtR1), FieldColour::ButtonText);
  EXPECT_EQ(view.colour(txtR2), FieldColour::Red);
  EXPECT_TRUE(messages().isEmpty());
}

TEST_P(DividerModelTest, RangeMessagesComeInStepOrderEachBeforeItsCorrection) {
  type(txtAVDD, "0");
  type(txtVoutMax, "20");
  type(txtVOutMin, "20");
  type(txtRSET, "-1");
  model.updateResistorsFromRange();
  EXPECT_EQ(
      view.log.mid(0, 9),
      QStringList({"message: AVDD needs to be non-zero", "txtAVDD=18",
                   "message: VOUTmax cannot exceed AVDD", "txtVoutMax=18",
                   "message: VOUTmin must be lower than VOUTmax", "txtVoutMax=18", "txtVOutMin=0",
                   "message: Rset needs to be greater than 0", "txtRSET=10000"}));
  expectTexts({{txtR1, "200000.0"}, {txtR2, "-51200000.0"}});
}

TEST_P(DividerModelTest, ResistorMessagesComeInStepOrderAndR1PlusR2IsOnlyReported) {
  type(txtAVDD, "-5");
  type(txtRSET, "0");
  type(txtR1, "-30000");
  type(txtR2, "10000");
  model.updateRangeFromResistors();
  EXPECT_EQ(messages(), QStringList({"message: AVDD needs to be non-zero",
                                     "message: Rset needs to be greater than 0",
                                     "message: R1+R2 is less than 0?"}));
  expectTexts({{txtAVDD, "18"},
               {txtRSET, "10000"},
               {txtR1, "-30000"},
               {txtVoutMax, "-9.005"},
               {txtVOutMin, "-10.350"}});
}

TEST_P(DividerModelTest, InvalidTextsAreCorrectedSilently) {
  view.text(txtAVDD).clear();
  view.text(txtRSET) = QStringLiteral("ten");
  view.text(txtVoutMax).clear();
  type(txtVOutMin, "x1");
  model.updateResistorsFromRange();
  expectTexts({{txtAVDD, "18"}, {txtRSET, "10000"}, {txtVoutMax, "18"}, {txtVOutMin, "0"}});

  view.text(txtR1).clear();
  view.text(txtR2) = QStringLiteral("-");
  model.updateRangeFromResistors();
  expectTexts({{txtR1, "20000"}, {txtR2, "20000"}});
  EXPECT_TRUE(messages().isEmpty());
}

TEST_P(DividerModelTest, VoutMaxDefaultsToAvddInGeneralForm) {
  type(txtAVDD, "12.50");
  view.text(txtVoutMax).clear();
  type(txtVOutMin, "1");
  model.updateResistorsFromRange();
  expectTexts({{txtVoutMax, "12.5"}});
}

TEST_P(DividerModelTest, OnlyTheRangeToResistorsDirectionSetsColours) {
  type(txtAVDD, "20");
  model.updateResistorsFromRange();
  EXPECT_EQ(view.colour(txtAVDD), FieldColour::Red);

  type(txtAVDD, "5");
  model.updateRangeFromResistors();
  EXPECT_EQ(view.colour(txtAVDD), FieldColour::Red);
  EXPECT_EQ(view.colour(txtR2), FieldColour::Red);
}

TEST_P(DividerModelTest, TextsAreReadInTheLocaleNotationOnly) {
  const char* foreignSeparator = GetParam().decimalPoint() == u"." ? "12,5" : "12.5";
  view.text(txtVoutMax) = QString::fromLatin1(foreignSeparator);
  view.text(txtVOutMin) = QStringLiteral(" 12 ");
  view.text(txtRSET) = QStringLiteral("1e999");
  model.updateResistorsFromRange();
  expectTexts({{txtVoutMax, "18"}, {txtVOutMin, " 12 "}, {txtRSET, "10000"}});
  EXPECT_TRUE(messages().isEmpty());

  view.text(txtAVDD) = QStringLiteral("-0");
  type(txtR1, "24900");
  type(txtR2, "39200");
  model.updateRangeFromResistors();
  EXPECT_EQ(messages(), QStringList({"message: AVDD needs to be non-zero"}));
}

TEST_P(DividerModelTest, ResultsWithoutAFiniteValueKeepTheirFieldText) {
  type(txtR1, "-10000");
  type(txtR2, "10000");
  model.updateRangeFromResistors();
  expectTexts({{txtVoutMax, "18"}, {txtVOutMin, "18"}, {txtVOUT, "0"}});

  type(txtAVDD, "18");
  type(txtVoutMax, "-1");
  type(txtVOutMin, "-256");
  type(txtR1, "1234");
  model.updateResistorsFromRange();
  expectTexts({{txtR1, "1234"}, {txtVOUT, "0"}});
  EXPECT_EQ(view.colour(txtR1), FieldColour::Red);
}

TEST_P(DividerModelTest, ResultsRoundingToZeroCarryNoSign) {
  type(txtR1, "1e308");
  type(txtR2, "1e308");
  model.updateRangeFromResistors();
  expectTexts({{txtVoutMax, "0.000"}, {txtVOutMin, "0.000"}, {txtVOUT, "0.000"}});
}

TEST_P(DividerModelTest, OutOfRangeDvrTextsAreBroughtIntoRange) {
  view.dvr = QStringLiteral("1FF");
  model.updateRangeFromResistors();
  EXPECT_EQ(view.readoutTop, 2640);

  view.hex = false;
  view.dvr = QStringLiteral("-3");
  model.updateRangeFromResistors();
  EXPECT_EQ(view.readoutTop, 720);
}

INSTANTIATE_TEST_SUITE_P(Locales, DividerModelTest,
                         testing::Values(QLocale(QLocale::English, QLocale::UnitedStates),
                                         QLocale(QLocale::German, QLocale::Germany)),
                         [](const auto& info) { return info.param.name().toStdString(); });

}  // namespace
