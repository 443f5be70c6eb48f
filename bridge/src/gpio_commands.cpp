// GPIO: the configuration and the values of the bridge's pins, passed
// through unchanged; their meaning is the bridge's and the caller's.
#include <algorithm>

#include "command_exchange.h"
#include "export_arguments.h"
#include "ksthid.h"

using namespace ksthid;

namespace {

// The caller's arrays: the answer's values, then one element that stays 0.
constexpr std::uint32_t kConfigurationElements = kGpioConfigurationAnswerLength + 1;
constexpr std::uint32_t kValueElements = kGpioValueAnswerLength + 1;

// Runs a query and copies `copied` answer values into the caller's array,
// which first gets `elements` zeroed elements. 0 when the HIDnumber names no
// board, 1 once the exchange was attempted.
int16_t queryIntoArray(SAFEARRAY** array, std::uint32_t elements, std::size_t copied,
                       std::int16_t hidNumber, const Report& request) {
  if (!resizeByteArray(array, elements)) return 0;
  const Answer answer = runQuery(hidNumber, request);
  if (answer.outcome == Answer::Outcome::kNoBoard) return 0;
  std::copy_n(answer.report.begin() + kGpioFirstAnswerByte, copied,
              byteArrayElements(*array)->begin());
  return 1;
}

}  // namespace

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setGPIOConfiguration(uint8_t* configByte1,
                                                                      uint8_t* configByte2,
                                                                      int16_t* configFlag,
                                                                      int16_t* HIDnumber) {
  if (anyNull(configByte1, configByte2, configFlag, HIDnumber)) return 0;
  const Report request =
      setRequest(kCommandGpioConfiguration, {{kGpioFirstByte, *configByte1},
                                             {kGpioSecondByte, *configByte2},
                                             {kGpioFlagByte, flagByte(*configFlag)}});
  return runSet(*HIDnumber, request).value_or(0);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_getGPIOConfiguration(SAFEARRAY** gpioConfig,
                                                                      int16_t* HIDnumber) {
  if (anyNull(HIDnumber)) return 0;
  return queryIntoArray(gpioConfig, kConfigurationElements, kGpioConfigurationAnswerLength,
                        *HIDnumber, queryRequest(kCommandGpioConfiguration));
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setGPIOValue(uint8_t* valueByte1,
                                                              uint8_t* valueByte2,
                                                              int16_t* HIDnumber) {
  if (anyNull(valueByte1, valueByte2, HIDnumber)) return 0;
  const Report request = setRequest(
      kCommandGpioValue, {{kGpioFirstByte, *valueByte1}, {kGpioSecondByte, *valueByte2}});
  return runSet(*HIDnumber, request).value_or(0);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_getGPIOValue(SAFEARRAY** gpioValues,
                                                              int16_t* valueFlag,
                                                              int16_t* HIDnumber) {
  if (anyNull(valueFlag, HIDnumber)) return 0;
  return queryIntoArray(
      gpioValues, kValueElements, kGpioValueAnswerLength, *HIDnumber,
      queryRequest(kCommandGpioValue, {{kGpioValueQueryFlagByte, flagByte(*valueFlag)}}));
}
