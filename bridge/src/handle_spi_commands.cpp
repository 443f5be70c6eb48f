// The SPI commands of ksthid_api.h: option bits, clock divisor and transfers
// that fit one report.
#include <algorithm>

#include "board_handle.h"

using namespace ksthid;

extern "C" {

KSTHID_EXPORT int ksthid_spi_options_read(ksthid_board* board, uint8_t* options) {
  return queryValue(board, options, kCommandSPIOptions,
                    [](const Report& answer) { return answer[kSPIOptionsAnswerByte]; });
}

KSTHID_EXPORT int ksthid_spi_options_write(ksthid_board* board, uint8_t options) {
  if (!board || (options & ~kSPIOptionMask) != 0) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(setRequest(kCommandSPIOptions, {{kSPIOptionsByte, options}}));
}

KSTHID_EXPORT int ksthid_spi_divisor_read(ksthid_board* board, uint8_t* divisor) {
  return queryValue(board, divisor, kCommandClocks,
                    [](const Report& answer) { return answer[kSPIDivisorAnswerByte]; });
}

KSTHID_EXPORT int ksthid_spi_divisor_write(ksthid_board* board, uint8_t divisor) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(setRequest(kCommandClocks, {{kSPIDivisorByte, divisor}}));
}

KSTHID_EXPORT int ksthid_spi_transfer(ksthid_board* board, const uint8_t* out, uint8_t* in,
                                      size_t count) {
  if (!board || !out || count == 0 || count > kMaxSPICount) return KSTHID_E_INVALID_ARGUMENT;
  const Report request = spiRequest(in ? 1 : 0, 0, 0, {out, count});
  if (!in) return board->set(request);
  return queryBoard(board, request, [&](const Report& answer) {
    std::copy_n(answer.begin() + kSPIReceivedByte, count, in);
  });
}

}  // extern "C"
