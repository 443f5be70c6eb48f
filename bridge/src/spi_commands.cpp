// SPI: the bridge's SPI options (command 7) and clock divisor (command 8),
// and transfers that fit one report (command 9). The meaning of the options,
// the divisor, the flag and the parameter is the bridge's; they pass through
// unchanged.
#include <algorithm>

#include "command_exchange.h"
#include "connection.h"
#include "export_arguments.h"
#include "ksthid.h"

namespace ksthid {
namespace {

constexpr std::int16_t transactionRefused = 1;
constexpr std::int16_t transactionRun = 0;
constexpr std::uint8_t spiOptionMask = 0x07;
// The bytes to send follow the header from byte 7; those received come back
// from byte 2.
constexpr std::size_t requestPayload = 7;
constexpr std::size_t answerPayload = 2;
constexpr std::size_t maxTransferLength = reportLength - requestPayload;

// The first `byteCount` elements of the caller's array; empty when the
// count does not fit one report or the array does not hold that many.
std::optional<std::span<std::uint8_t>> transferBytes(SAFEARRAY* array, std::uint8_t byteCount) {
  const auto elements = byteArrayElements(array);
  if (byteCount == 0 || byteCount > maxTransferLength || !elements ||
      elements->size() < byteCount) {
    return std::nullopt;
  }
  return elements->first(byteCount);
}

}  // namespace
}  // namespace ksthid

using namespace ksthid;

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setSPIOptions(VARIANT* spiOptions,
                                                               VARIANT* HIDnumber) {
  const auto options = numberFromVariant(spiOptions);
  const auto board = boardFromVariant(HIDnumber);
  if (!options || !board) return 1;
  const auto optionBits = static_cast<std::uint8_t>(*options & spiOptionMask);
  return runSetCommand(*board, commandSPIOptions, {optionBits}).value_or(1);
}

extern "C" KSTHID_API uint8_t KSTHID_CALL kstHID_getSPIOptions(VARIANT* HIDnumber) {
  const auto board = boardFromVariant(HIDnumber);
  return board ? queryResponse(*board, commandSPIOptions)[2] : 0;
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setSPIClockDivisor(uint8_t* clockDivisor,
                                                                    int16_t* HIDnumber) {
  if (anyNull(clockDivisor, HIDnumber)) return 1;
  return runSetCommand(*HIDnumber, commandClocks, {*clockDivisor}) ? 0 : 1;
}

extern "C" KSTHID_API uint8_t KSTHID_CALL kstHID_getSPIClockDivisor(VARIANT* HIDnumber) {
  const auto board = boardFromVariant(HIDnumber);
  return board ? queryResponse(*board, commandClocks)[3] : 0;
}

// The bytes received replace the ones sent, only when read back is asked
// for; after a time-out they are zeros.
extern "C" KSTHID_API int16_t KSTHID_CALL
kstHID_doSPITransaction(uint8_t* byteCount, SAFEARRAY** spiData, int16_t* readBack,
                        int16_t* HIDnumber, int16_t* spiFlag, uint8_t* spiParam) {
  if (anyNull(byteCount, spiData, readBack, HIDnumber, spiFlag, spiParam)) {
    return transactionRefused;
  }
  if (validateHidNumber(*HIDnumber) != 0) return transactionRefused;
  const auto bytes = transferBytes(*spiData, *byteCount);
  if (!bytes) return transactionRefused;
  Report report;
  auto target = beginCommand(report, *HIDnumber);
  if (!target) return transactionRefused;
  fillCommand(report, commandSPITransaction, directionSet,
              {flagByte(*readBack), flagByte(*spiFlag), *spiParam, *byteCount});
  std::copy(bytes->begin(), bytes->end(), report.begin() + requestPayload);
  if (sendCommand(report, *target) != xferOk || *readBack == 0) return transactionRun;
  awaitAnswer(report, *target);
  std::copy_n(report.begin() + answerPayload, bytes->size(), bytes->begin());
  return transactionRun;
}
