// The bridge board's wire protocol, as the library speaks it and as the
// virtual board's firmware answers it.
//
// Every exchange is of 64-byte HID reports, bytes numbered 0 to 63 in the
// order in which they are written and read. A request is one output report:
// byte 0 the report ID 1, byte 1 the command code, then the command's fields;
// every byte a command does not name is 0. An answer is one input report:
// byte 0 (the report ID as the platform delivers it) is never examined, byte
// 1 is the status of an I2C transaction and not examined otherwise, and the
// values start at byte 2. Nothing in an answer names its request: answers
// match requests by order alone, which is why stale input is drained first.
//
// Every command but the two transactions carries the direction in byte 2: a
// set (0) carries its fields from byte 3 and is not answered, a query (1) is
// answered by one report within 6000 ms. An I2C transaction is always
// answered; an SPI transaction only when it asks for the bytes received.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace ksthid {

inline constexpr std::size_t kReportLength = 64;
inline constexpr std::uint8_t kLastReportIndex = kReportLength - 1;
using Report = std::array<std::uint8_t, kReportLength>;

// USB identity of a bridge board.
inline constexpr std::uint16_t kBridgeVendorId = 0x3A5C;
inline constexpr std::uint16_t kBridgeProductId = 0x4B17;

// What one exchange came to.
inline constexpr std::int16_t kXferDeviceError = 1;
inline constexpr std::int16_t kXferReadFailed = 2;
inline constexpr std::int16_t kXferWriteFailed = 4;
inline constexpr std::int16_t kXferOk = 8;

enum CommandCode : std::uint8_t {
  kCommandVersion = 0,  // query only
  kCommandLeds = 1,
  kCommandGpioConfiguration = 2,
  kCommandGpioValue = 3,
  kCommandI2COptions = 4,  // and SCL toggling
  kCommandSMBusTimer = 5,  // and the bus frequency
  kCommandI2CTransaction = 6,
  kCommandSPIOptions = 7,
  kCommandClocks = 8,  // the system clock and the SPI clock divisor
  kCommandSPITransaction = 9,
};

inline constexpr std::uint8_t kDirectionQuery = 1;  // 0 is a set

// Every report; kStatusByte only in I2C answers.
inline constexpr std::size_t kReportIdByte = 0, kCommandByte = 1, kDirectionByte = 2;
inline constexpr std::size_t kStatusByte = 1, kFirstValueByte = 2;
inline constexpr std::uint8_t kRequestReportId = 1, kStatusDone = 0;

// Firmware version, answered: major, minor, then the date.
inline constexpr std::size_t kVersionMajorByte = 2, kVersionMinorByte = 3, kVersionYearHighByte = 4,
                             kVersionYearLowByte = 5, kVersionMonthByte = 6, kVersionDayByte = 7;
inline constexpr std::size_t kVersionLength = kVersionDayByte + 1;

// LEDs: bit n of the pair is LED n, 1 when on.
inline constexpr std::size_t kLedPairByte = 3, kLedPairAnswerByte = 2;
inline constexpr std::uint8_t kLedPairMask = 0x03;

// GPIO configuration (two bytes and a 0/1 flag) and GPIO value (two bytes),
// at the same places in both; the value query carries a 0/1 flag of its own.
inline constexpr std::size_t kGpioFirstByte = 3, kGpioSecondByte = 4, kGpioFlagByte = 5,
                             kGpioValueQueryFlagByte = 3;
inline constexpr std::size_t kGpioFirstAnswerByte = 2, kGpioSecondAnswerByte = 3,
                             kGpioFlagAnswerByte = 4;
inline constexpr std::size_t kGpioConfigurationAnswerLength = 3, kGpioValueAnswerLength = 2;

// I2C options: bits 0-1 travel as one field, bit 2 as a 0/1 flag; a set
// with SCL toggle 1 is answered, bit 0 of the answer set when SDA stays low.
inline constexpr std::size_t kI2COptionFieldByte = 3, kI2COptionFlagByte = 4, kSclToggleByte = 5;
inline constexpr std::size_t kI2COptionFieldAnswerByte = 2, kI2COptionFlagAnswerByte = 3,
                             kSdaAnswerByte = 2;
inline constexpr std::uint8_t kI2COptionFieldMask = 0x03, kSclToggleRequested = 1,
                              kSdaStillLow = 0x01;
inline constexpr int kI2COptionFlagBit = 2;

// SMBus timer: the set carries the timer count; the query answers the bus
// frequency and the timer count.
inline constexpr std::size_t kTimerCountByte = 3, kSMBusFrequencyAnswerByte = 2,
                             kTimerCountAnswerByte = 3;

// SPI options: bits 0-2 are set; the query answers the whole byte.
inline constexpr std::size_t kSPIOptionsByte = 3, kSPIOptionsAnswerByte = 2;
inline constexpr std::uint8_t kSPIOptionMask = 0x07;

// Clocks: the set carries the SPI clock divisor; the query answers the
// system clock and the divisor.
inline constexpr std::size_t kSPIDivisorByte = 3, kSystemClockAnswerByte = 2,
                             kSPIDivisorAnswerByte = 3;

// I2C transaction: the 8-bit address (the 7-bit address times two, bit 0
// set for a read), the data count, the register-address length, then the
// register address and, for a write, the data. Read data follow the status.
// So a read returns at most 62 bytes, and a write carries at most 59, 58
// after a register address.
inline constexpr std::size_t kI2CAddressByte = 2, kI2CCountByte = 3, kI2CRegisterLengthByte = 4,
                             kI2CPayloadByte = 5, kI2CReadDataByte = kFirstValueByte;
inline constexpr std::size_t kMaxI2CReadCount = kReportLength - kI2CReadDataByte;
inline constexpr std::size_t kMaxI2CWriteLength = kReportLength - kI2CPayloadByte;
inline constexpr std::uint8_t kI2CReadBit = 0x01;
// Addresses are of seven bits; a device has registers 0 to 255, and a transfer must not run past
// the last.
inline constexpr std::uint8_t kMaxI2CAddress = 127;
inline constexpr int kMaxI2CRegister = 255;

// SPI transaction (direction 0): asks for the bytes received (0/1), a 0/1
// flag, a parameter, the count, then at most 57 bytes of data; the bytes
// received come back in their place.
inline constexpr std::size_t kSPIReadBackByte = 3, kSPIFlagByte = 4, kSPIParameterByte = 5,
                             kSPICountByte = 6, kSPIDataByte = 7,
                             kSPIReceivedByte = kFirstValueByte;
inline constexpr std::size_t kMaxSPICount = kReportLength - kSPIDataByte;

struct Field {
  std::size_t byte;
  std::uint8_t value;
};

// A request with the given fields; the direction byte stays 0, a set.
inline Report setRequest(CommandCode code, std::initializer_list<Field> fields = {}) {
  Report report{};
  report[kReportIdByte] = kRequestReportId;
  report[kCommandByte] = code;
  for (const Field& field : fields) report[field.byte] = field.value;
  return report;
}

inline Report queryRequest(CommandCode code, std::initializer_list<Field> fields = {}) {
  Report report = setRequest(code, fields);
  report[kDirectionByte] = kDirectionQuery;
  return report;
}

// The virtual firmware's answers are shaped as requests are: report ID 1 and
// the command code repeated in bytes 0 and 1.
inline Report answer(CommandCode code, std::initializer_list<Field> fields) {
  return setRequest(code, fields);
}

inline CommandCode commandOf(const Report& request) {
  return static_cast<CommandCode>(request[kCommandByte]);
}

inline bool isQuery(const Report& request) {
  return request[kDirectionByte] == kDirectionQuery;
}

// A 0/1 field from a 16-bit flag (True is -1).
inline std::uint8_t flagByte(std::int16_t flag) {
  return flag != 0 ? 1 : 0;
}

// One LED of an LED pair, 1 when on.
inline std::int16_t ledOf(std::uint8_t ledPair, std::int16_t ledNumber) {
  return static_cast<std::int16_t>((ledPair >> ledNumber) & 1);
}

inline std::uint8_t ledPair(int led0, int led1) {
  return static_cast<std::uint8_t>((led0 & 1) | (led1 & 1) << 1);
}

inline Report i2cOptionsRequest(std::uint8_t options, std::uint8_t sclToggle) {
  return setRequest(
      kCommandI2COptions,
      {{kI2COptionFieldByte, static_cast<std::uint8_t>(options & kI2COptionFieldMask)},
       {kI2COptionFlagByte, static_cast<std::uint8_t>((options >> kI2COptionFlagBit) & 1)},
       {kSclToggleByte, sclToggle}});
}

inline std::uint8_t i2cOptionsOf(const Report& answer) {
  const int field = answer[kI2COptionFieldAnswerByte] & kI2COptionFieldMask;
  const int flag = answer[kI2COptionFlagAnswerByte] & 1;
  return static_cast<std::uint8_t>(field | flag << kI2COptionFlagBit);
}

// A frequency value of an answer, which the bridge gives in thousands, as a
// 16-bit result. Values above 32 would overflow it and give 32767, the
// largest value the result can hold, rather than a wrapped-around number.
inline std::int16_t thousandsOf(std::uint8_t value) {
  return static_cast<std::int16_t>(std::min(value * 1000, 32767));
}

// An I2C transaction request. The caller keeps the register address and the
// data within kMaxI2CWriteLength together, and a read count within
// kMaxI2CReadCount.
inline Report i2cRequest(std::uint8_t address8, std::uint8_t count,
                         std::span<const std::uint8_t> registerBytes,
                         std::span<const std::uint8_t> data = {}) {
  Report report =
      setRequest(kCommandI2CTransaction,
                 {{kI2CAddressByte, address8},
                  {kI2CCountByte, count},
                  {kI2CRegisterLengthByte, static_cast<std::uint8_t>(registerBytes.size())}});
  const auto payload =
      std::copy(registerBytes.begin(), registerBytes.end(), report.begin() + kI2CPayloadByte);
  std::copy(data.begin(), data.end(), payload);
  return report;
}

// The answer to an I2C transaction, its read data to be filled in.
inline Report i2cAnswer(std::uint8_t status) {
  return answer(kCommandI2CTransaction, {{kStatusByte, status}});
}

inline Report spiRequest(std::int16_t readBack, std::int16_t flag, std::uint8_t parameter,
                         std::span<const std::uint8_t> data) {
  Report report =
      setRequest(kCommandSPITransaction, {{kSPIReadBackByte, flagByte(readBack)},
                                          {kSPIFlagByte, flagByte(flag)},
                                          {kSPIParameterByte, parameter},
                                          {kSPICountByte, static_cast<std::uint8_t>(data.size())}});
  std::copy(data.begin(), data.end(), report.begin() + kSPIDataByte);
  return report;
}

}  // namespace ksthid
