#include <algorithm>

#include "eval_window.h"

void EvalWindow::boardsChanged() {
  if (!boards_ || !boards_->takeChanges()) return;
  if (callingLibrary_ || sending_) {
    boardsChangedMeanwhile_ = true;
    return;
  }
  followBoards();
}

void EvalWindow::mnuBoard_Click(const std::string& path) {
  if (!boards_ || !takesInput()) return;
  useBoard(path);
  followBoards();
}

// A board that comes back, and the numbering after a box whose Retry may have connected again,
// are settled by connecting once more: the library and the window then agree on every number.
void EvalWindow::followBoards() {
  do {
    boardsChangedMeanwhile_ = false;
    const bool wasPresent = inUse_ && isPresent(inUse_->path);
    lookAtBoards();
    const bool anyUsable =
        std::any_of(present_.begin(), present_.end(),
                    [](const PresentBoard& board) { return board.error.empty(); });
    if (!boardFound_) {
      if (anyUsable) useBoard(std::nullopt);
    } else if (inUse_ && (numberingUncertain_ || (!wasPresent && isPresent(inUse_->path)))) {
      useBoard(inUse_->path);
    }
  } while (boardsChangedMeanwhile_);
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
// that cannot be had leaves the buttons on the board in use, or on no board when that has gone.
void EvalWindow::useBoard(const std::optional<std::string>& path) {
  callingLibrary_ = true;
  library_.connect();
  lookAtBoards();
  numbering_.connected(present_);
  numberingUncertain_ = false;
  const std::optional<std::string> wanted = path ? path : numbering_.pathOf(0);
  if (const auto number = wanted ? numbering_.numberOf(*wanted) : std::nullopt) {
    hidNumber_ = *number;
    pins_.address(hidNumber_);
    counter_.portChanged();
    inUse_ = seen(*wanted);
    library_.indicateSelectedModule(hidNumber_);
    counter_.park();
    firmware_ = boards_->firmwareVersion(*wanted);
    if (!boardFound_) showFullLayout();
    boardFound_ = true;
  } else if (inUse_) {
    hidNumber_ = numbering_.numberOf(inUse_->path).value_or(numbering_.noBoard());
    pins_.address(hidNumber_);
    counter_.portChanged();
  }
  callingLibrary_ = false;
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

// A refused command may have been answered with Retry, which connects again inside the library.
void EvalWindow::afterDeviceCommand(bool taken) {
  if (!boards_) return;
  numberingUncertain_ = numberingUncertain_ || !taken;
  if (numberingUncertain_ || boardsChangedMeanwhile_) followBoards();
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
