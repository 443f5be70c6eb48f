#include "report_exchange.h"

#include <algorithm>
#include <string>

#include "ksthid.h"
#include "library_state.h"
#include "message_box.h"

namespace ksthid {
namespace {

// Starts a read of one report on the current board and waits for it; the
// event is left reset and no read is left pending.
bool readReport(Report& report, std::uint32_t waitMs) {
  LibraryState& state = libraryState();
  Transport& platform = transport();
  platform.startRead(state.currentReadHandle, report, state.readOverlapped);
  const bool signalled = platform.waitForRead(state.readEvent, waitMs) == WaitResult::signalled;
  platform.resetReadEvent(state.readEvent);
  if (!signalled) platform.cancelRead(state.currentReadHandle);
  return signalled;
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
  if (hidNumber < 0 || static_cast<std::size_t>(hidNumber) >= state.writeHandles.size()) {
    return false;
  }
  state.currentWriteHandle = state.writeHandles[static_cast<std::size_t>(hidNumber)];
  state.currentReadHandle = state.readHandles[static_cast<std::size_t>(hidNumber)];
  return true;
}

void drainInput(Report& report, std::uint8_t /*lastIndex: always a whole report*/) {
  while (readReport(report, kDrainWaitMs)) {
  }
}

std::int16_t readResponse(Report& report, std::int16_t hidNumber) {
  clearReport(report, kLastReportIndex, 0);
  if (!selectBoard(hidNumber)) return kXferReadFailed;
  if (!readReport(report, kResponseWaitMs)) {
    // A read that completed between the time-out and its cancellation is
    // as late as one that never came.
    clearReport(report, kLastReportIndex, 0);
    return kXferReadFailed;
  }
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
