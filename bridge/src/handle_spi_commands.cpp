// The SPI commands of ksthid_api.h: option bits, clock divisor and transfers
// that fit one report.
#include <algorithm>

#include "board_handle.h"

using namespace ksthid;

extern "C" {

KSTHID_EXPORT int ksthid_spi_options_read(ksthid_board* board, uint8_t* options) {
  return queryValue(board, options, "options", kCommandSPIOptions,
                    [](const Report& answer) { return answer[kSPIOptionsAnswerByte]; });
}

KSTHID_EXPORT int ksthid_spi_options_write(ksthid_board* board, uint8_t options) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  if ((options & ~kSPIOptionMask) != 0) return refuseValue(board, "options", options, "0 to 7");
  return board->set(setRequest(kCommandSPIOptions, {{kSPIOptionsByte, options}}));
}

KSTHID_EXPORT int ksthid_spi_divisor_read(ksthid_board* board, uint8_t* divisor) {
  return queryValue(board, divisor, "divisor", kCommandClocks,
                    [](const Report& answer) { return answer[kSPIDivisorAnswerByte]; });
}

KSTHID_EXPORT int ksthid_spi_divisor_write(ksthid_board* board, uint8_t divisor) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(setRequest(kCommandClocks, {{kSPIDivisorByte, divisor}}));
}

KSTHID_EXPORT int ksthid_spi_transfer_flagged(ksthid_board* board, const uint8_t* out, uint8_t* in,
                                              size_t count, int flag, uint8_t parameter) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  if (!out) return refuseNull(board, "out");
  if (count == 0 || count > kMaxSPICount) {
    return refuseValue(board, "count", static_cast<long long>(count),
                       "1 to " + std::to_string(kMaxSPICount));
  }
  if (flag != 0 && flag != 1) return refuseValue(board, "flag", flag, "0 or 1");
  const Report request =
      spiRequest(in ? 1 : 0, static_cast<std::int16_t>(flag), parameter, {out, count});
  if (!in) return board->set(request);
  return queryBoard(board, request, [&](const Report& answer) {
    std::copy_n(answer.begin() + kSPIReceivedByte, count, in);
  });
}

KSTHID_EXPORT int ksthid_spi_transfer(ksthid_board* board, const uint8_t* out, uint8_t* in,
                                      size_t count) {
  return ksthid_spi_transfer_flagged(board, out, in, count, 0, 0);
}

}  // extern "C"
