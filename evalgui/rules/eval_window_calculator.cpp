#include <algorithm>
#include <array>
#include <limits>
#include <variant>

#include "eval_window.h"

namespace {

constexpr const char* kRangeOrResistors =
    "Yes, Update Output Voltage Range from Resistor Values.\r\n"
    "No, Update Resistor Values from Voltage Range instead.";
constexpr const char* kRsetPromptTitle = "Rset Changed - Update Range from Resistor Values?";
constexpr const char* kAvddPromptTitle = "AVDD Changed - Update Range from Resistor Values?";

std::size_t indexOf(CalculatorField field) {
  return static_cast<std::size_t>(field);
}

}  // namespace

void EvalWindow::field_LostFocus(Control field) {
  if (!takesInput()) return;
  switch (field) {
    case Control::txtR1:
    case Control::txtR2:
      updateRangeFromResistors();
      break;
    case Control::txtVoutMax:
    case Control::txtVOutMin:
      if (!rangeAsCalculated()) updateResistorsFromRange();
      break;
    case Control::txtRSET:
      askWhichCalculation(kRsetPromptTitle);
      break;
    case Control::txtAVDD:
      askWhichCalculation(kAvddPromptTitle);
      break;
    default:
      break;
  }
}

// A range the user left as the calculator wrote it holds rounded values: working the resistors
// out from it would turn a standard pair such as 24900 and 39200 into 24898.9 and 39194.1.
bool EvalWindow::rangeAsCalculated() const {
  return std::ranges::all_of(std::array{CalculatorField::txtVoutMax, CalculatorField::txtVOutMin},
                             [&](auto field) {
                               const auto& calculated = calculated_[indexOf(field)];
                               return calculated && !notComputed_.test(indexOf(field)) &&
                                      view_.text(controlOf(field)) == *calculated;
                             });
}

void EvalWindow::askWhichCalculation(const char* title) {
  const MessageBoxRequest prompt{kRangeOrResistors, title, BoxButtons::YesNo, BoxIcon::Question,
                                 BoxAnswer::No};
  if (boxes_.show(prompt) == BoxAnswer::Yes) {
    updateRangeFromResistors();
  } else {
    updateResistorsFromRange();
  }
}

void EvalWindow::cmdCalculate_Click() {
  if (!takesInput()) return;
  updateRangeFromResistors();
}

WantedRange EvalWindow::wantedRange() const {
  using enum CalculatorField;
  return {.avdd = fieldNumber(txtAVDD),
          .rset = fieldNumber(txtRSET),
          .voutMax = fieldNumber(txtVoutMax),
          .voutMin = fieldNumber(txtVOutMin)};
}

void EvalWindow::useResistors(double r1, double r2) {
  if (!takesInput()) return;
  view_.setText(Control::txtR1, numbers_.general(r1));
  view_.setText(Control::txtR2, numbers_.general(r2));
  updateRangeFromResistors();
}

double EvalWindow::fieldNumber(CalculatorField field) const {
  return numbers_.parse(view_.text(controlOf(field)))
      .value_or(std::numeric_limits<double>::quiet_NaN());
}

void EvalWindow::updateResistorsFromRange() {
  apply(model_.updateResistorsFromRange(inputs()));
}

void EvalWindow::updateRangeFromResistors() {
  apply(model_.updateRangeFromResistors(inputs()));
}

CalculatorInputs EvalWindow::inputs() const {
  CalculatorInputs inputs{{}, dvrValue(), hexMode_};
  for (std::size_t i = 0; i < kCalculatorFieldCount; ++i) {
    inputs.texts[i] = view_.text(controlOf(static_cast<CalculatorField>(i)));
  }
  return inputs;
}

void EvalWindow::apply(const CalculatorUpdates& updates) {
  for (const CalculatorUpdate& update : updates) {
    std::visit([this](const auto& step) { apply(step); }, update);
  }
}

void EvalWindow::apply(const ShowMessage& step) {
  showMessage(step.text);
}

void EvalWindow::apply(const WriteField& step) {
  const Control written = controlOf(step.field);
  view_.setText(written, step.text);
  calculated_[indexOf(step.field)] = step.text;
  if (!notComputed_.test(indexOf(step.field))) return;
  notComputed_.reset(indexOf(step.field));
  view_.setToolTip(written, designOf(written).tip);
  view_.setTextColour(written, FieldColour::ButtonText);
}

void EvalWindow::apply(const ColourField& step) {
  view_.setTextColour(controlOf(step.field), step.colour);
}

void EvalWindow::apply(const MarkNotComputed& step) {
  notComputed_.set(indexOf(step.field));
  const Control marked = controlOf(step.field);
  view_.setToolTip(marked, std::string(designOf(marked).tip) + "\nNot computed: " + step.reason +
                               ". This number is left from an earlier calculation.");
  view_.setTextColour(marked, FieldColour::Red);
}

void EvalWindow::apply(const ShowDvrNotation& step) {
  showNotation(step.hexMode);
}

void EvalWindow::apply(const MoveReadout& step) {
  view_.setTop(Control::txtVOUT, step.readoutTopTwips);
  view_.setTop(Control::lblVCOM, step.readoutTopTwips);
  view_.setTop(Control::Line4, step.pointerYTwips);
}
