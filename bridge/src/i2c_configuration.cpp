// I2C and SMBus configuration: the bus frequency and timer count that the
// bridge keeps (command 5), its I2C option bits (command 4), and clocking a
// bus free whose SDA line a slave holds low. The meaning of the values is
// the bridge's; they pass through unchanged.
#include "command_exchange.h"
#include "export_arguments.h"
#include "ksthid.h"
#include "message_box.h"

using namespace ksthid;

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_getSMBusFrequency(int16_t* HIDnumber) {
  if (anyNull(HIDnumber)) return 0;
  const Answer answer = runQuery(*HIDnumber, queryRequest(kCommandSMBusTimer));
  return thousandsOf(answer.report[kSMBusFrequencyAnswerByte]);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_getSMBusTimerCount(int16_t* HIDnumber) {
  if (anyNull(HIDnumber)) return 0;
  return runQuery(*HIDnumber, queryRequest(kCommandSMBusTimer)).report[kTimerCountAnswerByte];
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setSMBusTimerCount(uint8_t* timerCount,
                                                                    int16_t* HIDnumber) {
  if (anyNull(timerCount, HIDnumber)) return 1;
  return runSet(*HIDnumber, setRequest(kCommandSMBusTimer, {{kTimerCountByte, *timerCount}})) ? 0
                                                                                              : 1;
}

extern "C" KSTHID_API uint8_t KSTHID_CALL kstHID_getI2COptions(int16_t* HIDnumber) {
  if (anyNull(HIDnumber)) return 0;
  return i2cOptionsOf(runQuery(*HIDnumber, queryRequest(kCommandI2COptions)).report);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setI2COptions(uint8_t* i2cOptions,
                                                               uint8_t* sclToggle,
                                                               int16_t* HIDnumber) {
  if (anyNull(i2cOptions, sclToggle, HIDnumber)) return 1;
  return runSet(*HIDnumber, i2cOptionsRequest(*i2cOptions, *sclToggle)).value_or(1);
}

// The toggle request is a set request that writes the options back as the
// bridge reported them. When they could not be read, nothing is sent: the
// options would be overwritten with zeros.
extern "C" KSTHID_API void KSTHID_CALL kstHID_toggleSCL(int16_t* HIDnumber) {
  if (anyNull(HIDnumber)) return;
  const Answer options = runQuery(*HIDnumber, queryRequest(kCommandI2COptions));
  if (options.outcome != Answer::Outcome::kAnswered) return;
  // The answer to the toggle is read in an exchange of its own, drained
  // before the set request goes out.
  auto toggle = Exchange::open(*HIDnumber);
  const Report request = i2cOptionsRequest(i2cOptionsOf(options.report), kSclToggleRequested);
  if (!toggle || runSet(*HIDnumber, request) != kXferOk) return;
  Report answer;
  toggle->awaitAnswer(answer);
  if ((answer[kSdaAnswerByte] & kSdaStillLow) != 0) showMessageBox("SDA error", KSTHID_MB_OK);
}
