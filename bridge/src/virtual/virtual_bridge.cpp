#include "virtual_bridge.h"

#include <algorithm>
#include <initializer_list>
#include <span>

namespace ksthid {
namespace {

bool isQuery(const Report& request) {
  return request[2] == directionQuery;
}

// Where the register-address bytes of an I2C request begin, and the data of
// an SPI request.
constexpr std::size_t i2cRequestBytes = 5;
constexpr std::size_t spiRequestData = 7;
// I2C status of a request whose counts overrun the report.
constexpr std::uint8_t i2cRequestTooLong = 0x03;

Report answerTo(const Report& request, std::initializer_list<std::uint8_t> values) {
  Report answer{};
  answer[0] = requestReportId;
  answer[1] = request[1];
  std::copy(values.begin(), values.end(), answer.begin() + 2);
  return answer;
}

}  // namespace

std::optional<Report> VirtualBridge::handleRequest(const Report& request) {
  switch (request[1]) {
    case commandVersion:
      return version(request);
    case commandLeds:
      return ledCommand(request);
    case commandGpioConfiguration:
      return gpioConfigurationCommand(request);
    case commandGpioValue:
      return gpioValueCommand(request);
    case commandI2COptions:
      return i2cOptionsCommand(request);
    case commandSMBusTimer:
      return smbusTimerCommand(request);
    case commandI2CTransaction:
      return i2cTransaction(request);
    case commandSPIOptions:
      return spiOptionsCommand(request);
    case commandClocks:
      return clockCommand(request);
    case commandSPITransaction:
      return spiTransaction(request);
    default:
      return std::nullopt;
  }
}

std::optional<Report> VirtualBridge::version(const Report& request) {
  if (!isQuery(request)) return std::nullopt;
  return answerTo(
      request, {identity_.major, identity_.minor, static_cast<std::uint8_t>(identity_.year >> 8),
                static_cast<std::uint8_t>(identity_.year & 0xFF), identity_.month, identity_.day});
}

std::optional<Report> VirtualBridge::ledCommand(const Report& request) {
  if (isQuery(request)) return answerTo(request, {leds_});
  leds_ = request[3] & 0x03;
  return std::nullopt;
}

std::optional<Report> VirtualBridge::gpioConfigurationCommand(const Report& request) {
  if (isQuery(request)) {
    return answerTo(request, {gpioConfiguration_[0], gpioConfiguration_[1], gpioConfiguration_[2]});
  }
  gpioConfiguration_ = {request[3], request[4], request[5]};
  drivePins();
  return std::nullopt;
}

std::optional<Report> VirtualBridge::gpioValueCommand(const Report& request) {
  // The query's flag asks for pin levels rather than latches; with the
  // virtual board's pins they are the same.
  if (isQuery(request)) return answerTo(request, {gpioValue_[0], gpioValue_[1]});
  gpioValue_ = {request[3], request[4]};
  drivePins();
  return std::nullopt;
}

// A set request with byte 5 = 1 also clocks the bus to free SDA, and says
// how that went.
std::optional<Report> VirtualBridge::i2cOptionsCommand(const Report& request) {
  if (isQuery(request)) return answerTo(request, {i2cOptions_[0], i2cOptions_[1]});
  i2cOptions_ = {request[3], request[4]};
  if (request[5] != 1) return std::nullopt;
  return answerTo(request, {i2cBus_.clockFree()});
}

std::optional<Report> VirtualBridge::smbusTimerCommand(const Report& request) {
  if (isQuery(request)) return answerTo(request, {smbusFrequency_, smbusTimerCount_});
  smbusTimerCount_ = request[3];
  return std::nullopt;
}

// Byte 2: the 8-bit address, bit 0 set for a read; byte 3: the data count;
// byte 4: the register-address count; then the register address and, for a
// write, the data. Byte 1 of the answer is the status, read data follow it.
std::optional<Report> VirtualBridge::i2cTransaction(const Report& request) {
  const std::uint8_t address = request[2] >> 1;
  const bool read = (request[2] & 1) != 0;
  const std::size_t count = request[3];
  const std::size_t registerLength = request[4];
  const std::span<const std::uint8_t> carried(request.begin() + i2cRequestBytes, request.end());
  Report answer{};
  answer[0] = requestReportId;
  const std::span<std::uint8_t> readData = std::span(answer).subspan(2);
  if (registerLength + (read ? 0 : count) > carried.size() || count > readData.size()) {
    answer[1] = i2cRequestTooLong;
  } else if (read) {
    answer[1] = i2cBus_.read(address, carried.first(registerLength), readData.first(count));
  } else {
    answer[1] = i2cBus_.write(address, carried.first(registerLength + count));
  }
  return answer;
}

std::optional<Report> VirtualBridge::spiOptionsCommand(const Report& request) {
  if (isQuery(request)) return answerTo(request, {spiOptions_});
  spiOptions_ = request[3];
  return std::nullopt;
}

std::optional<Report> VirtualBridge::clockCommand(const Report& request) {
  if (isQuery(request)) return answerTo(request, {systemClock_, spiClockDivisor_});
  spiClockDivisor_ = request[3];
  return std::nullopt;
}

// Byte 3: answer with the bytes received; byte 6: the count; data from
// byte 7. The answer carries the received bytes from byte 2.
std::optional<Report> VirtualBridge::spiTransaction(const Report& request) {
  const std::size_t count = request[6];
  if (count > reportLength - spiRequestData) return std::nullopt;
  Report answer = answerTo(request, {});
  const std::span<std::uint8_t> shifted = std::span(answer).subspan(2, count);
  std::copy_n(request.begin() + spiRequestData, count, shifted.begin());
  spiSlave_.transfer(shifted);
  if (request[3] != 1) return std::nullopt;
  return answer;
}

void VirtualBridge::drivePins() {
  chip_.onPins(gpioConfiguration_[0], gpioValue_[0]);
}

}  // namespace ksthid
