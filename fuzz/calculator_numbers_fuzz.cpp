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

#include "calculator_view.h"
#include "divider_model.h"
#include "locale_numbers.h"

namespace {

constexpr std::size_t kFieldCount = 9;
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

[[noreturn]] void fail(const char* what, const QString& text) {
  std::fprintf(stderr, "%s: \"%s\"\n", what, text.toUtf8().constData());
  std::abort();
}

class CheckingView : public CalculatorView {
 public:
  CheckingView(const QLocale& locale, const QStringList& lines, bool hex)
      : numbers_(locale), hex_(hex) {
    for (std::size_t field = 0; field < kTypedFieldCount && field < std::size_t(lines.size());
         ++field) {
      texts_[field] = lines[static_cast<qsizetype>(field)];
    }
    if (lines.size() > qsizetype(kTypedFieldCount)) dvr_ = lines[kTypedFieldCount];
  }

  QString fieldText(CalculatorField field) const override { return texts_[index(field)]; }
  void setFieldText(CalculatorField field, const QString& text) override {
    if (!numbers_.parse(text)) fail("written text does not read back", text);
    texts_[index(field)] = text;
  }
  void setFieldColour(CalculatorField, FieldColour) override {}
  void setDvrCaption(const QString&) override {}
  void moveReadout(int, int) override {}
  void showMessage(const QString&) override {}
  QString dvrText() const override { return dvr_; }
  bool hexMode() const override { return hex_; }

 private:
  static std::size_t index(CalculatorField field) { return static_cast<std::size_t>(field); }

  LocaleNumbers numbers_;
  bool hex_;
  // The texts of the window at start, in the order of CalculatorField.
  std::array<QString, kFieldCount> texts_{"18", "10000", "24900", "39200", "18",
                                          "18", "0",     "0",     "0"};
  QString dvr_ = QStringLiteral("00");
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const QLocale& locale = kLocales[data[0] % kLocales.size()];
  const std::uint8_t flags = data[1];
  const QStringList lines =
      QString::fromUtf8(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2))
          .split(u'\n');

  CheckingView view(locale, lines, flags & kHexModeFlag);
  DividerModel model(view, locale);
  if (flags & kRangeFirstFlag) model.updateResistorsFromRange();
  model.updateRangeFromResistors();
  model.updateResistorsFromRange();
  return 0;
}
