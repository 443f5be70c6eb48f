#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "bridge_library.h"

// The library as a log of calls, written "value 10 00 #0" and "config FF FF -1 #0". GPIO calls
// report a written report until `failingFromCall` calls have been made; `duringGpioCall` looks on
// from inside each of them.
class FakeBridgeLibrary : public BridgeLibrary {
 public:
  std::optional<std::int16_t> connect() override {
    calls.append(QStringLiteral("connect"));
    return boards;
  }
  std::optional<std::int16_t> indicateSelectedModule(std::int16_t hidNumber) override {
    calls.append(QStringLiteral("indicate #%1").arg(hidNumber));
    return 1;
  }
  std::optional<std::int16_t> setGPIOValue(std::uint8_t valueByte1, std::uint8_t valueByte2,
                                           std::int16_t hidNumber) override {
    return gpio(
        QStringLiteral("value %1 %2 #%3").arg(hex(valueByte1), hex(valueByte2)).arg(hidNumber));
  }
  std::optional<std::int16_t> setGPIOConfiguration(std::uint8_t configByte1,
                                                   std::uint8_t configByte2,
                                                   std::int16_t configFlag,
                                                   std::int16_t hidNumber) override {
    return gpio(QStringLiteral("config %1 %2 %3 #%4")
                    .arg(hex(configByte1), hex(configByte2))
                    .arg(configFlag)
                    .arg(hidNumber));
  }
  std::string bindingError() const override { return {}; }

  std::int16_t boards = 1;
  qsizetype failingFromCall = -1;
  QStringList calls;
  std::function<void()> duringGpioCall;

 private:
  static QString hex(std::uint8_t byte) {
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
  }
  std::int16_t gpio(const QString& call) {
    const bool fails = failingFromCall >= 0 && calls.size() >= failingFromCall;
    calls.append(call);
    if (duringGpioCall) duringGpioCall();
    return fails ? 0 : kReportWritten;
  }
};
