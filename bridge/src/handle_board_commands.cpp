// The board commands of ksthid_api.h: firmware version, LEDs, the module
// indicator and the system clock.
#include "board_handle.h"

using namespace ksthid;

extern "C" {

KSTHID_EXPORT int ksthid_firmware_version(ksthid_board* board, struct ksthid_firmware* version) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  if (!version) return refuseNull(board, "version");
  return queryBoard(board, queryRequest(kCommandVersion), [&](const Report& answer) {
    *version = {
        answer[kVersionMajorByte], answer[kVersionMinorByte],
        static_cast<std::uint16_t>(answer[kVersionYearHighByte] << 8 | answer[kVersionYearLowByte]),
        answer[kVersionMonthByte], answer[kVersionDayByte]};
  });
}

KSTHID_EXPORT int ksthid_leds_read(ksthid_board* board, uint8_t* leds) {
  return queryValue(board, leds, "leds", kCommandLeds,
                    [](const Report& answer) { return answer[kLedPairAnswerByte] & kLedPairMask; });
}

KSTHID_EXPORT int ksthid_leds_write(ksthid_board* board, uint8_t leds) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  if ((leds & ~kLedPairMask) != 0) {
    return refuseValue(board, "leds", leds, "0 to 3 (bit 0 is LED 0, bit 1 LED 1)");
  }
  return board->set(setRequest(kCommandLeds, {{kLedPairByte, leds}}));
}

KSTHID_EXPORT int ksthid_indicate(ksthid_board* board) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(setRequest(kCommandLeds, {{kLedPairByte, ledPair(1, 0)}}));
}

KSTHID_EXPORT int ksthid_system_clock(ksthid_board* board, uint32_t* clock) {
  return queryValue(board, clock, "clock", kCommandClocks,
                    [](const Report& answer) { return answer[kSystemClockAnswerByte] * 1000u; });
}

}  // extern "C"
