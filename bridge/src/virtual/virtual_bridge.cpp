#include "virtual_bridge.h"

#include <algorithm>
#include <span>

namespace ksthid {
namespace {

// I2C status of a request whose counts overrun the report.
constexpr std::uint8_t kI2CRequestTooLong = 0x03;

}  // namespace

std::optional<Report> VirtualBridge::handleRequest(const Report& request) {
  switch (commandOf(request)) {
    case kCommandVersion:
      return version(request);
    case kCommandLeds:
      return ledCommand(request);
    case kCommandGpioConfiguration:
      return gpioConfigurationCommand(request);
    case kCommandGpioValue:
      return gpioValueCommand(request);
    case kCommandI2COptions:
      return i2cOptionsCommand(request);
    case kCommandSMBusTimer:
      return smbusTimerCommand(request);
    case kCommandI2CTransaction:
      return i2cTransaction(request);
    case kCommandSPIOptions:
      return spiOptionsCommand(request);
    case kCommandClocks:
      return clockCommand(request);
    case kCommandSPITransaction:
      return spiTransaction(request);
    default:
      return std::nullopt;
  }
}

std::optional<Report> VirtualBridge::version(const Report& request) {
  if (!isQuery(request)) return std::nullopt;
  return answer(kCommandVersion,
                {{kVersionMajorByte, identity_.major},
                 {kVersionMinorByte, identity_.minor},
                 {kVersionYearHighByte, static_cast<std::uint8_t>(identity_.year >> 8)},
                 {kVersionYearLowByte, static_cast<std::uint8_t>(identity_.year & 0xFF)},
                 {kVersionMonthByte, identity_.month},
                 {kVersionDayByte, identity_.day}});
}

std::optional<Report> VirtualBridge::ledCommand(const Report& request) {
  if (isQuery(request)) return answer(kCommandLeds, {{kLedPairAnswerByte, leds_}});
  leds_ = request[kLedPairByte] & kLedPairMask;
  return std::nullopt;
}

std::optional<Report> VirtualBridge::gpioConfigurationCommand(const Report& request) {
  if (isQuery(request)) {
    return answer(kCommandGpioConfiguration, {{kGpioFirstAnswerByte, gpioConfiguration_[0]},
                                              {kGpioSecondAnswerByte, gpioConfiguration_[1]},
                                              {kGpioFlagAnswerByte, gpioConfiguration_[2]}});
  }
  gpioConfiguration_ = {request[kGpioFirstByte], request[kGpioSecondByte], request[kGpioFlagByte]};
  drivePins();
  return std::nullopt;
}

std::optional<Report> VirtualBridge::gpioValueCommand(const Report& request) {
  // The query's flag asks for pin levels rather than latches; with the
  // virtual board's pins they are the same.
  if (isQuery(request)) {
    return answer(kCommandGpioValue,
                  {{kGpioFirstAnswerByte, gpioValue_[0]}, {kGpioSecondAnswerByte, gpioValue_[1]}});
  }
  gpioValue_ = {request[kGpioFirstByte], request[kGpioSecondByte]};
  drivePins();
  return std::nullopt;
}

// A set request asking for SCL toggling also clocks the bus to free SDA,
// and says how that went.
std::optional<Report> VirtualBridge::i2cOptionsCommand(const Report& request) {
  if (isQuery(request)) {
    return answer(kCommandI2COptions, {{kI2COptionFieldAnswerByte, i2cOptions_[0]},
                                       {kI2COptionFlagAnswerByte, i2cOptions_[1]}});
  }
  i2cOptions_ = {request[kI2COptionFieldByte], request[kI2COptionFlagByte]};
  if (request[kSclToggleByte] != kSclToggleRequested) return std::nullopt;
  return answer(kCommandI2COptions, {{kSdaAnswerByte, i2cBus_.clockFree()}});
}

std::optional<Report> VirtualBridge::smbusTimerCommand(const Report& request) {
  if (isQuery(request)) {
    return answer(kCommandSMBusTimer, {{kSMBusFrequencyAnswerByte, smbusFrequency_},
                                       {kTimerCountAnswerByte, smbusTimerCount_}});
  }
  smbusTimerCount_ = request[kTimerCountByte];
  return std::nullopt;
}

// A request whose counts overrun the report fails as a whole.
std::optional<Report> VirtualBridge::i2cTransaction(const Report& request) {
  const std::uint8_t address = request[kI2CAddressByte] >> 1;
  const bool read = (request[kI2CAddressByte] & kI2CReadBit) != 0;
  const std::size_t count = request[kI2CCountByte];
  const std::size_t registerLength = request[kI2CRegisterLengthByte];
  const std::size_t carried = registerLength + (read ? 0 : count);
  if (carried > kMaxI2CWriteLength || count > kMaxI2CReadCount) {
    return i2cAnswer(kI2CRequestTooLong);
  }
  const auto payload = std::span(request).subspan(kI2CPayloadByte);
  if (!read) return i2cAnswer(i2cBus_.write(address, payload.first(carried)));
  Report reply = i2cAnswer(kStatusDone);
  const auto readData = std::span(reply).subspan(kI2CReadDataByte, count);
  reply[kStatusByte] = i2cBus_.read(address, payload.first(registerLength), readData);
  return reply;
}

std::optional<Report> VirtualBridge::spiOptionsCommand(const Report& request) {
  if (isQuery(request)) return answer(kCommandSPIOptions, {{kSPIOptionsAnswerByte, spiOptions_}});
  spiOptions_ = request[kSPIOptionsByte];
  return std::nullopt;
}

std::optional<Report> VirtualBridge::clockCommand(const Report& request) {
  if (isQuery(request)) {
    return answer(kCommandClocks, {{kSystemClockAnswerByte, systemClock_},
                                   {kSPIDivisorAnswerByte, spiClockDivisor_}});
  }
  spiClockDivisor_ = request[kSPIDivisorByte];
  return std::nullopt;
}

// The answer carries the bytes received in place of those sent.
std::optional<Report> VirtualBridge::spiTransaction(const Report& request) {
  const std::size_t count = request[kSPICountByte];
  if (count > kMaxSPICount) return std::nullopt;
  Report reply = answer(kCommandSPITransaction, {});
  const auto shifted = std::span(reply).subspan(kSPIReceivedByte, count);
  std::copy_n(request.begin() + kSPIDataByte, count, shifted.begin());
  spiSlave_.transfer(shifted);
  if (request[kSPIReadBackByte] != 1) return std::nullopt;
  return reply;
}

void VirtualBridge::drivePins() {
  chip_.onPins(gpioConfiguration_[0], gpioValue_[0]);
}

}  // namespace ksthid
