#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "board_directory.h"

// Where a board known before is present again: at its path, or, plugged back while its old node
// was still held open, at the new path that carries its serial number.
std::optional<PresentBoard> foundAgain(const std::vector<PresentBoard>& present,
                                       const PresentBoard& known);

// The HIDnumbers that the library's connect gives, followed from the window's side: boards known
// before keep their order, those that have gone are dropped and those behind them move up, new
// boards that can be opened come last in the order in which they are present.
class BoardNumbering {
 public:
  // The library has connected while `present` were there.
  void connected(const std::vector<PresentBoard>& present);
  std::optional<std::int16_t> numberOf(const std::string& path) const;
  std::optional<std::string> pathOf(std::int16_t hidNumber) const;
  // A number that names no board: the library refuses it without sending anything.
  std::int16_t noBoard() const { return static_cast<std::int16_t>(numbered_.size()); }

 private:
  std::vector<PresentBoard> numbered_;
};

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
