#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

#include "number_text.h"

// Numbers as the user reads and writes them: the locale's signs, decimal separator and exponent,
// never group separators. Group separators are refused on input because "12,5" in an English
// locale or "12.5" in a German one is far more likely a slip of notation than 125.
class LocaleNumbers final : public NumberText {
 public:
  explicit LocaleNumbers(QLocale locale = QLocale());

  // The value of a text holding one finite number and nothing else but blanks around it;
  // invisible direction marks are ignored. Texts beyond the range of double ("1e999", "1e-999"),
  // "inf" and "nan" hold no number.
  std::optional<double> parse(std::string_view text) const override;

  // The value of the number the text starts with, after blanks, read up to the first character
  // that does not belong to it: 0 when the text does not start with a number, an infinity when
  // the number lies beyond the range of double.
  double leadingValue(std::string_view text) const override;

  // The value with exactly this many decimals, exact halves rounded away from zero. A value that
  // rounds to zero is written without a sign.
  std::string fixed(double value, int decimals) const override;

  // The value in general form: up to 15 significant digits, no trailing zeros, 18 as "18".
  // The text always parses back.
  std::string general(double value) const override;

 private:
  std::optional<double> parseText(QStringView text) const;
  QString generalText(double value) const;
  qsizetype leadingNumberLength(QStringView text) const;

  QLocale locale_;
};
