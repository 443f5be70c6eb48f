// GPIO: the configuration and the values of the bridge's pins, passed
// through unchanged; their meaning is the bridge's and the caller's.
#include <algorithm>

#include "command_exchange.h"
#include "export_arguments.h"
#include "ksthid.h"

using namespace ksthid;

namespace {

// Runs a query and copies response bytes 2 onward into the caller's array,
// which first gets `elements` zeroed elements. 0 when the HIDnumber names no
// board, 1 once the exchange was attempted.
int16_t queryIntoArray(SAFEARRAY** array, std::uint32_t elements, std::uint32_t copied,
                       std::int16_t hidNumber, CommandCode code,
                       std::initializer_list<std::uint8_t> parameters = {}) {
  if (!resizeByteArray(array, elements)) return 0;
  const auto answer = runQuery(hidNumber, code, parameters);
  if (!answer) return 0;
  const auto target = byteArrayElements(*array);
  std::copy_n(answer->report.begin() + 2, copied, target->begin());
  return 1;
}

}  // namespace

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setGPIOConfiguration(uint8_t* configByte1,
                                                                      uint8_t* configByte2,
                                                                      int16_t* configFlag,
                                                                      int16_t* HIDnumber) {
  if (anyNull(configByte1, configByte2, configFlag, HIDnumber)) return 0;
  return runSetCommand(*HIDnumber, commandGpioConfiguration,
                       {*configByte1, *configByte2, flagByte(*configFlag)})
      .value_or(0);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_getGPIOConfiguration(SAFEARRAY** gpioConfig,
                                                                      int16_t* HIDnumber) {
  if (anyNull(HIDnumber)) return 0;
  return queryIntoArray(gpioConfig, 4, 3, *HIDnumber, commandGpioConfiguration);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setGPIOValue(uint8_t* valueByte1,
                                                              uint8_t* valueByte2,
                                                              int16_t* HIDnumber) {
  if (anyNull(valueByte1, valueByte2, HIDnumber)) return 0;
  return runSetCommand(*HIDnumber, commandGpioValue, {*valueByte1, *valueByte2}).value_or(0);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_getGPIOValue(SAFEARRAY** gpioValues,
                                                              int16_t* valueFlag,
                                                              int16_t* HIDnumber) {
  if (anyNull(valueFlag, HIDnumber)) return 0;
  return queryIntoArray(gpioValues, 3, 2, *HIDnumber, commandGpioValue, {flagByte(*valueFlag)});
}
