#include "hid_number_gpio_port.h"

bool HidNumberGpioPort::setValue(std::uint8_t firstByte, std::uint8_t secondByte) {
  return library_.setGPIOValue(firstByte, secondByte, hidNumber_) == BridgeLibrary::kReportWritten;
}

bool HidNumberGpioPort::setConfiguration(std::uint8_t firstByte, std::uint8_t secondByte,
                                         bool flag) {
  const std::int16_t configFlag = flag ? BridgeLibrary::kTrue : 0;
  return library_.setGPIOConfiguration(firstByte, secondByte, configFlag, hidNumber_) ==
         BridgeLibrary::kReportWritten;
}
