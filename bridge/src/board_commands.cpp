// Board commands: the two LEDs, the module indicator, the firmware version
// and the system clock.
#include <algorithm>
#include <array>
#include <string>

#include "command_exchange.h"
#include "connection.h"
#include "export_arguments.h"
#include "firmware_version_text.h"
#include "ksthid.h"
#include "library_state.h"
#include "message_box.h"
#include "month_name.h"

namespace ksthid {
namespace {

constexpr const char* kLedNumberMessage = "ledNumber must be 0 or 1";

// One LED of the LED state byte, 1 when on.
std::int16_t ledFromState(std::uint8_t state, std::int16_t ledNumber) {
  if (ledNumber == 0 || ledNumber == 1) return ledOf(state, ledNumber);
  showMessageBox(kLedNumberMessage, KSTHID_MB_OK);
  return 0;
}

// A query of its own; 0 when it was not written.
std::int16_t ledState(std::int16_t ledNumber, std::int16_t hidNumber) {
  const Answer answer = runQuery(hidNumber, queryRequest(kCommandLeds));
  if (!answer.written()) return 0;
  return ledFromState(answer.report[kLedPairAnswerByte], ledNumber);
}

// The LED state byte that sets one LED and keeps the other as the bridge
// reports it; both off for an LED number that does not exist.
std::uint8_t ledPairWith(std::uint8_t newState, std::int16_t ledNumber, std::int16_t hidNumber) {
  switch (ledNumber) {
    case 0:
      return ledPair(newState, ledState(1, hidNumber));
    case 1:
      return ledPair(ledState(0, hidNumber), newState);
    default:
      showMessageBox(kLedNumberMessage, KSTHID_MB_OK);
      return 0;
  }
}

// 1 when the HIDnumber names no board, else 0.
std::int16_t setLedState(std::uint8_t state, std::int16_t ledNumber, std::int16_t hidNumber) {
  if (validateHidNumber(hidNumber) != 0) return 1;
  // Opened, and so drained, before the query of the other LED.
  auto exchange = Exchange::open(hidNumber);
  const std::uint8_t pair = ledPairWith(state, ledNumber, hidNumber);
  exchange->send(setRequest(kCommandLeds, {{kLedPairByte, pair}}));
  return 0;
}

// The answer's bytes at their places, and one byte more that stays 0.
using FirmwareVersion = std::array<std::uint8_t, kVersionLength + 1>;

// All zero when the query was not written. False when the HIDnumber names
// no board.
bool readFirmwareVersion(FirmwareVersion& version, std::int16_t hidNumber) {
  version.fill(0);
  const Answer answer = runQuery(hidNumber, queryRequest(kCommandVersion));
  if (answer.outcome == Answer::Outcome::kNoBoard) return false;
  std::copy_n(answer.report.begin(), kVersionLength, version.begin());
  return true;
}

std::string versionText(const FirmwareVersion& version) {
  return firmwareVersionText(version[kVersionMajorByte], version[kVersionMinorByte],
                             version[kVersionYearHighByte] * 256 + version[kVersionYearLowByte],
                             monthName(version[kVersionMonthByte]), version[kVersionDayByte]);
}

}  // namespace
}  // namespace ksthid

using namespace ksthid;

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_getLEDState(int16_t* ledNumber,
                                                             int16_t* HIDnumber) {
  if (anyNull(ledNumber, HIDnumber)) return 0;
  return ledState(*ledNumber, *HIDnumber);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setLEDState(uint8_t* ledState, int16_t* ledNumber,
                                                             int16_t* HIDnumber) {
  if (anyNull(ledState, ledNumber, HIDnumber)) return 1;
  return setLedState(*ledState, *ledNumber, *HIDnumber);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_indicateSelectedModule(int16_t* HIDnumber) {
  if (anyNull(HIDnumber) || validateHidNumber(*HIDnumber) != 0) return 1;
  // The count is taken afresh each time: a reconnect on the way may change it.
  for (std::int16_t board = 0; static_cast<std::size_t>(board) < libraryState().boardPaths.size();
       ++board) {
    setLedState(0, 0, board);
    setLedState(0, 1, board);
  }
  setLedState(1, 0, *HIDnumber);
  return 0;
}

extern "C" KSTHID_API void KSTHID_CALL kstHID_showVersion(int16_t* HIDnumber) {
  FirmwareVersion version;
  if (anyNull(HIDnumber) || !readFirmwareVersion(version, *HIDnumber)) return;
  showMessageBox(versionText(version), KSTHID_MB_OK);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_getSystemClockFrequency(VARIANT* HIDnumber) {
  const auto board = boardFromVariant(HIDnumber);
  if (!board) return 0;
  return thousandsOf(runQuery(*board, queryRequest(kCommandClocks)).report[kSystemClockAnswerByte]);
}
