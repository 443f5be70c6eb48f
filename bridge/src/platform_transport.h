// The transport to the HID devices of the platform the library runs on.
#pragma once

#include <memory>

#include "transport.h"

namespace ksthid {

std::unique_ptr<Transport> makePlatformTransport();

}  // namespace ksthid
