// The library's state, one set per calling thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "transport.h"

namespace ksthid {

struct LibraryState {
  // Position in these lists is the board's HIDnumber.
  std::vector<std::string> boardPaths;
  std::vector<Handle> writeHandles;
  std::vector<Handle> readHandles;
  Handle currentWriteHandle = 0;
  Handle currentReadHandle = 0;
  // Created by the first connect that finds a board; never closed.
  Handle readEvent = 0;
  // The one record used by every read.
  ReadRecord readOverlapped;
  SecurityAttributes handleSecurity;
  // Button code of the last Retry/Cancel box.
  std::int16_t lastAnswer = 0;
  // 8-bit address of the I2C transaction in progress.
  std::uint8_t i2cAddress8 = 0;
};

// The calling thread's state, made on its first use. When the thread ends,
// the boards it holds open are closed.
LibraryState& libraryState();

// The transport every exchange goes through: the platform's HID devices,
// followed by the virtual boards that KSTHID_SIMULATE asks for.
Transport& transport();

// Replaces the transport for this process; null restores the default. The
// library state of the calling thread starts afresh.
void useTransport(Transport* replacement);

}  // namespace ksthid
