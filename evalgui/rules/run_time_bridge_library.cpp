#include "run_time_bridge_library.h"

// Every argument crosses by reference: the library gets the address of the copy made here.
template <typename Function, typename... Arguments>
std::optional<std::int16_t> RunTimeBridgeLibrary::call(ExportAddress& bound, const char* name,
                                                       Arguments... arguments) {
  if (!bound) bound = lookUp(name);
  if (!bound) return std::nullopt;
  return reinterpret_cast<Function>(bound)(&arguments...);
}

std::optional<std::int16_t> RunTimeBridgeLibrary::connect() {
  return call<decltype(&kstHID_connect)>(connect_, "kstHID_connect");
}

std::optional<std::int16_t> RunTimeBridgeLibrary::indicateSelectedModule(std::int16_t hidNumber) {
  return call<decltype(&kstHID_indicateSelectedModule)>(indicateSelectedModule_,
                                                        "kstHID_indicateSelectedModule", hidNumber);
}

std::optional<std::int16_t> RunTimeBridgeLibrary::setGPIOValue(std::uint8_t valueByte1,
                                                               std::uint8_t valueByte2,
                                                               std::int16_t hidNumber) {
  return call<decltype(&kstHID_setGPIOValue)>(setGPIOValue_, "kstHID_setGPIOValue", valueByte1,
                                              valueByte2, hidNumber);
}

std::optional<std::int16_t> RunTimeBridgeLibrary::setGPIOConfiguration(std::uint8_t configByte1,
                                                                       std::uint8_t configByte2,
                                                                       std::int16_t configFlag,
                                                                       std::int16_t hidNumber) {
  return call<decltype(&kstHID_setGPIOConfiguration)>(setGPIOConfiguration_,
                                                      "kstHID_setGPIOConfiguration", configByte1,
                                                      configByte2, configFlag, hidNumber);
}
