#include "board_numbering.h"

#include <algorithm>

namespace {

bool hasPath(const std::vector<PresentBoard>& boards, const std::string& path) {
  return std::any_of(boards.begin(), boards.end(),
                     [&](const PresentBoard& board) { return board.path == path; });
}

std::string identity(const PresentBoard& board) {
  return board.path + " (serial " + (board.serial.empty() ? "none" : board.serial);
}

}  // namespace

void BoardNumbering::connected(const std::vector<PresentBoard>& present) {
  std::erase_if(paths_, [&](const std::string& path) { return !hasPath(present, path); });
  for (const PresentBoard& board : present) {
    if (board.error.empty() && std::find(paths_.begin(), paths_.end(), board.path) == paths_.end())
      paths_.push_back(board.path);
  }
}

std::optional<std::int16_t> BoardNumbering::numberOf(const std::string& path) const {
  const auto found = std::find(paths_.begin(), paths_.end(), path);
  if (found == paths_.end()) return std::nullopt;
  return static_cast<std::int16_t>(found - paths_.begin());
}

std::optional<std::string> BoardNumbering::pathOf(std::int16_t hidNumber) const {
  if (hidNumber < 0 || static_cast<std::size_t>(hidNumber) >= paths_.size()) return std::nullopt;
  return paths_[static_cast<std::size_t>(hidNumber)];
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
