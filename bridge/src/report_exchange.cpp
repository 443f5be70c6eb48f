#include "report_exchange.h"

#include <string>

#include "connection.h"
#include "message_box.h"

namespace ksthid {

void drainInput(Board& board) {
  board.drain();
}

bool writeRequest(Board& board, const Report& report) {
  return board.send(report) == 0;
}

std::int16_t readResponse(Board& board, Report& report) {
  report.fill(0);
  if (board.receive(report) != 0) return kXferReadFailed;
  return report[kStatusByte] == kStatusDone ? kXferOk : kXferDeviceError;
}

int reportTransferError(std::int16_t result, std::int16_t quiet) {
  switch (result) {
    case kXferDeviceError:
      if (quiet != 0) return 0;
      return showMessageBox(
          "Invalid I2C address. Press Retry to return to GUI and enter valid address or Cancel.",
          KSTHID_MB_RETRYCANCEL);
    case kXferReadFailed:
    case kXferWriteFailed:
      return askToReconnect(std::string("Please check USB connection.\r\nUSB ") +
                            (result == kXferReadFailed ? "ReadFile" : "WriteFile") + " error.");
    default:
      return 0;
  }
}

}  // namespace ksthid
