#include "linked_bridge.h"

#include "ksthid.h"

namespace qv6180_tool {

std::optional<std::int16_t> LinkedBridge::connect() {
  return kstHID_connect();
}

std::optional<std::int16_t> LinkedBridge::indicateSelectedModule(std::int16_t hidNumber) {
  return kstHID_indicateSelectedModule(&hidNumber);
}

std::optional<std::int16_t> LinkedBridge::setGPIOValue(std::uint8_t valueByte1,
                                                       std::uint8_t valueByte2,
                                                       std::int16_t hidNumber) {
  return called(kstHID_setGPIOValue(&valueByte1, &valueByte2, &hidNumber));
}

std::optional<std::int16_t> LinkedBridge::setGPIOConfiguration(std::uint8_t configByte1,
                                                               std::uint8_t configByte2,
                                                               std::int16_t configFlag,
                                                               std::int16_t hidNumber) {
  return called(kstHID_setGPIOConfiguration(&configByte1, &configByte2, &configFlag, &hidNumber));
}

std::int16_t LinkedBridge::called(std::int16_t result) {
  afterCall_();
  return result;
}

}  // namespace qv6180_tool
