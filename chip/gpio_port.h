#pragma once

#include <cstdint>

// The bridge's GPIO pins as the QV6180's counter interface drives them: the two bytes of the pin
// values, and the two bytes of the pin configuration with its flag. Each call says whether the
// board took it. An adapter gives one board's pins, whichever way the program reaches the board.
class GpioPort {
 public:
  virtual ~GpioPort() = default;

  virtual bool setValue(std::uint8_t firstByte, std::uint8_t secondByte) = 0;
  virtual bool setConfiguration(std::uint8_t firstByte, std::uint8_t secondByte, bool flag) = 0;
};
