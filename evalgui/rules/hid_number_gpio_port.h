#pragma once

#include <cstdint>

#include "bridge_library.h"
#include "gpio_port.h"

// The pins of the board that a HIDnumber names, through the library's HIDnumber exports: a call
// is taken when the export says its report was written.
class HidNumberGpioPort : public GpioPort {
 public:
  HidNumberGpioPort(BridgeLibrary& library, std::int16_t hidNumber)
      : library_(library), hidNumber_(hidNumber) {}

  // The calls go to another board from now on.
  void address(std::int16_t hidNumber) { hidNumber_ = hidNumber; }

  bool setValue(std::uint8_t firstByte, std::uint8_t secondByte) override;
  bool setConfiguration(std::uint8_t firstByte, std::uint8_t secondByte, bool flag) override;

 private:
  BridgeLibrary& library_;
  std::int16_t hidNumber_;
};
