#pragma once

// The boards as the window shows them: the status line, the entries of File > Board, and the
// board in use found again when it comes back.

#include <optional>
#include <string>
#include <vector>

#include "board_directory.h"

// Where a board known before is present again: at its path, or, plugged back while its old node
// was still held open, at the new path that carries its serial number.
std::optional<PresentBoard> foundAgain(const std::vector<PresentBoard>& present,
                                       const PresentBoard& known);

// One board of File > Board.
struct BoardMenuEntry {
  std::string path;
  std::string caption;
  bool checked = false;
  bool operator==(const BoardMenuEntry&) const = default;
};

inline constexpr const char* kNoBoardStatus = "No board: plug one in";

// The board the device buttons address, as the status line tells it.
struct BoardInUse {
  PresentBoard board;
  bool present = true;
  std::optional<FirmwareVersion> firmware;
};

// The status line: the board in use, or else why there is none.
std::string boardStatusText(const std::optional<BoardInUse>& inUse,
                            const std::vector<PresentBoard>& present);
// "sim:0 (serial VB100000)"; the board in use checked.
std::vector<BoardMenuEntry> boardMenuEntries(const std::vector<PresentBoard>& present,
                                             const std::optional<std::string>& inUse);
// File > Board offers a choice only between two boards or more.
inline bool boardMenuEnabled(const std::vector<PresentBoard>& present) {
  return present.size() > 1;
}
