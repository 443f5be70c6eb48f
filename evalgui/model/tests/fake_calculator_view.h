#pragma once

#include <QString>
#include <QStringList>

#include <array>

#include "calculator_view.h"
#include "qt_printers.h"

// A window over plain values that keeps, in order, every text written and every message shown.
class FakeCalculatorView : public CalculatorView {
 public:
  QString fieldText(CalculatorField field) const override { return texts[index(field)]; }
  void setFieldText(CalculatorField field, const QString& text) override {
    texts[index(field)] = text;
    log.append(QString::fromLatin1(kNames[index(field)]) + u'=' + text);
  }
  void setFieldColour(CalculatorField field, FieldColour colour) override {
    colours[index(field)] = colour;
  }
  void setDvrCaption(const QString& caption) override { dvrCaption = caption; }
  void moveReadout(int readoutTopTwips, int pointerYTwips) override {
    readoutTop = readoutTopTwips;
    pointerY = pointerYTwips;
  }
  void showMessage(const QString& text) override { log.append(QStringLiteral("message: ") + text); }
  QString dvrText() const override { return dvr; }
  bool hexMode() const override { return hex; }

  QString& text(CalculatorField field) { return texts[index(field)]; }
  FieldColour colour(CalculatorField field) const { return colours[index(field)]; }

  // The texts of the window when it opens.
  std::array<QString, 9> texts{
      QStringLiteral("18"),    QStringLiteral("10000"), QStringLiteral("24900"),
      QStringLiteral("39200"), QStringLiteral("18"),    QStringLiteral("18"),
      QStringLiteral("0"),     QStringLiteral("0"),     QStringLiteral("0")};
  std::array<FieldColour, 9> colours{};
  QString dvr = QStringLiteral("00");
  bool hex = true;
  QString dvrCaption;
  int readoutTop = -1;
  int pointerY = -1;
  QStringList log;

 private:
  static constexpr std::array kNames{"txtAVDD",    "txtRSET", "txtR1",   "txtR2",   "txtVoutMax",
                                     "txtVOutMin", "txtVOUT", "txtIOUT", "txtVRSET"};
  static std::size_t index(CalculatorField field) { return static_cast<std::size_t>(field); }
};
