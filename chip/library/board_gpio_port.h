#pragma once

#include <functional>

#include "gpio_port.h"
#include "ksthid_api.h"

// The pins of a board opened through the library's C API. The handle's calls take the bridge's
// frames one after the other. A call is taken when the library returns 0; the code of one that
// was not is kept.
class BoardGpioPort : public GpioPort {
 public:
  // `afterCall` is told of every call made, taken or not.
  explicit BoardGpioPort(ksthid_board* board, std::function<void()> afterCall = {})
      : board_(board), afterCall_(std::move(afterCall)) {}

  bool setValue(std::uint8_t firstByte, std::uint8_t secondByte) override;
  bool setConfiguration(std::uint8_t firstByte, std::uint8_t secondByte, bool flag) override;

  // The library's code for the last call not taken; 0 while every call was.
  int failure() const { return failure_; }

 private:
  bool called(int result);

  ksthid_board* board_;
  std::function<void()> afterCall_;
  int failure_ = 0;
};
