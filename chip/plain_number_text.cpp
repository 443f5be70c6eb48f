#include "plain_number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <utility>

namespace {

constexpr int kGeneralSignificantDigits = 15;
// Digits written beyond the wanted ones to tell an exact half from a value near it.
constexpr int kGuardDigits = 25;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::size_t skipDigits(std::string_view text, std::size_t pos) {
  while (pos < text.size() && isDigit(text[pos])) ++pos;
  return pos;
}

std::size_t skipSign(std::string_view text, std::size_t pos) {
  return pos < text.size() && (text[pos] == '+' || text[pos] == '-') ? pos + 1 : pos;
}

// The power of ten of the first significant digit of a number in C notation, to tell whether
// a number beyond the range of double is too large or too small.
long decimalMagnitude(std::string_view number) {
  long exponent = 0;
  if (const auto e = number.find_first_of("eE"); e != std::string_view::npos) {
    std::from_chars(number.data() + e + 1 + (number[e + 1] == '+'), number.data() + number.size(),
                    exponent);
    number = number.substr(0, e);
  }
  const std::size_t point = number.find('.');
  const std::size_t integerDigitsEnd = point == std::string_view::npos ? number.size() : point;
  const std::size_t first = number.find_first_of("123456789");
  if (first == std::string_view::npos) return std::numeric_limits<long>::min();
  const long position = first < integerDigitsEnd ? static_cast<long>(integerDigitsEnd - first) - 1
                                                 : -static_cast<long>(first - integerDigitsEnd);
  return position + exponent;
}

// A number in C notation, with its sign; false beyond the range of double, whose value is then
// that of the nearer end: an infinity or zero of the number's sign.
bool convert(std::string_view number, double& value) {
  const bool negative = !number.empty() && number.front() == '-';
  const std::string_view unsigned_ = number.substr(skipSign(number, 0));
  const auto [end, error] =
      std::from_chars(unsigned_.data(), unsigned_.data() + unsigned_.size(), value);
  if (error == std::errc::result_out_of_range) {
    value = decimalMagnitude(unsigned_) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  if (negative) value = -value;
  return error == std::errc() && end == unsigned_.data() + unsigned_.size();
}

// Rounds the digits of a fixed-notation text (no sign) at `decimals`, halves up.
std::string roundedAt(std::string digits, int decimals) {
  const std::size_t point = digits.find('.');
  const std::size_t keep = point + static_cast<std::size_t>(decimals) + (decimals > 0 ? 1 : 0);
  const bool up = digits[point + static_cast<std::size_t>(decimals) + 1] >= '5';
  digits.resize(keep);
  if (!up) return digits;
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] == '.') continue;
    if (digits[i] != '9') {
      ++digits[i];
      return digits;
    }
    digits[i] = '0';
  }
  return '1' + digits;
}

}  // namespace

PlainNumberText::PlainNumberText(std::string decimalSeparator)
    : separator_(std::move(decimalSeparator)) {}

std::size_t PlainNumberText::leadingNumberLength(std::string_view text) const {
  const std::size_t mantissa = skipSign(text, 0);
  const std::size_t integerEnd = skipDigits(text, mantissa);
  const std::size_t fraction =
      text.substr(integerEnd).starts_with(separator_) ? integerEnd + separator_.size() : integerEnd;
  const std::size_t fractionEnd = skipDigits(text, fraction);
  // A separator belongs to the number only with digits after it.
  const std::size_t mantissaEnd = fractionEnd > fraction ? fractionEnd : integerEnd;
  if (mantissaEnd == mantissa) return 0;
  if (mantissaEnd == text.size() || (text[mantissaEnd] != 'e' && text[mantissaEnd] != 'E')) {
    return mantissaEnd;
  }
  const std::size_t exponentDigits = skipSign(text, mantissaEnd + 1);
  const std::size_t exponentEnd = skipDigits(text, exponentDigits);
  return exponentEnd > exponentDigits ? exponentEnd : mantissaEnd;
}

std::string PlainNumberText::inCNotation(std::string_view number) const {
  // Built piece by piece: GCC 12 at -O3 takes a replace() here for an overlapping copy.
  const auto at = number.find(separator_);
  if (at == std::string_view::npos) return std::string(number);
  std::string text(number.substr(0, at));
  text += '.';
  text += number.substr(at + separator_.size());
  return text;
}

std::string PlainNumberText::fromCNotation(std::string text) const {
  if (const auto at = text.find('.'); at != std::string::npos) text.replace(at, 1, separator_);
  return text;
}

std::optional<double> PlainNumberText::parse(std::string_view text) const {
  const std::string_view number = trimmed(text);
  if (number.empty() || leadingNumberLength(number) != number.size()) return std::nullopt;
  double value = 0;
  if (!convert(inCNotation(number), value) || !std::isfinite(value)) return std::nullopt;
  return value;
}

double PlainNumberText::leadingValue(std::string_view text) const {
  const std::string_view blanksSkipped = trimmed(text);
  const std::size_t length = leadingNumberLength(blanksSkipped);
  double value = 0;
  if (length > 0) convert(inCNotation(blanksSkipped.substr(0, length)), value);
  return value;
}

// The digits come exact from the binary value; only an exact half is rounded away from zero.
std::string PlainNumberText::fixed(double value, int decimals) const {
  char digits[400];
  const auto written = std::to_chars(digits, digits + sizeof digits, std::fabs(value),
                                     std::chars_format::fixed, decimals + kGuardDigits);
  if (written.ec != std::errc()) return general(value);
  std::string text = roundedAt(std::string(digits, written.ptr), decimals);
  if (std::signbit(value) && text.find_first_of("123456789") != std::string::npos) {
    text.insert(0, 1, '-');
  }
  return fromCNotation(std::move(text));
}

std::string PlainNumberText::general(double value) const {
  char digits[64];
  const auto written = std::to_chars(digits, digits + sizeof digits, value,
                                     std::chars_format::general, kGeneralSignificantDigits);
  return fromCNotation(std::string(digits, written.ptr));
}
