#include "locale_numbers.h"

#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

constexpr int kGeneralSignificantDigits = 15;

qsizetype skipDigits(QStringView text, qsizetype pos) {
  while (pos < text.size() && text[pos].isDigit()) ++pos;
  return pos;
}

// The position after whichever symbol stands at pos, or pos when none does.
qsizetype skipSymbol(QStringView text, qsizetype pos, std::initializer_list<QStringView> symbols) {
  for (QStringView symbol : symbols) {
    if (!symbol.isEmpty() && text.sliced(pos).startsWith(symbol)) return pos + symbol.size();
  }
  return pos;
}

// Arabic, Persian and Hebrew write their signs with a direction mark in front (U+061C, U+200E,
// U+200F), which Qt's conversion does not read back. The marks are invisible and carry no value.
bool isDirectionMark(QChar c) {
  return c == u'\u061C' || c == u'\u200E' || c == u'\u200F';
}

}  // namespace

LocaleNumbers::LocaleNumbers(QLocale locale) : locale_(std::move(locale)) {
  locale_.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
}

std::optional<double> LocaleNumbers::parse(std::string_view text) const {
  return parseText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::optional<double> LocaleNumbers::parseText(QStringView text) const {
  QString unmarked = text.toString();
  unmarked.removeIf(isDirectionMark);
  bool ok = false;
  const double value = locale_.toDouble(unmarked, &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

double LocaleNumbers::leadingValue(std::string_view text) const {
  const QString trimmed =
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
  const qsizetype length = leadingNumberLength(trimmed);
  if (length == 0) return 0.0;
  // Beyond the range of double the conversion fails but still gives the infinity of that sign.
  return locale_.toDouble(trimmed.first(length));
}

qsizetype LocaleNumbers::leadingNumberLength(QStringView text) const {
  const QString positive = locale_.positiveSign();
  const QString negative = locale_.negativeSign();
  const auto skipSign = [&](qsizetype pos) {
    return skipSymbol(text, pos, {u"+", u"-", positive, negative});
  };

  const qsizetype mantissa = skipSign(0);
  const qsizetype integerEnd = skipDigits(text, mantissa);
  const qsizetype fraction = skipSymbol(text, integerEnd, {locale_.decimalPoint()});
  const qsizetype fractionEnd = skipDigits(text, fraction);
  // A separator belongs to the number only with digits after it.
  const qsizetype mantissaEnd = fractionEnd > fraction ? fractionEnd : integerEnd;
  if (mantissaEnd == mantissa) return 0;

  const qsizetype exponent = skipSymbol(text, mantissaEnd, {u"e", u"E", locale_.exponential()});
  if (exponent == mantissaEnd) return mantissaEnd;
  const qsizetype exponentDigits = skipSign(exponent);
  const qsizetype exponentEnd = skipDigits(text, exponentDigits);
  return exponentEnd > exponentDigits ? exponentEnd : mantissaEnd;
}

std::string LocaleNumbers::fixed(double value, int decimals) const {
  const QString text = locale_.toString(value, 'f', decimals);
  if (value < 0) {
    const QString zero = locale_.toString(0.0, 'f', decimals);
    if (text == locale_.negativeSign() + zero) return zero.toStdString();
  }
  return text.toStdString();
}

std::string LocaleNumbers::general(double value) const {
  return generalText(value).toStdString();
}

QString LocaleNumbers::generalText(double value) const {
  const QString text = locale_.toString(value, 'g', kGeneralSignificantDigits);
  if (parseText(text)) return text;
  // Some locales write an exponent that they cannot read back (Swedish "1×10^+20"); plain digits
  // always read back.
  const double rounded = QString::number(value, 'g', kGeneralSignificantDigits).toDouble();
  return locale_.toString(rounded, 'f', QLocale::FloatingPointShortest);
}
