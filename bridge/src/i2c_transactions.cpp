// I2C transactions: one request of command 6 each, answered by a report
// whose status byte says whether the bus transaction went through. After a
// USB failure the user may reconnect and have the transaction run again.
#include <algorithm>
#include <array>
#include <optional>
#include <span>

#include "command_exchange.h"
#include "connection.h"
#include "export_arguments.h"
#include "ksthid.h"
#include "report_exchange.h"

namespace ksthid {
namespace {

constexpr std::int16_t kQuietly = -1;

// Checks the board and the 7-bit address; the 8-bit address, or empty when
// the transaction is refused.
std::optional<std::uint8_t> beginTransaction(std::uint8_t address, std::int16_t hidNumber) {
  if (validateHidNumber(hidNumber) != 0 || address > kMaxI2CAddress) return std::nullopt;
  return static_cast<std::uint8_t>(address << 1);
}

// What a read and a write check first: every argument given, an open board
// (with its box), a 7-bit address, and two arrays: one array cannot hold the
// data and the register address at once. The 8-bit address, or empty when
// the transaction is refused.
std::optional<std::uint8_t> beginTransfer(const std::uint8_t* address, const std::uint8_t* reg,
                                          const std::uint8_t* count, SAFEARRAY** data,
                                          SAFEARRAY** registerBuffer, const std::int16_t* hidNumber,
                                          const std::int16_t* quiet) {
  if (anyNull(address, reg, count, data, registerBuffer, hidNumber, quiet)) return std::nullopt;
  const auto address8 = beginTransaction(*address, *hidNumber);
  const bool oneArray = data == registerBuffer || (*data != nullptr && *data == *registerBuffer);
  if (oneArray) return std::nullopt;
  return address8;
}

bool registerRangeFits(std::uint8_t reg, std::uint8_t count) {
  return reg + count <= kMaxI2CRegister;
}

// Gives the caller's register buffer one element holding the register, and
// returns the register address to send: none for register 0.
std::optional<std::span<const std::uint8_t>> registerAddress(SAFEARRAY** registerBuffer,
                                                             std::uint8_t reg) {
  if (!resizeByteArray(registerBuffer, 1)) return std::nullopt;
  const std::span<std::uint8_t> element = *byteArrayElements(*registerBuffer);
  element[0] = reg;
  return element.first(reg != 0 ? 1 : 0);
}

// One attempt; the data read are copied into `readData` when the bridge
// reports success. Stale input is drained first: an answer carries nothing
// that ties it to its request, so one left over (late, or sent to a set
// request) would be taken for this transaction's. A board without handles
// (gone in a reconnect) cannot take the request, which the user is told as
// a failed write.
std::int16_t transactOnce(const Report& request, std::span<std::uint8_t> readData,
                          std::int16_t hidNumber) {
  auto exchange = Exchange::open(hidNumber);
  if (!exchange || !exchange->write(request)) return kXferWriteFailed;
  Report answer;
  const std::int16_t result = exchange->read(answer);
  if (result == kXferOk) {
    std::copy_n(answer.begin() + kI2CReadDataByte, readData.size(), readData.begin());
  }
  return result;
}

// Runs attempts and shows their boxes. A USB failure answered with Retry has
// reconnected every board, and the attempt runs again for the same HIDnumber.
std::int16_t transact(const Report& request, std::span<std::uint8_t> readData,
                      std::int16_t hidNumber, std::int16_t quiet) {
  for (;;) {
    const std::int16_t result = transactOnce(request, readData, hidNumber);
    const int answer = reportTransferError(result, quiet);
    const bool usbFailure = result == kXferReadFailed || result == kXferWriteFailed;
    if (!usbFailure || answer != KSTHID_IDRETRY) return result;
  }
}

std::int16_t readTransaction(std::uint8_t address8, std::span<std::uint8_t> data,
                             std::span<const std::uint8_t> registerBytes, std::int16_t hidNumber,
                             std::int16_t quiet) {
  const auto count = static_cast<std::uint8_t>(data.size());
  return transact(i2cRequest(address8 | kI2CReadBit, count, registerBytes), data, hidNumber, quiet);
}

std::int16_t exportResult(std::int16_t transferResult) {
  return transferResult == kXferOk ? KSTHID_I2C_DONE : KSTHID_I2C_FAILED;
}

}  // namespace
}  // namespace ksthid

using namespace ksthid;

// A refused transaction leaves the caller's arrays as they were, except that
// a read on an open board and a valid address first gives its data array
// `count` zeros.
extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_doI2CRead(uint8_t* address, uint8_t* reg,
                                                           uint8_t* count, SAFEARRAY** data,
                                                           SAFEARRAY** registerBuffer,
                                                           int16_t* HIDnumber, int16_t* quiet) {
  const auto address8 = beginTransfer(address, reg, count, data, registerBuffer, HIDnumber, quiet);
  if (!address8 || !resizeByteArray(data, *count) || *count == 0 || *count > kMaxI2CReadCount ||
      !registerRangeFits(*reg, *count)) {
    return KSTHID_I2C_FAILED;
  }
  const auto registerBytes = registerAddress(registerBuffer, *reg);
  if (!registerBytes) return KSTHID_I2C_FAILED;
  return exportResult(
      readTransaction(*address8, *byteArrayElements(*data), *registerBytes, *HIDnumber, *quiet));
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_doI2CWrite(uint8_t* address, uint8_t* reg,
                                                            uint8_t* count, SAFEARRAY** data,
                                                            SAFEARRAY** registerBuffer,
                                                            int16_t* HIDnumber, int16_t* quiet) {
  const auto address8 = beginTransfer(address, reg, count, data, registerBuffer, HIDnumber, quiet);
  if (!address8) return KSTHID_I2C_FAILED;
  const auto elements = byteArrayElements(*data);
  const std::size_t registerLength = *reg != 0 ? 1 : 0;
  if (!elements || elements->size() < *count || *count == 0 ||
      registerLength + *count > kMaxI2CWriteLength || !registerRangeFits(*reg, *count)) {
    return KSTHID_I2C_FAILED;
  }
  const auto registerBytes = registerAddress(registerBuffer, *reg);
  if (!registerBytes) return KSTHID_I2C_FAILED;
  const Report request = i2cRequest(*address8, *count, *registerBytes, elements->first(*count));
  return exportResult(transact(request, {}, *HIDnumber, *quiet));
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_probeI2CAddress(uint8_t* address,
                                                                 int16_t* HIDnumber, uint8_t* reg) {
  if (anyNull(address, HIDnumber, reg)) return KSTHID_I2C_FAILED;
  const auto address8 = beginTransaction(*address, *HIDnumber);
  if (!address8) return KSTHID_I2C_FAILED;
  // The register byte goes out even when it is 0, and absence is no error
  // worth a box: the caller asked whether anything answers.
  const std::array<std::uint8_t, 1> registerBytes{*reg};
  std::array<std::uint8_t, 1> data{};
  return exportResult(readTransaction(*address8, data, registerBytes, *HIDnumber, kQuietly));
}
