#include "report_exchange.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "ksthid.h"
#include "library_state.h"
#include "message_box.h"

namespace ksthid {
namespace {

constexpr std::chrono::milliseconds kResponseWait{6000};
constexpr std::chrono::milliseconds kDrainWait{1};
// Before each request at most 64 reports that the board has already sent
// are read and discarded, as many as the platform queues for a device; a
// board that keeps sending beyond them cannot hold the command in its drain.
// The packet trace shows each discarded report as an R line.
constexpr int kMaxStaleReports = 64;

// A missing handle (a board that could not be opened again) reads nothing.
ReadResult readFromCurrentBoard(Report& report, std::chrono::milliseconds wait) {
  DeviceHandle* board = libraryState().currentBoard;
  return board ? board->read(report, wait) : ReadResult::failed;
}

std::int16_t askUsbRetry(const char* failedCall) {
  const std::string text =
      std::string("Please check USB connection.\r\nUSB ") + failedCall + " error.";
  return static_cast<std::int16_t>(showMessageBox(text, KSTHID_MB_RETRYCANCEL));
}

}  // namespace

void clearReport(Report& report, std::uint8_t lastIndex, std::uint8_t value) {
  std::fill_n(report.begin(), std::min<std::size_t>(lastIndex + 1u, kReportLength), value);
}

bool selectBoard(std::int16_t hidNumber) {
  LibraryState& state = libraryState();
  if (hidNumber < 0 || static_cast<std::size_t>(hidNumber) >= state.boardHandles.size()) {
    return false;
  }
  state.currentBoard = state.boardHandles[static_cast<std::size_t>(hidNumber)].get();
  return true;
}

void drainInput(Report& report, std::uint8_t /*lastIndex: always a whole report*/) {
  for (int drained = 0;
       drained < kMaxStaleReports && readFromCurrentBoard(report, kDrainWait) == ReadResult::report;
       ++drained) {
  }
}

bool writeRequest(const Report& report) {
  DeviceHandle* board = libraryState().currentBoard;
  return board && board->write(report);
}

std::int16_t readResponse(Report& report, std::int16_t hidNumber) {
  clearReport(report, kLastReportIndex, 0);
  if (!selectBoard(hidNumber)) return kXferReadFailed;
  if (readFromCurrentBoard(report, kResponseWait) != ReadResult::report) return kXferReadFailed;
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
