#pragma once

#include <optional>
#include <string>
#include <string_view>

// Numbers as the user reads and writes them in the number fields, in UTF-8 texts. How numbers
// look (decimal separator, signs, digits) is the front end's business: the Qt window reads and
// writes them in the user's locale, the command line and the tests in plain C notation. The
// calculator and the DVR entry only ask through this interface.
class NumberText {
 public:
  virtual ~NumberText() = default;

  // The value of a text that holds one finite number and nothing else but blanks around it.
  // Texts beyond the range of double, infinities and NaNs hold no number.
  virtual std::optional<double> parse(std::string_view text) const = 0;

  // The value of the number the text starts with, after blanks, read up to the first character
  // that does not belong to it: 0 when the text does not start with a number, an infinity of
  // the number's sign when it lies beyond the range of double.
  virtual double leadingValue(std::string_view text) const = 0;

  // The value with exactly this many decimals ("0.000" for 3), exact halves rounded away from
  // zero, no group separators. A value that rounds to zero is written without a sign.
  virtual std::string fixed(double value, int decimals) const = 0;

  // The value in general form: up to 15 significant digits, no trailing zeros, 18 as "18".
  // The text always parses back.
  virtual std::string general(double value) const = 0;
};
