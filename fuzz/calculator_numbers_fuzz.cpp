// The calculator's two calculations over field texts chosen by the fuzzer, in locales with
// different signs, separators, exponents and digits. Beyond the sanitizers it checks that every
// text the calculator writes into a field is a finite number that reads back in the same locale.
//
// Input: byte 0 picks the locale, byte 1 holds flags (bit 0: DVR field in hexadecimal, bit 1:
// range to resistors first), the rest is UTF-8 text whose lines are AVDD, Rset, R1, R2, VOUTmax,
// VOUTmin and the DVR field, in that order. Missing lines keep the texts of the window at start.

#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "calculator_update.h"
#include "divider_model.h"
#include "dvr_text.h"
#include "locale_numbers.h"

namespace {

constexpr std::size_t kTypedFieldCount = 6;
constexpr std::uint8_t kHexModeFlag = 1;
constexpr std::uint8_t kRangeFirstFlag = 2;

const std::array kLocales{
    QLocale(QLocale::C),
    QLocale(QLocale::English, QLocale::UnitedStates),
    QLocale(QLocale::German, QLocale::Germany),
    QLocale(QLocale::French, QLocale::France),
    // A minus sign of its own (U+2212) and an exponent that it cannot read back.
    QLocale(QLocale::Swedish, QLocale::Sweden),
    QLocale(QLocale::German, QLocale::Switzerland),
    // Digits, separators and signs outside ASCII.
    QLocale(QLocale::Arabic, QLocale::Egypt),
    QLocale(QLocale::Persian, QLocale::Iran),
};

[[noreturn]] void fail(const char* what, const std::string& text) {
  std::fprintf(stderr, "%s: \"%s\"\n", what, text.c_str());
  std::abort();
}

// The texts of the window at start, in the order of CalculatorField, with the typed lines in
// place of the first ones.
CalculatorInputs typedInputs(const LocaleNumbers& numbers, const QStringList& lines, bool hex) {
  CalculatorInputs inputs{{"18", "10000", "24900", "39200", "18", "18", "0", "0", "0"}, 0, hex};
  for (std::size_t field = 0; field < kTypedFieldCount && field < std::size_t(lines.size());
       ++field) {
    inputs.texts[field] = lines[static_cast<qsizetype>(field)].toStdString();
  }
  const QString dvr =
      lines.size() > qsizetype(kTypedFieldCount) ? lines[kTypedFieldCount] : QStringLiteral("00");
  inputs.dvr = readDvrValue(dvr.toStdString(), hex, numbers);
  return inputs;
}

// Carries out the writes as the window does, checking each text on the way.
void apply(const CalculatorUpdates& updates, const LocaleNumbers& numbers,
           CalculatorInputs& inputs) {
  for (const CalculatorUpdate& update : updates) {
    const auto* written = std::get_if<WriteField>(&update);
    if (!written) continue;
    if (!numbers.parse(written->text)) fail("written text does not read back", written->text);
    inputs.texts[static_cast<std::size_t>(written->field)] = written->text;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const QLocale& locale = kLocales[data[0] % kLocales.size()];
  const std::uint8_t flags = data[1];
  const QStringList lines =
      QString::fromUtf8(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2))
          .split(u'\n');

  const LocaleNumbers numbers(locale);
  CalculatorInputs inputs = typedInputs(numbers, lines, flags & kHexModeFlag);
  const DividerModel model(numbers);
  if (flags & kRangeFirstFlag) apply(model.updateResistorsFromRange(inputs), numbers, inputs);
  apply(model.updateRangeFromResistors(inputs), numbers, inputs);
  apply(model.updateResistorsFromRange(inputs), numbers, inputs);
  return 0;
}
