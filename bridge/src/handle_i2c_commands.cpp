// The I2C and SMBus commands of ksthid_api.h: transactions, the option bits,
// clocking a held bus free, and the SMBus frequency and timer.
#include <algorithm>
#include <cstdio>
#include <span>

#include "board_handle.h"

namespace ksthid {
namespace {

// The register address to send: none for -1.
std::span<const std::uint8_t> registerBytes(int reg, std::uint8_t& storage) {
  storage = static_cast<std::uint8_t>(reg);
  return {&storage, reg < 0 ? 0u : 1u};
}

// 0 when a transaction of `count` bytes (`most` at most) fits, else its refusal.
int refuseUnfit(ksthid_board* board, std::uint8_t address, int reg, std::size_t count,
                std::size_t most) {
  if (address > kMaxI2CAddress) {
    return refuseValue(board, "address", address, "0 to " + std::to_string(kMaxI2CAddress));
  }
  if (reg < -1 || reg > kMaxI2CRegister) {
    return refuseValue(board, "register", reg,
                       "-1 (none) or 0 to " + std::to_string(kMaxI2CRegister));
  }
  if (count == 0 || count > most) {
    return refuseValue(board, "count", static_cast<long long>(count),
                       "1 to " + std::to_string(most));
  }
  if (reg >= 0 && reg + count > static_cast<std::size_t>(kMaxI2CRegister)) {
    return refuse(board, "register " + std::to_string(reg) + " + count " + std::to_string(count) +
                             " passes register " + std::to_string(kMaxI2CRegister));
  }
  return 0;
}

int runTransaction(ksthid_board* board, std::uint8_t address, const Report& request,
                   Report& answer) {
  if (const int result = board->query(request, answer); result < 0) return result;
  if (answer[kStatusByte] == kStatusDone) return 0;
  char detail[64];
  std::snprintf(detail, sizeof detail, "the device at 0x%02x did not answer", address);
  return board->fail(KSTHID_E_NACK, detail);
}

int readI2C(ksthid_board* board, std::uint8_t address, int reg, std::uint8_t* data,
            std::size_t count) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  if (!data) return refuseNull(board, "data");
  if (const int refused = refuseUnfit(board, address, reg, count, kMaxI2CReadCount)) {
    return refused;
  }
  std::uint8_t registerStorage;
  const Report request =
      i2cRequest(static_cast<std::uint8_t>(address << 1 | kI2CReadBit),
                 static_cast<std::uint8_t>(count), registerBytes(reg, registerStorage));
  Report answer;
  if (const int result = runTransaction(board, address, request, answer); result < 0) {
    return result;
  }
  std::copy_n(answer.begin() + kI2CReadDataByte, count, data);
  return 0;
}

int readI2COptions(ksthid_board* board, std::uint8_t* options) {
  return queryValue(board, options, "options", kCommandI2COptions, i2cOptionsOf);
}

}  // namespace
}  // namespace ksthid

using namespace ksthid;

extern "C" {

KSTHID_EXPORT int ksthid_i2c_read(ksthid_board* board, uint8_t address, int reg, uint8_t* data,
                                  size_t count) {
  return readI2C(board, address, reg, data, count);
}

KSTHID_EXPORT int ksthid_i2c_write(ksthid_board* board, uint8_t address, int reg,
                                   const uint8_t* data, size_t count) {
  const std::size_t most = reg < 0 ? kMaxI2CWriteLength : kMaxI2CWriteLength - 1;
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  if (!data) return refuseNull(board, "data");
  if (const int refused = refuseUnfit(board, address, reg, count, most)) return refused;
  std::uint8_t registerStorage;
  const Report request =
      i2cRequest(static_cast<std::uint8_t>(address << 1), static_cast<std::uint8_t>(count),
                 registerBytes(reg, registerStorage), {data, count});
  Report answer;
  return runTransaction(board, address, request, answer);
}

KSTHID_EXPORT int ksthid_i2c_probe(ksthid_board* board, uint8_t address) {
  std::uint8_t data;
  const int result = readI2C(board, address, 0, &data, 1);
  if (result == KSTHID_E_NACK) return board->succeed(0);
  return result < 0 ? result : 1;
}

KSTHID_EXPORT int ksthid_i2c_options_read(ksthid_board* board, uint8_t* options) {
  return readI2COptions(board, options);
}

KSTHID_EXPORT int ksthid_i2c_options_write(ksthid_board* board, uint8_t options) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  if (options > 7) return refuseValue(board, "options", options, "0 to 7");
  return board->set(i2cOptionsRequest(options, 0));
}

KSTHID_EXPORT int ksthid_i2c_toggle_scl(ksthid_board* board) {
  std::uint8_t options;
  if (const int result = readI2COptions(board, &options); result < 0) return result;
  Report answer;
  if (const int result = board->query(i2cOptionsRequest(options, kSclToggleRequested), answer);
      result < 0) {
    return result;
  }
  if ((answer[kSdaAnswerByte] & kSdaStillLow) != 0) {
    return board->fail(KSTHID_E_BUS, "SDA stays low after clocking SCL");
  }
  return 0;
}

KSTHID_EXPORT int ksthid_smbus_frequency(ksthid_board* board, uint32_t* frequency) {
  return queryValue(board, frequency, "frequency", kCommandSMBusTimer,
                    [](const Report& answer) { return answer[kSMBusFrequencyAnswerByte] * 1000u; });
}

KSTHID_EXPORT int ksthid_smbus_timer_read(ksthid_board* board, uint8_t* count) {
  return queryValue(board, count, "count", kCommandSMBusTimer,
                    [](const Report& answer) { return answer[kTimerCountAnswerByte]; });
}

KSTHID_EXPORT int ksthid_smbus_timer_write(ksthid_board* board, uint8_t count) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(setRequest(kCommandSMBusTimer, {{kTimerCountByte, count}}));
}

}  // extern "C"
