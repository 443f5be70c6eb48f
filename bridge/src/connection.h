// Finding and opening the boards, and the checks every command makes.
#pragma once

#include <cstdint>

namespace ksthid {

// 0 when HIDnumber names an open board; otherwise shows "Invalid HID Number: "
// and returns 1. Wide enough for any number a caller's variant holds.
std::int16_t validateHidNumber(std::int64_t hidNumber);

// kXferOk for a non-zero value (a written report); for 0, shows the connection
// box, reconnects every board on Retry, and returns 0.
std::int16_t checkStatus(std::int32_t value);

}  // namespace ksthid
