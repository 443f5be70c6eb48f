#include "divider_model.h"

#include <gtest/gtest.h>

#include "plain_number_text.h"

// Updates in failure messages as "txtR1=24898.9", "message: ...", "colour txtR2 Red", ...
void PrintTo(const CalculatorUpdate& update, std::ostream* out) {
  static constexpr std::array kNames{"txtAVDD",    "txtRSET", "txtR1",   "txtR2",   "txtVoutMax",
                                     "txtVOutMin", "txtVOUT", "txtIOUT", "txtVRSET"};
  const auto name = [](CalculatorField field) { return kNames[static_cast<std::size_t>(field)]; };
  std::visit(
      [&](const auto& step) {
        using Step = std::decay_t<decltype(step)>;
        if constexpr (std::is_same_v<Step, ShowMessage>) {
          *out << "message: " << step.text;
        } else if constexpr (std::is_same_v<Step, WriteField>) {
          *out << name(step.field) << '=' << step.text;
        } else if constexpr (std::is_same_v<Step, ColourField>) {
          *out << "colour " << name(step.field)
               << (step.colour == FieldColour::Red ? " Red" : " ButtonText");
        } else if constexpr (std::is_same_v<Step, MarkNotComputed>) {
          *out << "not computed " << name(step.field) << ": " << step.reason;
        } else if constexpr (std::is_same_v<Step, ShowDvrNotation>) {
          *out << (step.hexMode ? "DVR (hex)" : "DVR (dec)");
        } else {
          *out << "read-out " << step.readoutTopTwips << '/' << step.pointerYTwips;
        }
      },
      update);
}

namespace {

using enum CalculatorField;

// Every case runs with "." and with "," as decimal separator; the figures below are written with
// "." and put into the notation of the case by local().
class DividerModelTest : public testing::TestWithParam<const char*> {
 protected:
  std::string local(const char* plain) const {
    std::string text(plain);
    for (char& c : text) {
      if (c == '.') c = *GetParam();
    }
    return text;
  }
  std::string& text(CalculatorField field) { return inputs.texts[static_cast<std::size_t>(field)]; }
  void type(CalculatorField field, const char* plain) { text(field) = local(plain); }
  WriteField write(CalculatorField field, const char* plain) const { return {field, local(plain)}; }

  // The inputs as the window holds them after it carried out the updates.
  void apply(const CalculatorUpdates& updates) {
    for (const CalculatorUpdate& update : updates) {
      if (const auto* written = std::get_if<WriteField>(&update)) {
        text(written->field) = written->text;
      }
    }
  }
  void expectTexts(std::initializer_list<std::pair<CalculatorField, const char*>> expected) {
    for (const auto& [field, plain] : expected) EXPECT_EQ(text(field), local(plain));
  }
  template <typename Step>
  static std::vector<Step> only(const CalculatorUpdates& updates) {
    std::vector<Step> steps;
    for (const CalculatorUpdate& update : updates) {
      if (const auto* step = std::get_if<Step>(&update)) steps.push_back(*step);
    }
    return steps;
  }

  // The texts of the window when it opens.
  CalculatorInputs inputs{{"18", "10000", "24900", "39200", "18", "18", "0", "0", "0"}, 0, true};
  PlainNumberText numbers{GetParam()};
  DividerModel model{numbers};
};

TEST_P(DividerModelTest, StartUpTextsGiveTheRangeAndReadingsAtDvr0) {
  EXPECT_EQ(
      model.updateRangeFromResistors(inputs),
      CalculatorUpdates({ShowDvrNotation{true}, write(txtIOUT, "0.00000"), write(txtVRSET, "0.000"),
                         write(txtVOUT, "11.002"), write(txtVoutMax, "11.002"),
                         write(txtVOutMin, "9.637"), MoveReadout{720, 840}}));
}

TEST_P(DividerModelTest, ReadingsAndScalePositionFollowTheDvrValue) {
  inputs.dvr = 255;
  const CalculatorUpdates updates = model.updateRangeFromResistors(inputs);
  apply(updates);
  expectTexts({{txtVOUT, "9.637"}, {txtIOUT, "0.00009"}, {txtVRSET, "0.896"}});
  EXPECT_EQ(updates.back(), CalculatorUpdate(MoveReadout{2640, 2760}));

  inputs.dvr = 128;
  EXPECT_EQ(model.updateRangeFromResistors(inputs).back(),
            CalculatorUpdate(MoveReadout{720 + 964, 840 + 964}));
}

TEST_P(DividerModelTest, TheCaptionNamesTheNotationBeforeAnyMessage) {
  inputs.hexMode = false;
  type(txtAVDD, "0");
  const CalculatorUpdates updates = model.updateResistorsFromRange(inputs);
  EXPECT_EQ(updates.front(), CalculatorUpdate(ShowDvrNotation{false}));
  EXPECT_EQ(updates[1], CalculatorUpdate(ShowMessage{"AVDD needs to be non-zero"}));
}

TEST_P(DividerModelTest, RangeGivesResistorsAndVcomAtBothEnds) {
  type(txtVoutMax, "12");
  type(txtVOutMin, "10");
  const CalculatorUpdates updates = model.updateResistorsFromRange(inputs);
  EXPECT_EQ(
      CalculatorUpdates(updates.end() - 6, updates.end()),
      CalculatorUpdates({write(txtR1, "33442.2"), write(txtR2, "67015.7"),
                         ColourField{txtR1, FieldColour::ButtonText},
                         ColourField{txtR2, FieldColour::ButtonText},
                         ColourField{txtAVDD, FieldColour::ButtonText}, MoveReadout{720, 840}}));
  apply(updates);
  expectTexts({{txtVOUT, "12.000"}});

  inputs.dvr = 255;
  apply(model.updateResistorsFromRange(inputs));
  expectTexts({{txtVOUT, "10.000"}});
}

TEST_P(DividerModelTest, RoundTripStartsFromTheRoundedRange) {
  apply(model.updateRangeFromResistors(inputs));
  apply(model.updateResistorsFromRange(inputs));
  expectTexts({{txtR1, "24898.9"}, {txtR2, "39194.1"}});
}

TEST_P(DividerModelTest, RangeUpToAvddGivesANegativeR2MarkedRed) {
  type(txtVOutMin, "0");
  const CalculatorUpdates updates = model.updateResistorsFromRange(inputs);
  apply(updates);
  expectTexts({{txtR1, "200000.0"}, {txtR2, "-51200000.0"}});
  EXPECT_EQ(only<ColourField>(updates),
            std::vector<ColourField>({{txtR1, FieldColour::ButtonText},
                                      {txtR2, FieldColour::Red},
                                      {txtAVDD, FieldColour::ButtonText}}));
  EXPECT_TRUE(only<ShowMessage>(updates).empty());
}

// A message comes before the corrections and writes that follow it in the procedure.
TEST_P(DividerModelTest, RangeMessagesComeInStepOrderEachBeforeItsCorrection) {
  type(txtAVDD, "0");
  type(txtVoutMax, "20");
  type(txtVOutMin, "20");
  type(txtRSET, "-1");
  const CalculatorUpdates updates = model.updateResistorsFromRange(inputs);
  EXPECT_EQ(
      CalculatorUpdates(updates.begin(), updates.begin() + 10),
      CalculatorUpdates({ShowDvrNotation{true}, ShowMessage{"AVDD needs to be non-zero"},
                         write(txtAVDD, "18"), ShowMessage{"VOUTmax cannot exceed AVDD"},
                         write(txtVoutMax, "18"), ShowMessage{"VOUTmin must be lower than VOUTmax"},
                         write(txtVoutMax, "18"), write(txtVOutMin, "0"),
                         ShowMessage{"Rset needs to be greater than 0"}, write(txtRSET, "10000")}));
  apply(updates);
  expectTexts({{txtR1, "200000.0"}, {txtR2, "-51200000.0"}});
}

TEST_P(DividerModelTest, ResistorMessagesComeInStepOrderAndR1PlusR2IsOnlyReported) {
  type(txtAVDD, "-5");
  type(txtRSET, "0");
  type(txtR1, "-30000");
  type(txtR2, "10000");
  const CalculatorUpdates updates = model.updateRangeFromResistors(inputs);
  EXPECT_EQ(CalculatorUpdates(updates.begin(), updates.begin() + 7),
            CalculatorUpdates({ShowDvrNotation{true}, ShowMessage{"AVDD needs to be non-zero"},
                               write(txtAVDD, "18"), ShowMessage{"Rset needs to be greater than 0"},
                               write(txtRSET, "10000"), ShowMessage{"R1+R2 is less than 0?"},
                               write(txtIOUT, "0.00000")}));
  apply(updates);
  expectTexts({{txtR1, "-30000"}, {txtVoutMax, "-9.005"}, {txtVOutMin, "-10.350"}});
}

TEST_P(DividerModelTest, InvalidTextsAreCorrectedSilently) {
  text(txtAVDD).clear();
  text(txtRSET) = "ten";
  text(txtVoutMax).clear();
  type(txtVOutMin, "x1");
  CalculatorUpdates updates = model.updateResistorsFromRange(inputs);
  apply(updates);
  expectTexts({{txtAVDD, "18"}, {txtRSET, "10000"}, {txtVoutMax, "18"}, {txtVOutMin, "0"}});
  EXPECT_TRUE(only<ShowMessage>(updates).empty());

  text(txtR1).clear();
  text(txtR2) = "-";
  updates = model.updateRangeFromResistors(inputs);
  apply(updates);
  expectTexts({{txtR1, "20000"}, {txtR2, "20000"}});
  EXPECT_TRUE(only<ShowMessage>(updates).empty());
}

TEST_P(DividerModelTest, VoutMaxDefaultsToAvddInGeneralForm) {
  type(txtAVDD, "12.50");
  text(txtVoutMax).clear();
  type(txtVOutMin, "1");
  apply(model.updateResistorsFromRange(inputs));
  expectTexts({{txtVoutMax, "12.5"}});
}

TEST_P(DividerModelTest, OnlyTheRangeToResistorsDirectionSetsColours) {
  type(txtAVDD, "20");
  EXPECT_EQ(only<ColourField>(model.updateResistorsFromRange(inputs)).back(),
            (ColourField{txtAVDD, FieldColour::Red}));
  EXPECT_TRUE(only<ColourField>(model.updateRangeFromResistors(inputs)).empty());
}

TEST_P(DividerModelTest, TextsAreReadInTheLocaleNotationOnly) {
  text(txtVoutMax) = *GetParam() == '.' ? "12,5" : "12.5";
  text(txtVOutMin) = " 12 ";
  text(txtRSET) = "1e999";
  const CalculatorUpdates updates = model.updateResistorsFromRange(inputs);
  apply(updates);
  expectTexts({{txtVoutMax, "18"}, {txtVOutMin, " 12 "}, {txtRSET, "10000"}});
  EXPECT_TRUE(only<ShowMessage>(updates).empty());

  text(txtAVDD) = "-0";
  type(txtR1, "24900");
  type(txtR2, "39200");
  EXPECT_EQ(only<ShowMessage>(model.updateRangeFromResistors(inputs)),
            std::vector<ShowMessage>({{"AVDD needs to be non-zero"}}));
}

// The field keeps a valid text, and is marked until a calculation writes it again.
TEST_P(DividerModelTest, ResultsWithoutAFiniteValueAreMarkedWithTheirReason) {
  type(txtR1, "-10000");
  type(txtR2, "10000");
  CalculatorUpdates updates = model.updateRangeFromResistors(inputs);
  EXPECT_EQ(
      only<MarkNotComputed>(updates),
      std::vector<MarkNotComputed>(
          {{txtVOUT, "R1 + R2 is 0"}, {txtVoutMax, "R1 + R2 is 0"}, {txtVOutMin, "R1 + R2 is 0"}}));
  EXPECT_EQ(only<WriteField>(updates),
            std::vector<WriteField>({write(txtIOUT, "0.00000"), write(txtVRSET, "0.000")}));

  type(txtAVDD, "18");
  type(txtVoutMax, "-1");
  type(txtVOutMin, "-256");
  updates = model.updateResistorsFromRange(inputs);
  EXPECT_EQ(only<MarkNotComputed>(updates),
            std::vector<MarkNotComputed>({{txtVOUT, "VOUTmax × 256 equals VOUTmin"},
                                          {txtR1, "VOUTmax × 256 equals VOUTmin"}}));
  EXPECT_EQ(only<ColourField>(updates).front(), (ColourField{txtR1, FieldColour::Red}));
}

TEST_P(DividerModelTest, ResultsRoundingToZeroCarryNoSign) {
  type(txtR1, "1e308");
  type(txtR2, "1e308");
  apply(model.updateRangeFromResistors(inputs));
  expectTexts({{txtVoutMax, "0.000"}, {txtVOutMin, "0.000"}, {txtVOUT, "0.000"}});
}

TEST_P(DividerModelTest, OutOfRangeDvrValuesAreBroughtIntoRange) {
  inputs.dvr = 511;
  EXPECT_EQ(model.updateRangeFromResistors(inputs).back(),
            CalculatorUpdate(MoveReadout{2640, 2760}));
  inputs.dvr = -3;
  EXPECT_EQ(model.updateRangeFromResistors(inputs).back(), CalculatorUpdate(MoveReadout{720, 840}));
}

INSTANTIATE_TEST_SUITE_P(Separators, DividerModelTest, testing::Values(".", ","),
                         [](const auto& info) { return *info.param == '.' ? "Point" : "Comma"; });

}  // namespace
