// Finding and opening the boards, and the checks every command makes.
#pragma once

#include <cstdint>
#include <string>

namespace ksthid {

// Closes the calling thread's boards, keeping their paths, then opens every
// bridge present: the known boards keep their HIDnumbers, new ones come
// after them. The number of boards open.
std::int16_t connectBoards();

// Closes every board's handles; the paths stay for the next connectBoards.
void closeHandles();

// 0 when HIDnumber names an open board; otherwise shows "Invalid HID Number: "
// and returns 1. Wide enough for any number a caller's variant holds.
std::int16_t validateHidNumber(std::int64_t hidNumber);

// The path of the board that HIDnumber names in the calling thread; null when it
// names none. Valid until the thread's next connect.
const std::string* pathOfHidNumber(std::int64_t hidNumber);

// The one Retry/Cancel box of a USB failure: shows `text` and, on Retry,
// reconnects every board, after which the boards may be renumbered and each
// Board of the calling thread is a new one. The button that closed it.
int askToReconnect(const std::string& text);

// kXferOk for a non-zero value (a written report); for 0, shows the connection
// box, reconnects every board on Retry, and returns 0.
std::int16_t checkStatus(std::int32_t value);

}  // namespace ksthid
