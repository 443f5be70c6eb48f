#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bridge_library.h"

// The library as a log of calls, written "value 10 00 #0" and "config FF FF -1 #0"; the paths of
// the HIDnumbers are those the test gave the last connect, and asking them is not logged. GPIO
// calls report a written report until `failingFromCall` calls have been made; `duringGpioCall`
// looks on from inside each of them.
class FakeBridgeLibrary : public BridgeLibrary {
 public:
  std::optional<std::int16_t> connect() override {
    calls.emplace_back("connect");
    numbered = connectFinds;
    return static_cast<std::int16_t>(numbered.size());
  }
  std::optional<std::string> pathOf(std::int16_t hidNumber) override {
    if (hidNumber < 0 || static_cast<std::size_t>(hidNumber) >= numbered.size()) return {};
    return numbered[static_cast<std::size_t>(hidNumber)];
  }
  std::optional<std::int16_t> indicateSelectedModule(std::int16_t hidNumber) override {
    calls.push_back("indicate #" + std::to_string(hidNumber));
    return 1;
  }
  std::optional<std::int16_t> setGPIOValue(std::uint8_t valueByte1, std::uint8_t valueByte2,
                                           std::int16_t hidNumber) override {
    return gpio("value " + hex(valueByte1) + ' ' + hex(valueByte2) + " #" +
                std::to_string(hidNumber));
  }
  std::optional<std::int16_t> setGPIOConfiguration(std::uint8_t configByte1,
                                                   std::uint8_t configByte2,
                                                   std::int16_t configFlag,
                                                   std::int16_t hidNumber) override {
    return gpio("config " + hex(configByte1) + ' ' + hex(configByte2) + ' ' +
                std::to_string(configFlag) + " #" + std::to_string(hidNumber));
  }
  std::string bindingError() const override { return {}; }

  // Virtual boards sim:0, sim:1, ... for the next connect to number.
  void findBoards(std::int16_t count) {
    connectFinds.clear();
    for (std::int16_t board = 0; board < count; ++board) {
      connectFinds.push_back("sim:" + std::to_string(board));
    }
  }

  // The paths that the next connect numbers, in their HIDnumbers' order, and those that the last
  // one numbered.
  std::vector<std::string> connectFinds{"sim:0"};
  std::vector<std::string> numbered;
  std::ptrdiff_t failingFromCall = -1;
  std::vector<std::string> calls;
  std::function<void()> duringGpioCall;

 private:
  static std::string hex(std::uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
  }
  std::int16_t gpio(std::string call) {
    const bool fails =
        failingFromCall >= 0 && static_cast<std::ptrdiff_t>(calls.size()) >= failingFromCall;
    calls.push_back(std::move(call));
    if (duringGpioCall) duringGpioCall();
    return fails ? 0 : kReportWritten;
  }
};
