// The bridge firmware of the virtual board: it answers each request report
// as a real bridge does, drives the virtual chip with its GPIO pins, and is
// master of an I2C bus and of an SPI slave.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "../protocol.h"
#include "virtual_chip.h"
#include "virtual_i2c_bus.h"
#include "virtual_spi_slave.h"

namespace ksthid {

struct FirmwareIdentity {
  std::uint8_t major = 1;
  std::uint8_t minor = 0;
  std::uint16_t year = 2026;
  std::uint8_t month = 12;
  std::uint8_t day = 1;
};

class VirtualBridge {
 public:
  explicit VirtualBridge(FirmwareIdentity identity = {}) : identity_(identity) {}

  // Carries out one request; the answer, when the request asks for one.
  std::optional<Report> handleRequest(const Report& request);

  std::uint8_t leds() const { return leds_; }
  const std::array<std::uint8_t, 3>& gpioConfiguration() const { return gpioConfiguration_; }
  const std::array<std::uint8_t, 2>& gpioValue() const { return gpioValue_; }
  VirtualChip& chip() { return chip_; }
  void setSystemClock(std::uint8_t value) { systemClock_ = value; }
  VirtualI2CBus& i2cBus() { return i2cBus_; }
  VirtualSPISlave& spiSlave() { return spiSlave_; }
  void setSMBusFrequency(std::uint8_t value) { smbusFrequency_ = value; }
  // The option bytes as the queries report them, including bits that the
  // library's set requests never carry.
  void setI2COptionBytes(std::uint8_t field, std::uint8_t flag) { i2cOptions_ = {field, flag}; }
  void setSPIOptions(std::uint8_t options) { spiOptions_ = options; }

 private:
  std::optional<Report> version(const Report& request);
  std::optional<Report> ledCommand(const Report& request);
  std::optional<Report> gpioConfigurationCommand(const Report& request);
  std::optional<Report> gpioValueCommand(const Report& request);
  std::optional<Report> i2cOptionsCommand(const Report& request);
  std::optional<Report> smbusTimerCommand(const Report& request);
  std::optional<Report> i2cTransaction(const Report& request);
  std::optional<Report> spiOptionsCommand(const Report& request);
  std::optional<Report> clockCommand(const Report& request);
  std::optional<Report> spiTransaction(const Report& request);
  void drivePins();

  FirmwareIdentity identity_;
  std::uint8_t leds_ = 0;
  // After reset every pin is open-drain with its latch high: all released.
  std::array<std::uint8_t, 3> gpioConfiguration_{0x00, 0x00, 0x00};
  std::array<std::uint8_t, 2> gpioValue_{0xFF, 0xFF};
  std::uint8_t systemClock_ = 24;
  std::uint8_t spiClockDivisor_ = 0;
  std::array<std::uint8_t, 2> i2cOptions_{0, 0};
  std::uint8_t smbusFrequency_ = 10;
  std::uint8_t smbusTimerCount_ = 0;
  std::uint8_t spiOptions_ = 0;
  VirtualChip chip_;
  VirtualI2CBus i2cBus_;
  VirtualSPISlave spiSlave_;
};

}  // namespace ksthid
