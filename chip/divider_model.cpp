#include "divider_model.h"

#include <algorithm>
#include <cmath>

#include "divider_formulas.h"

namespace {

using enum CalculatorField;

constexpr double kDefaultAvdd = 18.0;
constexpr double kHighestRatedAvdd = 18.0;
constexpr double kDefaultRset = 10000.0;
constexpr double kDefaultResistor = 20000.0;
constexpr double kDefaultVoutMin = 0.0;

constexpr int kReadoutTopAtDvr0 = 720;
constexpr int kPointerYAtDvr0 = 840;
constexpr double kTwipsPerDvrStep = 7.52941;

constexpr int kCurrentDecimals = 5;
constexpr int kVoltageDecimals = 3;
constexpr int kResistorDecimals = 1;

constexpr const char* kBeyondTheRangeOfNumbers = "the result lies beyond the range of numbers";

// One run of a calculation: the field texts as the corrections leave them, and the updates so far.
class Calculation {
 public:
  Calculation(const CalculatorInputs& inputs, const NumberText& numbers)
      : texts_(inputs.texts), numbers_(numbers) {}

  double validFieldNumber(CalculatorField field, double defaultValue) {
    if (const auto typed = numbers_.parse(text(field))) return *typed;
    const std::string general = numbers_.general(defaultValue);
    write(field, general);
    return numbers_.parse(general).value_or(defaultValue);
  }

  double correctField(CalculatorField field, double value) {
    write(field, numbers_.general(value));
    return value;
  }

  double reportedCorrection(const std::string& message, CalculatorField field, double value) {
    show(message);
    return correctField(field, value);
  }

  double positiveAvdd(double avdd) {
    if (avdd > 0) return avdd;
    return reportedCorrection("AVDD needs to be non-zero", txtAVDD, kDefaultAvdd);
  }

  double positiveRset(double rset) {
    if (rset > 0) return rset;
    return reportedCorrection("Rset needs to be greater than 0", txtRSET, kDefaultRset);
  }

  int readDvr(const CalculatorInputs& inputs) {
    updates_.emplace_back(ShowDvrNotation{inputs.hexMode});
    return std::clamp(inputs.dvr, 0, kHighestDvr);
  }

  void writeDvrReadings(double avdd, double rset, double r1, double r2, int dvr,
                        const std::string& noValueReason) {
    writeResult(txtIOUT, outputCurrent(avdd, rset, dvr), kCurrentDecimals, noValueReason);
    writeResult(txtVRSET, vrsetVoltage(avdd, rset, dvr), kVoltageDecimals, noValueReason);
    writeResult(txtVOUT, vcomVoltage(avdd, rset, r1, r2, dvr), kVoltageDecimals, noValueReason);
  }

  // A zero divisor or an overflow has no value to show: the field keeps a valid text, marked as
  // not belonging to the inputs.
  void writeResult(CalculatorField field, double value, int decimals,
                   const std::string& noValueReason) {
    if (std::isfinite(value)) {
      write(field, numbers_.fixed(value, decimals));
    } else {
      updates_.emplace_back(MarkNotComputed{field, noValueReason});
    }
  }

  // A resistor that is not positive, or has no finite value, cannot be fitted.
  void markResistor(CalculatorField field, double resistance) {
    const bool usable = std::isfinite(resistance) && resistance > 0;
    colour(field, usable ? FieldColour::ButtonText : FieldColour::Red);
  }

  void colour(CalculatorField field, FieldColour colour) {
    updates_.emplace_back(ColourField{field, colour});
  }

  void moveReadout(int dvr) {
    const int offset = static_cast<int>(std::lround(dvr * kTwipsPerDvrStep));
    updates_.emplace_back(MoveReadout{kReadoutTopAtDvr0 + offset, kPointerYAtDvr0 + offset});
  }

  void show(const std::string& message) { updates_.emplace_back(ShowMessage{message}); }

  CalculatorUpdates updates() && { return std::move(updates_); }

 private:
  const std::string& text(CalculatorField field) const {
    return texts_[static_cast<std::size_t>(field)];
  }

  void write(CalculatorField field, const std::string& text) {
    texts_[static_cast<std::size_t>(field)] = text;
    updates_.emplace_back(WriteField{field, text});
  }

  std::array<std::string, kCalculatorFieldCount> texts_;
  const NumberText& numbers_;
  CalculatorUpdates updates_;
};

std::string resistorsNoValueReason(double voutMax, double voutMin, double avdd) {
  if (voutMax * 256 == voutMin) return "VOUTmax × 256 equals VOUTmin";
  if (avdd * 255 + voutMin == voutMax * 256) {
    return "AVDD × 255 + VOUTmin equals VOUTmax × 256";
  }
  return kBeyondTheRangeOfNumbers;
}

}  // namespace

DividerModel::DividerModel(const NumberText& numbers) : numbers_(numbers) {}

bool DividerModel::numberIsNotValid(std::string_view text) const {
  return !numbers_.parse(text).has_value();
}

CalculatorUpdates DividerModel::updateResistorsFromRange(const CalculatorInputs& inputs) const {
  Calculation run(inputs, numbers_);
  double avdd = run.validFieldNumber(txtAVDD, kDefaultAvdd);
  double rset = run.validFieldNumber(txtRSET, kDefaultRset);
  double voutMax = run.validFieldNumber(txtVoutMax, avdd);
  double voutMin = run.validFieldNumber(txtVOutMin, kDefaultVoutMin);
  const int dvr = run.readDvr(inputs);

  avdd = run.positiveAvdd(avdd);
  if (voutMax > avdd) {
    voutMax = run.reportedCorrection("VOUTmax cannot exceed AVDD", txtVoutMax, avdd);
  }
  if (!(voutMin < voutMax)) {
    voutMax = run.reportedCorrection("VOUTmin must be lower than VOUTmax", txtVoutMax, avdd);
    voutMin = run.correctField(txtVOutMin, kDefaultVoutMin);
  }
  rset = run.positiveRset(rset);

  const double r1 = topResistor(voutMax, voutMin, rset);
  const double r2 = bottomResistor(voutMax, voutMin, avdd, rset);
  const std::string noValueReason = resistorsNoValueReason(voutMax, voutMin, avdd);
  run.writeDvrReadings(avdd, rset, r1, r2, dvr, noValueReason);
  run.writeResult(txtR1, r1, kResistorDecimals, noValueReason);
  run.writeResult(txtR2, r2, kResistorDecimals, noValueReason);
  run.markResistor(txtR1, r1);
  run.markResistor(txtR2, r2);
  run.colour(txtAVDD, avdd > kHighestRatedAvdd ? FieldColour::Red : FieldColour::ButtonText);
  run.moveReadout(dvr);
  return std::move(run).updates();
}

CalculatorUpdates DividerModel::updateRangeFromResistors(const CalculatorInputs& inputs) const {
  Calculation run(inputs, numbers_);
  double avdd = run.validFieldNumber(txtAVDD, kDefaultAvdd);
  double rset = run.validFieldNumber(txtRSET, kDefaultRset);
  const double r1 = run.validFieldNumber(txtR1, kDefaultResistor);
  const double r2 = run.validFieldNumber(txtR2, kDefaultResistor);
  const int dvr = run.readDvr(inputs);

  avdd = run.positiveAvdd(avdd);
  rset = run.positiveRset(rset);
  // Reported only: the results are worked out from the resistors as they stand.
  if (!(r1 + r2 > 0)) run.show("R1+R2 is less than 0?");

  const std::string noValueReason = r1 + r2 == 0 ? "R1 + R2 is 0" : kBeyondTheRangeOfNumbers;
  run.writeDvrReadings(avdd, rset, r1, r2, dvr, noValueReason);
  run.writeResult(txtVoutMax, highestVout(avdd, rset, r1, r2), kVoltageDecimals, noValueReason);
  run.writeResult(txtVOutMin, lowestVout(avdd, rset, r1, r2), kVoltageDecimals, noValueReason);
  run.moveReadout(dvr);
  return std::move(run).updates();
}
