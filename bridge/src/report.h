// The 64-byte HID report that every exchange with a bridge board carries.
#pragma once

#include <array>
#include <cstdint>

namespace ksthid {

inline constexpr std::size_t reportLength = 64;
inline constexpr std::uint8_t lastReportIndex = reportLength - 1;
inline constexpr std::uint8_t requestReportId = 1;

using Report = std::array<std::uint8_t, reportLength>;

// Byte 2 of a request of the command set.
inline constexpr std::uint8_t directionSet = 0;
inline constexpr std::uint8_t directionQuery = 1;

// Byte 1 of a request.
enum CommandCode : std::uint8_t {
  commandVersion = 0,
  commandLeds = 1,
  commandGpioConfiguration = 2,
  commandGpioValue = 3,
  commandI2COptions = 4,
  commandSMBusTimer = 5,
  commandI2CTransaction = 6,
  commandSPIOptions = 7,
  commandClocks = 8,
  commandSPITransaction = 9,
};

// Transfer result codes.
inline constexpr std::int16_t xferDeviceError = 1;
inline constexpr std::int16_t xferReadFailed = 2;
inline constexpr std::int16_t xferWriteFailed = 4;
inline constexpr std::int16_t xferOk = 8;

// USB identity of a bridge board.
inline constexpr std::uint16_t bridgeVendorId = 0x3A5C;
inline constexpr std::uint16_t bridgeProductId = 0x4B17;

}  // namespace ksthid
