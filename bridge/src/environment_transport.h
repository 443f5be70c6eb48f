// The transport the environment asks for: the platform's HID devices, then
// the virtual boards of KSTHID_SIMULATE (pulled out after the number of
// reports KSTHID_SIMULATE_UNPLUG_AFTER gives, refusing as many writes as
// KSTHID_SIMULATE_FAIL_WRITES gives first, and pulled and plugged through
// the pipe that KSTHID_SIMULATE_CONTROL names), traced into the file that
// KSTHID_TRACE names.
#pragma once

#include "transport.h"

namespace ksthid {

// Built on first use and kept for the whole process, to its very end.
Transport& environmentTransport();

class VirtualTransport;
// The virtual boards of KSTHID_SIMULATE; null when it asks for none.
VirtualTransport* environmentSimulatedBoards();

}  // namespace ksthid
