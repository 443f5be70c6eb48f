#pragma once

#include <string>

#include "number_text.h"

// Numbers in C notation, with a decimal separator of choice: an optional sign, digits, the
// separator and digits, an optional exponent ("e" or "E", a sign, digits). No group separators.
// The command line uses "."; a front end whose platform tells it the user's decimal separator
// (a single character or a UTF-8 sequence such as U+066B) may pass that.
class PlainNumberText final : public NumberText {
 public:
  explicit PlainNumberText(std::string decimalSeparator = ".");

  std::optional<double> parse(std::string_view text) const override;
  double leadingValue(std::string_view text) const override;
  std::string fixed(double value, int decimals) const override;
  std::string general(double value) const override;

 private:
  // The length of the number at the start of the text, 0 when it starts with none.
  std::size_t leadingNumberLength(std::string_view text) const;
  // The number's text with "." as separator, for the C library.
  std::string inCNotation(std::string_view number) const;
  std::string fromCNotation(std::string text) const;

  std::string separator_;
};
