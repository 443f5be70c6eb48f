#pragma once

#include <QLocale>
#include <QString>

#include "calculator_view.h"
#include "locale_numbers.h"

// The VCOM calculator of the QV6180 board. It works out the external divider (R1 from AVDD to the
// VCOM node, R2 from there to ground) in either direction from the texts of the calculator's
// fields, shows VCOM, IOUT and VRSET for the DVR value of the DVR entry field, and moves the VCOM
// read-out along the scale. The field texts are its only state.
class DividerModel {
 public:
  explicit DividerModel(CalculatorView& view, const QLocale& locale = QLocale());

  // From the wanted range VOUTmax to VOUTmin, AVDD and Rset, works out R1 and R2.
  void updateResistorsFromRange();
  // From R1, R2, AVDD and Rset, works out the range VOUTmax to VOUTmin.
  void updateRangeFromResistors();

  // True when the text is empty or holds no number in the locale's notation. A text for which it
  // is false always converts.
  bool numberIsNotValid(const QString& text) const;

 private:
  double validFieldNumber(CalculatorField field, double defaultValue);
  double correctField(CalculatorField field, double value);
  double reportedCorrection(const QString& message, CalculatorField field, double value);
  double positiveAvdd(double avdd);
  double positiveRset(double rset);
  int readDvr();
  void writeDvrReadings(double avdd, double rset, double r1, double r2, int dvr);
  void writeResult(CalculatorField field, double value, int decimals);
  void markResistor(CalculatorField field, double resistance);
  void moveReadout(int dvr);

  CalculatorView& view_;
  LocaleNumbers numbers_;
};
