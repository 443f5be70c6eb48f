#pragma once

#include "gpio_port.h"

// Takes every call and counts them: a train run over it says beforehand how many calls it makes.
class CountingGpioPort : public GpioPort {
 public:
  bool setValue(std::uint8_t, std::uint8_t) override { return counted(); }
  bool setConfiguration(std::uint8_t, std::uint8_t, bool) override { return counted(); }

  int calls() const { return calls_; }

 private:
  bool counted() {
    ++calls_;
    return true;
  }

  int calls_ = 0;
};
