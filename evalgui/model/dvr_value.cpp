#include "dvr_value.h"

#include <cmath>
#include <limits>

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

int hexDigitValue(QChar c) {
  const char16_t code = c.unicode();
  if (code >= u'0' && code <= u'9') return code - u'0';
  if (code >= u'A' && code <= u'F') return code - u'A' + 10;
  if (code >= u'a' && code <= u'f') return code - u'a' + 10;
  return -1;
}

int leadingHexValue(QStringView text) {
  int value = 0;
  for (QChar c : text.trimmed()) {
    const int digit = hexDigitValue(c);
    if (digit < 0) break;
    if (value > (kIntMax - digit) / 16) return kIntMax;
    value = value * 16 + digit;
  }
  return value;
}

int nearestInt(double value) {
  // The default floating-point rounding mode rounds halves to even.
  const double rounded = std::nearbyint(value);
  if (rounded >= kIntMax) return kIntMax;
  if (rounded <= kIntMin) return kIntMin;
  return static_cast<int>(rounded);
}

}  // namespace

int readDvrValue(QStringView text, bool hexMode, const LocaleNumbers& numbers) {
  return hexMode ? leadingHexValue(text) : nearestInt(numbers.leadingValue(text));
}
