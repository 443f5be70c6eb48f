// The GPIO commands of ksthid_api.h: the pins' values and configuration,
// low byte first on the wire.
#include "board_handle.h"

namespace ksthid {
namespace {

std::uint16_t gpioWordOf(const Report& answer) {
  return static_cast<std::uint16_t>(answer[kGpioFirstAnswerByte] | answer[kGpioSecondAnswerByte]
                                                                       << 8);
}

}  // namespace
}  // namespace ksthid

using namespace ksthid;

extern "C" {

KSTHID_EXPORT int ksthid_gpio_write(ksthid_board* board, uint16_t values) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(
      setRequest(kCommandGpioValue, {{kGpioFirstByte, static_cast<std::uint8_t>(values & 0xFF)},
                                     {kGpioSecondByte, static_cast<std::uint8_t>(values >> 8)}}));
}

KSTHID_EXPORT int ksthid_gpio_read(ksthid_board* board, uint16_t* values) {
  return queryValue(board, values, "values", kCommandGpioValue, gpioWordOf);
}

KSTHID_EXPORT int ksthid_gpio_configure(ksthid_board* board, uint16_t configuration, int flag) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  if (flag != 0 && flag != 1) return refuseValue(board, "flag", flag, "0 or 1");
  return board->set(setRequest(kCommandGpioConfiguration,
                               {{kGpioFirstByte, static_cast<std::uint8_t>(configuration & 0xFF)},
                                {kGpioSecondByte, static_cast<std::uint8_t>(configuration >> 8)},
                                {kGpioFlagByte, static_cast<std::uint8_t>(flag)}}));
}

KSTHID_EXPORT int ksthid_gpio_configuration(ksthid_board* board, uint16_t* configuration,
                                            int* flag) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  if (!configuration) return refuseNull(board, "configuration");
  if (!flag) return refuseNull(board, "flag");
  return queryBoard(board, queryRequest(kCommandGpioConfiguration), [&](const Report& answer) {
    *configuration = gpioWordOf(answer);
    *flag = answer[kGpioFlagAnswerByte] & 1;
  });
}

}  // extern "C"
