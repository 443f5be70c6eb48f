#include "dvr_text.h"

#include <algorithm>

#include "dvr_value.h"

namespace {

constexpr int kHighestDvr = 255;
// The field shows three digits, as for a 10-bit register.
constexpr std::uint8_t kDvrDigitsWidth = 10;

constexpr char16_t kEnter = 13;
constexpr char16_t kBackspace = 8;

bool isDecimalDigit(char16_t key) {
  return key >= u'0' && key <= u'9';
}

// Hexadecimal texts have no sign, so a value below 0 is written as 000.
QString dvrText(int value, bool hexMode) {
  if (!hexMode) return QString::number(value);
  return formatHex(static_cast<std::int16_t>(std::clamp(value, 0, 0x7FFF)), kDvrDigitsWidth);
}

}  // namespace

QString formatHex(std::int16_t value, std::uint8_t width) {
  const QString digits = QString::number(static_cast<std::uint16_t>(value), 16).toUpper();
  switch (width) {
    case 10:
      if (value > 0x3FF) return QStringLiteral("3FF");
      if (value < 0x10) return QStringLiteral("00") + digits;
      if (value < 0x100) return u'0' + digits;
      return digits;
    case 8:
      if (value > 0xFF) return QStringLiteral("FF");
      if (value < 0x10) return u'0' + digits;
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

std::optional<QString> dvrTextCorrection(QStringView text, bool hexMode,
                                         const LocaleNumbers& numbers) {
  const bool holdsNumber = hexMode ? !text.isEmpty() : numbers.parse(text).has_value();
  if (!holdsNumber) return QStringLiteral("0");
  const int value = readDvrValue(text, hexMode, numbers);
  if (value > kHighestDvr) return dvrText(kHighestDvr, hexMode);
  if (value < 0) return dvrText(0, hexMode);
  return std::nullopt;
}

QString steppedDvrText(QStringView text, bool hexMode, int step, const LocaleNumbers& numbers) {
  return dvrText(readDvrValue(text, hexMode, numbers) + step, hexMode);
}

QString convertedDvrText(QStringView text, bool toHex, const LocaleNumbers& numbers) {
  return dvrText(readDvrValue(text, !toHex, numbers), toHex);
}
