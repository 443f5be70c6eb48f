#include "eval_window.h"

#include <algorithm>

#include "dvr_text.h"

namespace {

constexpr const char* kHelpText =
    "EEPROM value is loaded to register on power-up.\r\n"
    "Please set CE pin to high to enable counter interface.\r\n"
    "Hover pointer over each field for explanations.";
constexpr const char* kSendFailed =
    "Sending failed: the board did not take a command.\r\n"
    "The register's value is now unknown. Press \"Send Value to Register\" again once the board "
    "answers.";
constexpr const char* kStoreFailed =
    "Writing the EEPROM failed: the board did not take a command.\r\n"
    "Press \"Write EEPROM\" again once the board answers.";

// A caret after the second digit lets a third one be typed at once.
constexpr std::size_t kHexCaretPosition = 2;

int stepOf(DvrKey key) {
  switch (key) {
    case DvrKey::Up:
      return 1;
    case DvrKey::Down:
      return -1;
    case DvrKey::PageUp:
      return 16;
    case DvrKey::PageDown:
      return -16;
    case DvrKey::Enter:
    case DvrKey::Other:
      break;
  }
  return 0;
}

}  // namespace

EvalWindow::EvalWindow(WindowView& view, BridgeLibrary& library, MessageBoxes& boxes,
                       const NumberText& numbers, BoardDirectory* boards)
    : view_(view),
      library_(library),
      boxes_(boxes),
      numbers_(numbers),
      model_(numbers),
      boards_(boards),
      pins_(library, hidNumber_),
      counter_(pins_) {}

bool EvalWindow::Form_Load() {
  const auto boards = library_.connect();
  if (!boards) {
    boxes_.show({library_.bindingError(), kAppTitle, BoxButtons::Ok, BoxIcon::Critical});
    return false;
  }
  boardFound_ = *boards != 0;
  if (boardFound_) library_.indicateSelectedModule(hidNumber_);
  hexMode_ = true;
  view_.hookMouseWheel();
  setDvrText("00");
  updateRangeFromResistors();
  if (boardFound_) {
    counter_.park();
  } else {
    showCalculatorOnly();
  }
  view_.setFocus(Control::txtTest);
  if (boards_) {
    boards_->watch([this] { view_.postBoardsChanged(); });
    present_ = boards_->presentBoards();
    if (const auto path = boardFound_ ? library_.pathOf(hidNumber_) : std::nullopt) {
      inUse_ = seen(*path);
      firmware_ = boards_->firmwareVersion(*path);
    }
    showBoards();
  }
  return true;
}

EvalWindow::~EvalWindow() {
  if (boards_) boards_->stopWatching();
}

// The wheel goes back to the controls; nothing else is undone, and no call reaches the board.
void EvalWindow::Form_Unload() {
  view_.unhookMouseWheel();
  if (boards_) boards_->stopWatching();
}

// Runs again for each text it sets, before going on, so that every text it leaves passes.
void EvalWindow::txtTest_Change() {
  if (settingDvrText_) return;
  const std::string text = view_.text(Control::txtTest);
  if (const auto corrected = dvrTextCorrection(text, hexMode_, numbers_)) {
    setDvrText(*corrected);
    return;
  }
  if (hexMode_) view_.setCaret(Control::txtTest, std::min(kHexCaretPosition, text.size()));
}

char16_t EvalWindow::txtTest_KeyPress(char16_t typed) const {
  return hexMode_ ? filterHexKey(typed) : filterDecimalKey(typed);
}

std::optional<std::string> EvalWindow::txtTest_Paste(const std::string& text) const {
  if (!hexMode_) return text;
  return acceptedHexText(text);
}

void EvalWindow::txtTest_KeyDown(DvrKey key) {
  if (!takesInput()) return;
  if (key == DvrKey::Enter) {
    updateResistorsFromRange();
    return;
  }
  const int step = stepOf(key);
  if (step == 0) return;
  setDvrText(steppedDvrText(view_.text(Control::txtTest), hexMode_, step, numbers_));
  updateResistorsFromRange();
}

// Runs when the selection moves to the other button, so the text is always read in the
// notation it was written in.
void EvalWindow::opDisplayMode_Click(Control option) {
  if (!takesInput()) return;
  hexMode_ = option == Control::opDisplayMode_0;
  setDvrText(convertedDvrText(view_.text(Control::txtTest), hexMode_, numbers_));
  showNotation(hexMode_);
}

void EvalWindow::MouseWheelRolled(int rotation) {
  if (rotation > 0) txtTest_KeyDown(DvrKey::Down);
  if (rotation < 0) txtTest_KeyDown(DvrKey::Up);
}

int EvalWindow::dvrValue() const {
  return readDvrValue(view_.text(Control::txtTest), hexMode_, numbers_);
}

void EvalWindow::cmdForceSend_Click() {
  if (!takesInput()) return;
  view_.setText(Control::cmdForceSend, kSendingCaption);
  const int target = dvrValue();
  showMessage(kClickToSend);
  const bool sent = sendWithProgress(target);
  view_.setText(Control::cmdForceSend, kSendCaption);
  if (sent) {
    showMessage(kSendComplete);
  } else {
    boxes_.show({kSendFailed, kAppTitle, BoxButtons::Ok, BoxIcon::Critical});
  }
  afterDeviceCommand(sent);
}

// The library's state belongs to this thread, so the train runs here; the view paints when the
// bar along the button grows, and the window takes no input until the train has ended.
bool EvalWindow::sendWithProgress(int target) {
  commandUnderWay_ = true;
  int shownLevel = -1;
  const bool sent = counter_.send(target, [&](int done, int inAll) {
    const int level = static_cast<int>(static_cast<long long>(done) * kProgressLevels / inAll);
    if (level != shownLevel) view_.showProgress(Control::cmdForceSend, level);
    shownLevel = level;
    return true;
  }) == CounterInterface::End::done;
  view_.hideProgress(Control::cmdForceSend);
  commandUnderWay_ = false;
  return sent;
}

void EvalWindow::cmdWrite_Click() {
  if (!takesInput()) return;
  commandUnderWay_ = true;
  const bool stored = counter_.store() == CounterInterface::End::done;
  commandUnderWay_ = false;
  if (!stored) boxes_.show({kStoreFailed, kAppTitle, BoxButtons::Ok, BoxIcon::Critical});
  afterDeviceCommand(stored);
}

void EvalWindow::btnHelp_Click() {
  if (!takesInput()) return;
  showMessage(kHelpText);
}

void EvalWindow::mnuExit_Click() {
  if (!takesInput()) return;
  view_.closeWindow();
}

void EvalWindow::showMessage(const std::string& text) {
  boxes_.show({text});
}

// The one place that writes the label's caption.
void EvalWindow::showNotation(bool hexMode) {
  view_.setText(Control::lblDVR2, dvrNotationCaption(hexMode));
}

// The change rules run here for the text set, whenever the toolkit tells of the change.
void EvalWindow::setDvrText(const std::string& text) {
  settingDvrText_ = true;
  view_.setText(Control::txtTest, text);
  settingDvrText_ = false;
  txtTest_Change();
}
