// The procedures every exchange of the HIDnumber exports is built from: the
// steps of the calling thread's current Board, and the boxes for their
// failures.
#pragma once

#include <cstdint>

#include "protocol.h"

namespace ksthid {

// Makes the board's handles the current ones. False, selecting nothing, when
// the board has no open handles (closed, or gone in a reconnect).
bool selectBoard(std::int16_t hidNumber);

// Reads and discards every report the current board has already sent,
// waiting 1 ms for them.
void drainInput(Report& report, std::uint8_t lastIndex);

// Writes a request to the current board; false when it did not leave the
// host, or the board has no open handle.
bool writeRequest(const Report& report);

// Reads one response of the board: kXferOk when its status byte is 0,
// kXferDeviceError when not, kXferReadFailed, with the report all zero, when
// none came in time (6000 ms).
std::int16_t readResponse(Report& report, std::int16_t hidNumber);

// Shows the box that belongs to a transfer result; the button that closed
// it, or 0 when none was shown.
std::int16_t reportTransferError(std::int16_t result, std::int16_t quiet);

}  // namespace ksthid
