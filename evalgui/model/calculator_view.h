#pragma once

#include <QString>

// The calculator's number fields, named after the window's text boxes.
enum class CalculatorField {
  txtAVDD,
  txtRSET,
  txtR1,
  txtR2,
  txtVoutMax,
  txtVOutMin,
  txtVOUT,
  txtIOUT,
  txtVRSET,
};

// Text colours of the fields: the system's button-text colour, or pure red (255, 0, 0) for a
// value that cannot be used as it stands.
enum class FieldColour { ButtonText, Red };

// What the calculator needs from its window. The window implements it over its widgets, the tests
// over plain values.
class CalculatorView {
 public:
  virtual ~CalculatorView() = default;

  virtual QString fieldText(CalculatorField field) const = 0;
  virtual void setFieldText(CalculatorField field, const QString& text) = 0;
  virtual void setFieldColour(CalculatorField field, FieldColour colour) = 0;
  // Caption of lblDVR2, the label of the DVR entry field.
  virtual void setDvrCaption(const QString& caption) = 0;
  // Moves the VCOM read-out: the top of txtVOUT and of lblVCOM, and the y of both ends of the
  // pointer Line4, in twips within the calculator frame.
  virtual void moveReadout(int readoutTopTwips, int pointerYTwips) = 0;
  // A modal box titled "QV6180" with an OK button and no icon; returns once the user closed it.
  virtual void showMessage(const QString& text) = 0;
  // Text of the DVR entry field txtTest(0), and whether it is written in hexadecimal.
  virtual QString dvrText() const = 0;
  virtual bool hexMode() const = 0;
};
