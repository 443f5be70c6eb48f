#pragma once

#include <QObject>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

#include "locale_numbers.h"
#include "twips.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QRadioButton;
class QValidator;
class QWidget;

// The DVR entry field txtTest, which holds the register value 0 to 255 as text in decimal or in
// hexadecimal (digits only, no prefix), the option buttons opDisplayMode that choose the notation,
// and the field's label lblDVR2 that names it. The text is the only store of the value.

// The value at the start of the text. In hexadecimal the digits up to the first other character;
// in decimal the number at the start, rounded to the nearest integer with halves to even. Blanks
// before the number are skipped, and a text that does not start with a number reads as 0. Values
// beyond 0..255 are returned as they are, limited only to the range of int.
int readDvrValue(QStringView text, bool hexMode, const LocaleNumbers& numbers = LocaleNumbers());

// Upper-case hexadecimal digits for a register of 8 or 10 bits, padded to the register's width
// (two or three digits) and capped at its highest value; empty for any other width. A negative
// value gives the digits of its 16-bit two's complement.
QString formatHex(std::int16_t value, std::uint8_t width);

// Typing filters: the character to insert for a typed one, 0 to drop it. Enter and Backspace
// always pass.
char16_t filterHexKey(char16_t key);
char16_t filterDecimalKey(char16_t key);

// The text that the field takes instead of this one: "0" for a text that holds no number in the
// notation, the text of 255 or 0 for a value beyond them. Empty when the text may stay.
std::optional<QString> dvrTextCorrection(QStringView text, bool hexMode,
                                         const LocaleNumbers& numbers);

// The text after a step of the value by `step`. It can lie beyond 0 to 255, for the correction
// to bring back.
QString steppedDvrText(QStringView text, bool hexMode, int step, const LocaleNumbers& numbers);

// The same value written in the other notation.
QString convertedDvrText(QStringView text, bool toHex, const LocaleNumbers& numbers);

class DvrEntry final : public QObject {
  Q_OBJECT

 public:
  // Builds the controls in the calculator frame, in hexadecimal mode.
  DvrEntry(QWidget& frame, const Twips& twips, const LocaleNumbers& numbers);

  // Centres the text of every element and sets it to "00".
  void initDvrFields();
  // The value of element 0, read in the current notation.
  int value() const;
  bool hexMode() const { return hexMode_; }
  // The one place that writes the label's caption.
  void showNotation(bool hexMode);
  // A step key steps the value of the element and asks for a calculation; Enter only asks.
  void handleDvrKey(int index, int key);

  QLineEdit& field() const { return *txtTest_[0]; }
  QRadioButton& option(int index) const;

 signals:
  // updateResistorsFromRange is to run for the value now in the field.
  void calculationRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildField(QWidget& frame, const Twips& twips);
  void buildOptions(QWidget& frame, const Twips& twips);
  void txtTest_Change(int index);
  bool txtTest_KeyPress(int index, const QKeyEvent& event);
  void opDisplayMode_Click(int index);

  const LocaleNumbers numbers_;
  bool hexMode_ = true;
  QLabel* lblDVR2_ = nullptr;
  std::array<QLineEdit*, 1> txtTest_{};
  std::array<QRadioButton*, 2> opDisplayMode_{};
  QValidator* hexText_ = nullptr;
};
