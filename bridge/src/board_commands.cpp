// Board commands: the two LEDs, the module indicator, the firmware version
// and the system clock.
#include <algorithm>
#include <array>
#include <string>

#include "command_exchange.h"
#include "connection.h"
#include "export_arguments.h"
#include "ksthid.h"
#include "library_state.h"
#include "message_box.h"
#include "month_name.h"

namespace ksthid {
namespace {

constexpr const char* ledNumberMessage = "ledNumber must be 0 or 1";

// One LED of the LED state byte, 1 when on.
std::int16_t ledFromState(std::uint8_t state, std::int16_t ledNumber) {
  if (ledNumber == 0 || ledNumber == 1) return static_cast<std::int16_t>((state >> ledNumber) & 1);
  showMessageBox(ledNumberMessage, KSTHID_MB_OK);
  return 0;
}

std::int16_t ledState(std::int16_t ledNumber, std::int16_t hidNumber) {
  return kstHID_getLEDState(&ledNumber, &hidNumber);
}

// The LED state byte that sets one LED and keeps the other as the bridge
// reports it; both off for an LED number that does not exist.
std::uint8_t ledPairWith(std::uint8_t newState, std::int16_t ledNumber, std::int16_t hidNumber) {
  const std::uint8_t bit = newState & 1;
  switch (ledNumber) {
    case 0:
      return static_cast<std::uint8_t>(ledState(1, hidNumber) * 2 + bit);
    case 1:
      return static_cast<std::uint8_t>(ledState(0, hidNumber) + bit * 2);
    default:
      showMessageBox(ledNumberMessage, KSTHID_MB_OK);
      return 0;
  }
}

void setLed(std::uint8_t state, std::int16_t ledNumber, std::int16_t hidNumber) {
  kstHID_setLEDState(&state, &ledNumber, &hidNumber);
}

using FirmwareVersion = std::array<std::uint8_t, 9>;

// Response bytes 0 to 7 of the version query; all zero when it was not
// written. False when the HIDnumber names no board.
bool readFirmwareVersion(FirmwareVersion& version, std::int16_t hidNumber) {
  version.fill(0);
  const auto answer = runQuery(hidNumber, commandVersion);
  if (!answer) return false;
  std::copy_n(answer->report.begin(), 8, version.begin());
  return true;
}

std::string versionText(const FirmwareVersion& version) {
  const int year = version[4] * 256 + version[5];
  return "Firmware Version " + std::to_string(version[2]) + "." + std::to_string(version[3]) +
         " - " + std::to_string(year) + "/" + monthName(version[6]) + "/" +
         std::to_string(version[7]);
}

}  // namespace
}  // namespace ksthid

using namespace ksthid;

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_getLEDState(int16_t* ledNumber,
                                                             int16_t* HIDnumber) {
  if (anyNull(ledNumber, HIDnumber)) return 0;
  const auto answer = runQuery(*HIDnumber, commandLeds);
  if (!answer || !answer->written) return 0;
  return ledFromState(answer->report[2], *ledNumber);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_setLEDState(uint8_t* ledState, int16_t* ledNumber,
                                                             int16_t* HIDnumber) {
  if (anyNull(ledState, ledNumber, HIDnumber)) return 1;
  Report report;
  auto target = beginCommand(report, *HIDnumber);
  if (!target) return 1;
  fillCommand(report, commandLeds, directionSet, {});
  report[3] = ledPairWith(*ledState, *ledNumber, *HIDnumber);
  sendCommand(report, *target);
  return 0;
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_indicateSelectedModule(int16_t* HIDnumber) {
  if (anyNull(HIDnumber) || validateHidNumber(*HIDnumber) != 0) return 1;
  // The count is taken afresh each time: a reconnect on the way may change it.
  for (std::int16_t board = 0; static_cast<std::size_t>(board) < libraryState().boardPaths.size();
       ++board) {
    setLed(0, 0, board);
    setLed(0, 1, board);
  }
  setLed(1, 0, *HIDnumber);
  return 0;
}

extern "C" KSTHID_API void KSTHID_CALL kstHID_showVersion(int16_t* HIDnumber) {
  FirmwareVersion version;
  if (anyNull(HIDnumber) || !readFirmwareVersion(version, *HIDnumber)) return;
  showMessageBox(versionText(version), KSTHID_MB_OK);
}

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_getSystemClockFrequency(VARIANT* HIDnumber) {
  const auto board = integerFromVariant(HIDnumber);
  return board ? thousandsOf(queryResponse(*board, commandClocks)[2]) : 0;
}
