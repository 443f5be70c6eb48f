#include <algorithm>

#include "eval_window.h"

namespace {

// The HIDnumber that the library gives the board at `path`; empty when it gives none.
std::optional<std::int16_t> hidNumberOf(BridgeLibrary& library, const std::string& path) {
  for (std::int16_t number = 0; const auto numbered = library.pathOf(number); ++number) {
    if (*numbered == path) return number;
  }
  return std::nullopt;
}

// The first number that names no board: the library refuses it without sending anything.
std::int16_t noBoard(BridgeLibrary& library) {
  std::int16_t number = 0;
  while (library.pathOf(number)) ++number;
  return number;
}

}  // namespace

// The news is taken at once, so that the watch does not stay readable while the command runs.
void EvalWindow::boardsChanged() {
  if (!boards_ || !boards_->takeChanges() || !takesInput()) return;
  followBoards();
}

void EvalWindow::mnuBoard_Click(const std::string& path) {
  if (!boards_ || !takesInput()) return;
  useBoard(path);
  followBoards();
}

// A board that comes back, or the board in use after a command it refused (it may have gone and
// come back meanwhile), is connected again; the library then says which number it has.
void EvalWindow::followBoards(bool refused) {
  const bool wasPresent = inUse_ && isPresent(inUse_->path);
  lookAtBoards();
  const bool anyUsable = std::any_of(present_.begin(), present_.end(),
                                     [](const PresentBoard& board) { return board.error.empty(); });
  if (!boardFound_) {
    if (anyUsable) useBoard(std::nullopt);
  } else if (inUse_ && isPresent(inUse_->path) && (refused || !wasPresent)) {
    useBoard(inUse_->path);
  }
  if (boardFound_ && inUse_) addressBoardInUse();
  showBoards();
}

// The board in use keeps what was last seen of it while it is away, and is followed to the path
// it comes back at.
void EvalWindow::lookAtBoards() {
  present_ = boards_->presentBoards();
  if (!inUse_) return;
  if (auto again = foundAgain(present_, *inUse_)) inUse_ = std::move(again);
}

PresentBoard EvalWindow::seen(const std::string& path) const {
  const auto found = std::find_if(present_.begin(), present_.end(),
                                  [&](const PresentBoard& board) { return board.path == path; });
  return found != present_.end() ? *found : PresentBoard{path, {}, {}};
}

// Connects as start-up does and addresses `path`, or the first board when none is named. A board
// that cannot be had leaves the buttons where they were; addressBoardInUse settles them.
void EvalWindow::useBoard(const std::optional<std::string>& path) {
  commandUnderWay_ = true;
  library_.connect();
  lookAtBoards();
  const std::optional<std::string> wanted = path ? path : library_.pathOf(0);
  if (const auto number = wanted ? hidNumberOf(library_, *wanted) : std::nullopt) {
    address(*number);
    inUse_ = seen(*wanted);
    library_.indicateSelectedModule(hidNumber_);
    counter_.park();
    firmware_ = boards_->firmwareVersion(*wanted);
    if (!boardFound_) showFullLayout();
    boardFound_ = true;
  }
  commandUnderWay_ = false;
  // Boards that came or went while a box of the library was open.
  lookAtBoards();
}

void EvalWindow::address(std::int16_t hidNumber) {
  if (hidNumber == hidNumber_) return;
  hidNumber_ = hidNumber;
  pins_.address(hidNumber_);
  counter_.portChanged();
}

// The library numbers the boards at every connect, its own after a Retry in its box included: the
// board in use has the number it gives, or, when it gives none, one that names no board.
void EvalWindow::addressBoardInUse() {
  address(hidNumberOf(library_, inUse_->path).value_or(noBoard(library_)));
}

bool EvalWindow::isPresent(const std::string& path) const {
  return std::any_of(present_.begin(), present_.end(),
                     [&](const PresentBoard& board) { return board.path == path; });
}

void EvalWindow::showBoards() {
  std::optional<BoardInUse> inUse;
  if (inUse_) inUse = BoardInUse{*inUse_, isPresent(inUse_->path), firmware_};
  view_.showBoardStatus(boardStatusText(inUse, present_));
  view_.showBoardMenu(
      boardMenuEntries(present_, inUse_ ? std::optional(inUse_->path) : std::nullopt),
      boardMenuEnabled(present_));
}

// Boards that came or went during the command are looked at now; a refused command may have been
// answered with Retry, which connects again inside the library.
void EvalWindow::afterDeviceCommand(bool taken) {
  if (boards_) followBoards(!taken);
}

void EvalWindow::showFullLayout() {
  view_.show(Control::cmdForceSend);
  view_.show(Control::cmdWrite);
  view_.setWindowDesignHeight();
  view_.setHeight(Control::fraCalculator, designOf(Control::fraCalculator).box.height);
  view_.setTop(Control::imgKestroLogo, designOf(Control::imgKestroLogo).box.top);
  view_.setTop(Control::btnHelp, designOf(Control::btnHelp).box.top);
}

void EvalWindow::showCalculatorOnly() {
  view_.hide(Control::cmdForceSend);
  view_.hide(Control::cmdWrite);
  view_.setWindowOuterHeight(kCalculatorOnlyOuterHeight);
  view_.setHeight(Control::fraCalculator, kCalculatorOnlyFrameHeight);
  view_.setTop(Control::imgKestroLogo, kCalculatorOnlyBottomRowTop);
  view_.setTop(Control::btnHelp, kCalculatorOnlyBottomRowTop);
}
