#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "gpio_port.h"

// The pins as a log of calls, written "value 10 00" and "config FF FF flag". Calls are taken
// until `failingFromCall` calls have been made.
class FakeGpioPort : public GpioPort {
 public:
  bool setValue(std::uint8_t firstByte, std::uint8_t secondByte) override {
    return logged("value " + hex(firstByte) + ' ' + hex(secondByte));
  }
  bool setConfiguration(std::uint8_t firstByte, std::uint8_t secondByte, bool flag) override {
    return logged("config " + hex(firstByte) + ' ' + hex(secondByte) + (flag ? " flag" : ""));
  }

  std::ptrdiff_t failingFromCall = -1;
  std::vector<std::string> calls;

 private:
  static std::string hex(std::uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
  }
  bool logged(std::string call) {
    const bool fails =
        failingFromCall >= 0 && static_cast<std::ptrdiff_t>(calls.size()) >= failingFromCall;
    calls.push_back(std::move(call));
    return !fails;
  }
};
