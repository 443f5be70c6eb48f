#include "board_status.h"

#include <algorithm>
#include <functional>

namespace {

std::string identity(const PresentBoard& board) {
  return board.path + " (serial " + (board.serial.empty() ? "none" : board.serial);
}

std::optional<PresentBoard> firstWhere(const std::vector<PresentBoard>& boards,
                                       const std::function<bool(const PresentBoard&)>& wanted) {
  const auto found = std::find_if(boards.begin(), boards.end(), wanted);
  return found == boards.end() ? std::nullopt : std::optional(*found);
}

}  // namespace

std::optional<PresentBoard> foundAgain(const std::vector<PresentBoard>& present,
                                       const PresentBoard& known) {
  if (auto samePath =
          firstWhere(present, [&](const auto& board) { return board.path == known.path; }))
    return samePath;
  if (known.serial.empty()) return std::nullopt;
  return firstWhere(present, [&](const auto& board) { return board.serial == known.serial; });
}

std::string boardStatusText(const std::optional<BoardInUse>& inUse,
                            const std::vector<PresentBoard>& present) {
  if (!inUse) {
    const auto unusable =
        std::find_if(present.begin(), present.end(),
                     [](const PresentBoard& board) { return !board.error.empty(); });
    if (unusable == present.end()) return kNoBoardStatus;
    return "Board " + unusable->path + " cannot be opened: " + unusable->error;
  }
  const std::string board = "Board " + identity(inUse->board);
  if (!inUse->present) return board + ") pulled out: plug it back in";
  if (!inUse->firmware) return board + ", firmware unknown)";
  return board + ", firmware " + std::to_string(inUse->firmware->major) + '.' +
         std::to_string(inUse->firmware->minor) + ')';
}

std::vector<BoardMenuEntry> boardMenuEntries(const std::vector<PresentBoard>& present,
                                             const std::optional<std::string>& inUse) {
  std::vector<BoardMenuEntry> entries;
  for (const PresentBoard& board : present) {
    entries.push_back({board.path, identity(board) + ')', board.path == inUse});
  }
  return entries;
}
