#include "report_exchange.h"

#include <string>

#include "ksthid.h"
#include "library_state.h"
#include "message_box.h"

namespace ksthid {
namespace {

std::int16_t askUsbRetry(const char* failedCall) {
  const std::string text =
      std::string("Please check USB connection.\r\nUSB ") + failedCall + " error.";
  return static_cast<std::int16_t>(showMessageBox(text, KSTHID_MB_RETRYCANCEL));
}

}  // namespace

bool selectBoard(std::int16_t hidNumber) {
  LibraryState& state = libraryState();
  if (hidNumber < 0 || static_cast<std::size_t>(hidNumber) >= state.boardHandles.size()) {
    return false;
  }
  state.currentBoard = state.boardHandles[static_cast<std::size_t>(hidNumber)].get();
  return true;
}

// A missing board (one that could not be opened again) takes no request and
// sends nothing.
void drainInput(Report& /*report*/, std::uint8_t /*lastIndex: always a whole report*/) {
  if (Board* board = libraryState().currentBoard) board->drain();
}

bool writeRequest(const Report& report) {
  Board* board = libraryState().currentBoard;
  return board && board->send(report) == 0;
}

std::int16_t readResponse(Report& report, std::int16_t hidNumber) {
  report.fill(0);
  if (!selectBoard(hidNumber)) return kXferReadFailed;
  Board* board = libraryState().currentBoard;
  if (!board || board->receive(report) != 0) return kXferReadFailed;
  return report[kStatusByte] == kStatusDone ? kXferOk : kXferDeviceError;
}

std::int16_t reportTransferError(std::int16_t result, std::int16_t quiet) {
  LibraryState& state = libraryState();
  switch (result) {
    case kXferDeviceError:
      if (quiet != 0) return 0;
      state.lastAnswer = static_cast<std::int16_t>(showMessageBox(
          "Invalid I2C address. Press Retry to return to GUI and enter valid address or Cancel.",
          KSTHID_MB_RETRYCANCEL));
      return state.lastAnswer;
    case kXferReadFailed:
    case kXferWriteFailed:
      state.lastAnswer = askUsbRetry(result == kXferReadFailed ? "ReadFile" : "WriteFile");
      if (state.lastAnswer == KSTHID_IDRETRY) kstHID_connect();
      return state.lastAnswer;
    default:
      return 0;
  }
}

}  // namespace ksthid
