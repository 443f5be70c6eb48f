#include <benchmark/benchmark.h>

#include <array>

#include "divider_model.h"

namespace {

// A window that holds the field texts and ignores everything else, so that only the model is
// measured.
class TextOnlyView : public CalculatorView {
 public:
  QString fieldText(CalculatorField field) const override { return texts_[index(field)]; }
  void setFieldText(CalculatorField field, const QString& text) override {
    texts_[index(field)] = text;
  }
  void setFieldColour(CalculatorField, FieldColour) override {}
  void setDvrCaption(const QString&) override {}
  void moveReadout(int, int) override {}
  void showMessage(const QString&) override {}
  QString dvrText() const override { return dvr_; }
  bool hexMode() const override { return true; }

  void setDvr(int value) { dvr_ = QString::number(value, 16); }

 private:
  static std::size_t index(CalculatorField field) { return static_cast<std::size_t>(field); }

  std::array<QString, 9> texts_{
      QStringLiteral("18"),    QStringLiteral("10000"), QStringLiteral("24900"),
      QStringLiteral("39200"), QStringLiteral("12"),    QStringLiteral("10"),
      QStringLiteral("0"),     QStringLiteral("0"),     QStringLiteral("0")};
  QString dvr_ = QStringLiteral("00");
};

// What runs for each DVR step of a key or the mouse wheel.
void recalculationPerDvrStep(benchmark::State& state) {
  TextOnlyView view;
  DividerModel model(view, QLocale(QLocale::English, QLocale::UnitedStates));
  int dvr = 0;
  for (auto _ : state) {
    view.setDvr(dvr);
    model.updateResistorsFromRange();
    dvr = (dvr + 1) % 256;
  }
}
BENCHMARK(recalculationPerDvrStep)->Unit(benchmark::kMicrosecond);

}  // namespace
