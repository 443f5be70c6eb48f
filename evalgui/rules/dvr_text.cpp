#include "dvr_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "divider_formulas.h"

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

// The field shows three digits, as for a 10-bit register.
constexpr std::uint8_t kDvrDigitsWidth = 10;

constexpr char16_t kEnter = 13;
constexpr char16_t kBackspace = 8;

bool isDecimalDigit(char16_t key) {
  return key >= u'0' && key <= u'9';
}

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

int leadingHexValue(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  int value = 0;
  for (char c : text) {
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

// Hexadecimal texts have no sign, so a value below 0 is written as 000.
std::string dvrText(int value, bool hexMode) {
  if (!hexMode) return std::to_string(value);
  return formatHex(static_cast<std::int16_t>(std::clamp(value, 0, 0x7FFF)), kDvrDigitsWidth);
}

}  // namespace

int readDvrValue(std::string_view text, bool hexMode, const NumberText& numbers) {
  return hexMode ? leadingHexValue(text) : nearestInt(numbers.leadingValue(text));
}

std::string formatHex(std::int16_t value, std::uint8_t width) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%X",
                static_cast<unsigned>(static_cast<std::uint16_t>(value)));
  switch (width) {
    case 10:
      if (value > 0x3FF) return "3FF";
      if (value < 0x10) return std::string("00") + digits;
      if (value < 0x100) return std::string("0") + digits;
      return digits;
    case 8:
      if (value > 0xFF) return "FF";
      if (value < 0x10) return std::string("0") + digits;
      return digits;
    default:
      return {};
  }
}

char16_t filterHexKey(char16_t key) {
  const char16_t upper = (key >= u'a' && key <= u'f') ? key - u'a' + u'A' : key;
  if (upper == kEnter || upper == kBackspace || isDecimalDigit(upper)) return upper;
  return (upper >= u'A' && upper <= u'F') ? upper : 0;
}

char16_t filterDecimalKey(char16_t key) {
  return (key == kEnter || key == kBackspace || isDecimalDigit(key)) ? key : 0;
}

std::optional<std::string> dvrTextCorrection(std::string_view text, bool hexMode,
                                             const NumberText& numbers) {
  const bool holdsNumber = hexMode ? !text.empty() : numbers.parse(text).has_value();
  if (!holdsNumber) return "0";
  const int value = readDvrValue(text, hexMode, numbers);
  if (value > kHighestDvr) return dvrText(kHighestDvr, hexMode);
  if (value < 0) return dvrText(0, hexMode);
  return std::nullopt;
}

std::string steppedDvrText(std::string_view text, bool hexMode, int step,
                           const NumberText& numbers) {
  return dvrText(readDvrValue(text, hexMode, numbers) + step, hexMode);
}

std::string convertedDvrText(std::string_view text, bool toHex, const NumberText& numbers) {
  return dvrText(readDvrValue(text, !toHex, numbers), toHex);
}

std::optional<std::string> acceptedHexText(std::string_view text) {
  std::string accepted(text);
  for (char& c : accepted) {
    const char16_t digit = filterHexKey(static_cast<unsigned char>(c));
    if (digit == 0 || digit == kEnter || digit == kBackspace) return std::nullopt;
    c = static_cast<char>(digit);
  }
  return accepted;
}

const char* dvrNotationCaption(bool hexMode) {
  return hexMode ? "DVR (hex)" : "DVR (dec)";
}
