// The procedures every exchange of the HIDnumber exports is built from: the
// steps on the exchange's Board, and the boxes for their failures.
#pragma once

#include <cstdint>

#include "board.h"
#include "protocol.h"

namespace ksthid {

// Reads and discards every report the board has already sent, waiting 1 ms
// for them.
void drainInput(Board& board);

// Writes a request; false when it did not leave the host.
bool writeRequest(Board& board, const Report& report);

// Reads one response: kXferOk when its status byte is 0, kXferDeviceError
// when not, kXferReadFailed, with the report all zero, when none came in time
// (6000 ms).
std::int16_t readResponse(Board& board, Report& report);

// Shows the box that belongs to a transfer result; the button that closed
// it, or 0 when none was shown. Retry after a USB failure has reconnected
// every board.
int reportTransferError(std::int16_t result, std::int16_t quiet);

}  // namespace ksthid
