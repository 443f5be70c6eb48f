#include "virtual_bridge.h"

#include <algorithm>
#include <initializer_list>

namespace ksthid {
namespace {

bool isQuery(const Report& request) {
  return request[2] == directionQuery;
}

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
    case commandClocks:
      return clockCommand(request);
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

std::optional<Report> VirtualBridge::clockCommand(const Report& request) {
  if (isQuery(request)) return answerTo(request, {systemClock_, spiClockDivisor_});
  spiClockDivisor_ = request[3];
  return std::nullopt;
}

void VirtualBridge::drivePins() {
  chip_.onPins(gpioConfiguration_[0], gpioValue_[0]);
}

}  // namespace ksthid
