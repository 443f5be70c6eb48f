// I2C and SMBus configuration: the bus frequency and timer count that the
// bridge keeps (command 5), its I2C option bits (command 4), and clocking a
// bus free whose SDA line a slave holds low. The meaning of the values is
// the bridge's; they pass through unchanged.
#include "command_exchange.h"
#include "export_arguments.h"
#include "ksthid.h"
#include "message_box.h"

namespace ksthid {
namespace {

// The option bits travel in two bytes: bits 0 and 1 as one field, bit 2 as
// a flag of its own.
constexpr std::uint8_t optionFieldMask = 0x03;
constexpr int optionFlagBit = 2;
constexpr std::uint8_t clockSclFree = 1;
constexpr std::uint8_t sdaStillLow = 0x01;

std::uint8_t optionsFrom(const Report& answer) {
  const int field = answer[2] & optionFieldMask;
  const int flag = answer[3] & 1;
  return static_cast<std::uint8_t>(field | flag << optionFlagBit);
}

std::int16_t setI2COptions(std::uint8_t options, std::uint8_t sclToggle, std::int16_t hidNumber) {
  const auto field = static_cast<std::uint8_t>(options & optionFieldMask);
  const auto flag = static_cast<std::uint8_t>((options >> optionFlagBit) & 1);
  return runSetCommand(hidNumber, commandI2COptions, {field, flag, sclToggle}).value_or(1);
}

}  // namespace
}  // namespace ksthid

using namespace ksthid;

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_getSMBusFrequency(int16_t* HIDnumber) {
  if (anyNull(HIDnumber)) return 0;
  return thousandsOf(queryResponse(*HIDnumber, commandSMBusTimer)[2]);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_getSMBusTimerCount(int16_t* HIDnumber) {
  if (anyNull(HIDnumber)) return 0;
  return queryResponse(*HIDnumber, commandSMBusTimer)[3];
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setSMBusTimerCount(uint8_t* timerCount,
                                                                    int16_t* HIDnumber) {
  if (anyNull(timerCount, HIDnumber)) return 1;
  return runSetCommand(*HIDnumber, commandSMBusTimer, {*timerCount}) ? 0 : 1;
}

extern "C" KSTHID_API uint8_t KSTHID_CALL kstHID_getI2COptions(int16_t* HIDnumber) {
  if (anyNull(HIDnumber)) return 0;
  return optionsFrom(queryResponse(*HIDnumber, commandI2COptions));
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setI2COptions(uint8_t* i2cOptions,
                                                               uint8_t* sclToggle,
                                                               int16_t* HIDnumber) {
  if (anyNull(i2cOptions, sclToggle, HIDnumber)) return 1;
  return setI2COptions(*i2cOptions, *sclToggle, *HIDnumber);
}

// The toggle request is a set request that writes the options back as the
// bridge reported them. When they could not be read, nothing is sent: the
// options would be overwritten with zeros.
extern "C" KSTHID_API void KSTHID_CALL kstHID_toggleSCL(int16_t* HIDnumber) {
  if (anyNull(HIDnumber)) return;
  const auto options = runQuery(*HIDnumber, commandI2COptions);
  if (!options || !options->answered) return;
  Report answer;
  auto target = beginCommand(answer, *HIDnumber);
  if (!target || setI2COptions(optionsFrom(options->report), clockSclFree, *HIDnumber) != xferOk) {
    return;
  }
  awaitAnswer(answer, *target);
  if ((answer[2] & sdaStillLow) != 0) showMessageBox("SDA error", KSTHID_MB_OK);
}
