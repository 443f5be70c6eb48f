// The exit statuses both tools document, so that a script can tell what went wrong.
#pragma once

namespace tools {

enum class ExitStatus {
  success = 0,
  // Bad arguments: nothing was sent to a board.
  usage = 2,
  // The board asked for is not attached, or cannot be opened: the system refuses this user, or the
  // kernel driver owns it.
  noSuchBoard = 3,
  // The board took the request but a device refused it: an I2C device that did not acknowledge,
  // a data line held low.
  deviceRefused = 4,
  // A report could not be written or its answer did not come.
  usbFailure = 5,
};

// The more serious of two outcomes.
constexpr ExitStatus worse(ExitStatus a, ExitStatus b) {
  return static_cast<int>(a) >= static_cast<int>(b) ? a : b;
}

}  // namespace tools
