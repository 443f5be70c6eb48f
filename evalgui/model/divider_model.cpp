#include "divider_model.h"

#include <algorithm>
#include <cmath>

#include "divider_formulas.h"
#include "dvr_value.h"

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

}  // namespace

DividerModel::DividerModel(CalculatorView& view, const QLocale& locale)
    : view_(view), numbers_(locale) {}

bool DividerModel::numberIsNotValid(const QString& text) const {
  return !numbers_.parse(text).has_value();
}

void DividerModel::updateResistorsFromRange() {
  double avdd = validFieldNumber(txtAVDD, kDefaultAvdd);
  double rset = validFieldNumber(txtRSET, kDefaultRset);
  double voutMax = validFieldNumber(txtVoutMax, avdd);
  double voutMin = validFieldNumber(txtVOutMin, kDefaultVoutMin);
  const int dvr = readDvr();

  avdd = positiveAvdd(avdd);
  if (voutMax > avdd) {
    voutMax = reportedCorrection(QStringLiteral("VOUTmax cannot exceed AVDD"), txtVoutMax, avdd);
  }
  if (!(voutMin < voutMax)) {
    voutMax =
        reportedCorrection(QStringLiteral("VOUTmin must be lower than VOUTmax"), txtVoutMax, avdd);
    voutMin = correctField(txtVOutMin, kDefaultVoutMin);
  }
  rset = positiveRset(rset);

  const double r1 = topResistor(voutMax, voutMin, rset);
  const double r2 = bottomResistor(voutMax, voutMin, avdd, rset);
  writeDvrReadings(avdd, rset, r1, r2, dvr);
  writeResult(txtR1, r1, kResistorDecimals);
  writeResult(txtR2, r2, kResistorDecimals);
  markResistor(txtR1, r1);
  markResistor(txtR2, r2);
  view_.setFieldColour(txtAVDD,
                       avdd > kHighestRatedAvdd ? FieldColour::Red : FieldColour::ButtonText);
  moveReadout(dvr);
}

void DividerModel::updateRangeFromResistors() {
  double avdd = validFieldNumber(txtAVDD, kDefaultAvdd);
  double rset = validFieldNumber(txtRSET, kDefaultRset);
  const double r1 = validFieldNumber(txtR1, kDefaultResistor);
  const double r2 = validFieldNumber(txtR2, kDefaultResistor);
  const int dvr = readDvr();

  avdd = positiveAvdd(avdd);
  rset = positiveRset(rset);
  // Reported only: the results are worked out from the resistors as they stand.
  if (!(r1 + r2 > 0)) view_.showMessage(QStringLiteral("R1+R2 is less than 0?"));

  writeDvrReadings(avdd, rset, r1, r2, dvr);
  writeResult(txtVoutMax, highestVout(avdd, rset, r1, r2), kVoltageDecimals);
  writeResult(txtVOutMin, lowestVout(avdd, rset, r1, r2), kVoltageDecimals);
  moveReadout(dvr);
}

// Invalid texts are replaced silently: the calculator never refuses input.
double DividerModel::validFieldNumber(CalculatorField field, double defaultValue) {
  if (const auto typed = numbers_.parse(view_.fieldText(field))) return *typed;
  const QString text = numbers_.general(defaultValue);
  view_.setFieldText(field, text);
  return numbers_.parse(text).value_or(defaultValue);
}

double DividerModel::correctField(CalculatorField field, double value) {
  view_.setFieldText(field, numbers_.general(value));
  return value;
}

double DividerModel::reportedCorrection(const QString& message, CalculatorField field,
                                        double value) {
  view_.showMessage(message);
  return correctField(field, value);
}

double DividerModel::positiveAvdd(double avdd) {
  if (avdd > 0) return avdd;
  return reportedCorrection(QStringLiteral("AVDD needs to be non-zero"), txtAVDD, kDefaultAvdd);
}

double DividerModel::positiveRset(double rset) {
  if (rset > 0) return rset;
  return reportedCorrection(QStringLiteral("Rset needs to be greater than 0"), txtRSET,
                            kDefaultRset);
}

int DividerModel::readDvr() {
  const bool hex = view_.hexMode();
  view_.setDvrCaption(hex ? QStringLiteral("DVR (hex)") : QStringLiteral("DVR (dec)"));
  return std::clamp(readDvrValue(view_.dvrText(), hex, numbers_), 0, kHighestDvr);
}

void DividerModel::writeDvrReadings(double avdd, double rset, double r1, double r2, int dvr) {
  writeResult(txtIOUT, outputCurrent(avdd, rset, dvr), kCurrentDecimals);
  writeResult(txtVRSET, vrsetVoltage(avdd, rset, dvr), kVoltageDecimals);
  writeResult(txtVOUT, vcomVoltage(avdd, rset, r1, r2, dvr), kVoltageDecimals);
}

// A zero denominator or an overflow has no value to show: the field keeps its text, so every
// field always holds a number.
void DividerModel::writeResult(CalculatorField field, double value, int decimals) {
  if (std::isfinite(value)) view_.setFieldText(field, numbers_.fixed(value, decimals));
}

// A resistor that is not positive, or has no finite value, cannot be fitted.
void DividerModel::markResistor(CalculatorField field, double resistance) {
  const bool usable = std::isfinite(resistance) && resistance > 0;
  view_.setFieldColour(field, usable ? FieldColour::ButtonText : FieldColour::Red);
}

void DividerModel::moveReadout(int dvr) {
  const int offset = static_cast<int>(std::lround(dvr * kTwipsPerDvrStep));
  view_.moveReadout(kReadoutTopAtDvr0 + offset, kPointerYAtDvr0 + offset);
}
