// The library's state, one set per calling thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "board.h"
#include "transport.h"

namespace ksthid {

struct LibraryState {
  // Position in these lists is the board's HIDnumber.
  std::vector<std::string> boardPaths;
  // Empty where the platform does not tell.
  std::vector<std::string> boardSerials;
  // Each board opened, as a handle of the C API would hold it; null for a
  // known board that could not be opened again, whose writes fail. Empty
  // after closeHandles.
  std::vector<std::unique_ptr<Board>> boardHandles;
};

// The calling thread's state, made on its first use. When the thread ends,
// the boards it holds open are closed.
LibraryState& libraryState();

// The transport every exchange goes through: the one the environment asks
// for, unless a replacement is in use.
Transport& transport();

// Replaces the transport for this process; null restores the default. The
// library state of the calling thread starts afresh.
void useTransport(Transport* replacement);

}  // namespace ksthid
