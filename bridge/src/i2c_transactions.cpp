// I2C transactions: one request of command 6 each, answered by a report
// whose status byte says whether the bus transaction went through. After a
// USB failure the user may reconnect and have the transaction run again.
#include <algorithm>
#include <array>
#include <optional>
#include <span>

#include "connection.h"
#include "export_arguments.h"
#include "ksthid.h"
#include "library_state.h"
#include "report_exchange.h"

namespace ksthid {
namespace {

constexpr std::int16_t transactionSucceeded = 0;
constexpr std::int16_t transactionFailed = 1;

constexpr std::uint8_t maxAddress = 127;
// The register address and the data written follow the header from byte 5;
// read data come back from byte 2.
constexpr std::size_t requestPayload = 5;
constexpr std::size_t answerPayload = 2;
constexpr std::size_t maxReadCount = reportLength - answerPayload;
constexpr std::size_t maxWriteLength = reportLength - requestPayload;
// A transfer must not run past the device's last register.
constexpr int maxRegisterEnd = 255;
constexpr std::int16_t quietly = -1;

void setI2CAddress(std::uint8_t address) {
  libraryState().i2cAddress8 = static_cast<std::uint8_t>(address * 2);
}

// Checks the board and the 7-bit address, and makes the address the one of
// the transaction in progress.
bool beginTransaction(std::uint8_t address, std::int16_t hidNumber) {
  if (validateHidNumber(hidNumber) != 0 || address > maxAddress) return false;
  setI2CAddress(address);
  return true;
}

bool registerRangeFits(std::uint8_t reg, std::uint8_t count) {
  return reg + count <= maxRegisterEnd;
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

// Selects the board and starts a request for the 8-bit address. Stale input
// is drained first: an answer carries nothing that ties it to its request,
// so one left over (late, or sent to a set request) would be taken for this
// transaction's. False when the board has no open handles.
bool startRequest(Report& report, std::uint8_t address8, std::size_t count,
                  std::span<const std::uint8_t> registerBytes, std::int16_t hidNumber) {
  if (!selectBoard(hidNumber)) return false;
  drainInput(report, lastReportIndex);
  clearReport(report, lastReportIndex, 0);
  setReportId(report);
  report[1] = commandI2CTransaction;
  report[2] = address8;
  report[3] = static_cast<std::uint8_t>(count);
  report[4] = static_cast<std::uint8_t>(registerBytes.size());
  std::copy(registerBytes.begin(), registerBytes.end(), report.begin() + requestPayload);
  return true;
}

std::int16_t writeAndReadAnswer(Report& report, std::int16_t hidNumber) {
  if (!writeRequest(report)) return xferWriteFailed;
  return readResponse(report, hidNumber);
}

// A board without handles (gone in a reconnect) cannot take the request,
// which the user is told as a failed write.
std::int16_t i2cReadOnce(std::span<std::uint8_t> data, std::span<const std::uint8_t> registerBytes,
                         std::int16_t hidNumber) {
  Report report;
  const std::uint8_t address8 = libraryState().i2cAddress8 + 1;
  if (!startRequest(report, address8, data.size(), registerBytes, hidNumber)) {
    return xferWriteFailed;
  }
  const std::int16_t result = writeAndReadAnswer(report, hidNumber);
  if (result == xferOk) std::copy_n(report.begin() + answerPayload, data.size(), data.begin());
  return result;
}

std::int16_t i2cWriteOnce(std::span<const std::uint8_t> data,
                          std::span<const std::uint8_t> registerBytes, std::int16_t hidNumber) {
  Report report;
  const std::uint8_t address8 = libraryState().i2cAddress8;
  if (!startRequest(report, address8, data.size(), registerBytes, hidNumber)) {
    return xferWriteFailed;
  }
  std::copy(data.begin(), data.end(), report.begin() + requestPayload + registerBytes.size());
  return writeAndReadAnswer(report, hidNumber);
}

// Runs an attempt and shows its box. A USB failure answered with Retry has
// reconnected every board, and the attempt runs again for the same HIDnumber.
template <typename Attempt>
std::int16_t repeatWhileRetried(Attempt attempt, std::int16_t quiet) {
  for (;;) {
    const std::int16_t result = attempt();
    reportTransferError(result, quiet);
    const bool usbFailure = result == xferReadFailed || result == xferWriteFailed;
    if (!usbFailure || libraryState().lastAnswer != KSTHID_IDRETRY) return result;
  }
}

std::int16_t i2cRead(std::span<std::uint8_t> data, std::span<const std::uint8_t> registerBytes,
                     std::int16_t hidNumber, std::int16_t quiet) {
  return repeatWhileRetried([&] { return i2cReadOnce(data, registerBytes, hidNumber); }, quiet);
}

std::int16_t i2cWrite(std::span<const std::uint8_t> data,
                      std::span<const std::uint8_t> registerBytes, std::int16_t hidNumber,
                      std::int16_t quiet) {
  return repeatWhileRetried([&] { return i2cWriteOnce(data, registerBytes, hidNumber); }, quiet);
}

std::int16_t exportResult(std::int16_t transferResult) {
  return transferResult == xferOk ? transactionSucceeded : transactionFailed;
}

}  // namespace
}  // namespace ksthid

using namespace ksthid;

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_doI2CRead(uint8_t* address, uint8_t* reg,
                                                           uint8_t* count, SAFEARRAY** data,
                                                           SAFEARRAY** registerBuffer,
                                                           int16_t* HIDnumber, int16_t* quiet) {
  if (anyNull(address, reg, count, data, registerBuffer, HIDnumber, quiet)) {
    return transactionFailed;
  }
  if (!beginTransaction(*address, *HIDnumber) || !resizeByteArray(data, *count)) {
    return transactionFailed;
  }
  if (*count == 0 || *count > maxReadCount || !registerRangeFits(*reg, *count)) {
    return transactionFailed;
  }
  const auto registerBytes = registerAddress(registerBuffer, *reg);
  if (!registerBytes) return transactionFailed;
  return exportResult(i2cRead(*byteArrayElements(*data), *registerBytes, *HIDnumber, *quiet));
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_doI2CWrite(uint8_t* address, uint8_t* reg,
                                                            uint8_t* count, SAFEARRAY** data,
                                                            SAFEARRAY** registerBuffer,
                                                            int16_t* HIDnumber, int16_t* quiet) {
  if (anyNull(address, reg, count, data, registerBuffer, HIDnumber, quiet)) {
    return transactionFailed;
  }
  if (!beginTransaction(*address, *HIDnumber)) return transactionFailed;
  const std::size_t registerLength = *reg != 0 ? 1 : 0;
  if (*count == 0 || registerLength + *count > maxWriteLength || !registerRangeFits(*reg, *count)) {
    return transactionFailed;
  }
  // The register buffer is resized before the data are looked at: a caller
  // may pass one array as both.
  const auto registerBytes = registerAddress(registerBuffer, *reg);
  const auto elements = byteArrayElements(*data);
  if (!registerBytes || !elements || elements->size() < *count) return transactionFailed;
  return exportResult(i2cWrite(elements->first(*count), *registerBytes, *HIDnumber, *quiet));
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_probeI2CAddress(uint8_t* address,
                                                                 int16_t* HIDnumber, uint8_t* reg) {
  if (anyNull(address, HIDnumber, reg)) return transactionFailed;
  if (!beginTransaction(*address, *HIDnumber)) return transactionFailed;
  // The register byte goes out even when it is 0, and absence is no error
  // worth a box: the caller asked whether anything answers.
  const std::array<std::uint8_t, 1> registerBytes{*reg};
  std::array<std::uint8_t, 1> data{};
  return exportResult(i2cRead(data, registerBytes, *HIDnumber, quietly));
}
