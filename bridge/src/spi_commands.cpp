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

constexpr std::int16_t kTransactionRefused = 1;
constexpr std::int16_t kTransactionRun = 0;

// The first `byteCount` elements of the caller's array; empty when the
// count does not fit one report or the array does not hold that many.
std::optional<std::span<std::uint8_t>> transferBytes(SAFEARRAY* array, std::uint8_t byteCount) {
  const auto elements = byteArrayElements(array);
  if (byteCount == 0 || byteCount > kMaxSPICount || !elements || elements->size() < byteCount) {
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
  const auto optionBits = static_cast<std::uint8_t>(*options & kSPIOptionMask);
  return runSet(*board, setRequest(kCommandSPIOptions, {{kSPIOptionsByte, optionBits}}))
      .value_or(1);
}

extern "C" KSTHID_API uint8_t KSTHID_CALL kstHID_getSPIOptions(VARIANT* HIDnumber) {
  const auto board = boardFromVariant(HIDnumber);
  if (!board) return 0;
  return runQuery(*board, queryRequest(kCommandSPIOptions)).report[kSPIOptionsAnswerByte];
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setSPIClockDivisor(uint8_t* clockDivisor,
                                                                    int16_t* HIDnumber) {
  if (anyNull(clockDivisor, HIDnumber)) return 1;
  return runSet(*HIDnumber, setRequest(kCommandClocks, {{kSPIDivisorByte, *clockDivisor}})) ? 0 : 1;
}

extern "C" KSTHID_API uint8_t KSTHID_CALL kstHID_getSPIClockDivisor(VARIANT* HIDnumber) {
  const auto board = boardFromVariant(HIDnumber);
  if (!board) return 0;
  return runQuery(*board, queryRequest(kCommandClocks)).report[kSPIDivisorAnswerByte];
}

// The bytes received replace the ones sent, only when read back is asked
// for; after a time-out they are zeros.
extern "C" KSTHID_API int16_t KSTHID_CALL
kstHID_doSPITransaction(uint8_t* byteCount, SAFEARRAY** spiData, int16_t* readBack,
                        int16_t* HIDnumber, int16_t* spiFlag, uint8_t* spiParam) {
  if (anyNull(byteCount, spiData, readBack, HIDnumber, spiFlag, spiParam)) {
    return kTransactionRefused;
  }
  if (validateHidNumber(*HIDnumber) != 0) return kTransactionRefused;
  const auto bytes = transferBytes(*spiData, *byteCount);
  if (!bytes) return kTransactionRefused;
  auto exchange = Exchange::open(*HIDnumber);
  const Report request = spiRequest(*readBack, *spiFlag, *spiParam, *bytes);
  if (exchange->send(request) != kXferOk || *readBack == 0) return kTransactionRun;
  Report answer;
  exchange->awaitAnswer(answer);
  std::copy_n(answer.begin() + kSPIReceivedByte, bytes->size(), bytes->begin());
  return kTransactionRun;
}
