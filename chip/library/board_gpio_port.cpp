#include "board_gpio_port.h"

namespace {

// The first byte is the low byte of the library's word.
std::uint16_t wordOf(std::uint8_t firstByte, std::uint8_t secondByte) {
  return static_cast<std::uint16_t>(firstByte | secondByte << 8);
}

}  // namespace

bool BoardGpioPort::setValue(std::uint8_t firstByte, std::uint8_t secondByte) {
  return called(ksthid_gpio_write(board_, wordOf(firstByte, secondByte)));
}

bool BoardGpioPort::setConfiguration(std::uint8_t firstByte, std::uint8_t secondByte, bool flag) {
  return called(ksthid_gpio_configure(board_, wordOf(firstByte, secondByte), flag ? 1 : 0));
}

bool BoardGpioPort::called(int result) {
  if (afterCall_) afterCall_();
  if (result < 0) failure_ = result;
  return result >= 0;
}
