#include "eval_window.h"

#include <algorithm>
#include <limits>
#include <variant>

#include "dvr_text.h"

namespace {

constexpr const char* kRangeOrResistors =
    "Yes, Update Output Voltage Range from Resistor Values.\r\n"
    "No, Update Resistor Values from Voltage Range instead.";
constexpr const char* kRsetPromptTitle = "Rset Changed - Update Range from Resistor Values?";
constexpr const char* kAvddPromptTitle = "AVDD Changed - Update Range from Resistor Values?";
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

std::size_t indexOf(CalculatorField field) {
  return static_cast<std::size_t>(field);
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
      counter_(library, hidNumber_) {}

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
  view_.setText(Control::txtTest, "00");
  updateRangeFromResistors();
  if (boardFound_) {
    counter_.park();
  } else {
    showCalculatorOnly();
  }
  view_.setFocus(Control::txtTest);
  if (boards_) {
    boardWatch_ = boards_->watch();
    present_ = boards_->presentBoards();
    numbering_.connected(present_);
    if (const auto path = boardFound_ ? numbering_.pathOf(hidNumber_) : std::nullopt) {
      inUse_ = seen(*path);
      firmware_ = boards_->firmwareVersion(*path);
    }
    showBoards();
  }
  return true;
}

void EvalWindow::boardsChanged() {
  if (!boards_ || !boards_->takeChanges()) return;
  if (callingLibrary_ || sending_) {
    boardsChangedMeanwhile_ = true;
    return;
  }
  followBoards();
}

void EvalWindow::mnuBoard_Click(const std::string& path) {
  if (!boards_) return;
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
    counter_.address(hidNumber_);
    inUse_ = seen(*wanted);
    library_.indicateSelectedModule(hidNumber_);
    counter_.park();
    firmware_ = boards_->firmwareVersion(*wanted);
    if (!boardFound_) showFullLayout();
    boardFound_ = true;
  } else if (inUse_) {
    hidNumber_ = numbering_.numberOf(inUse_->path).value_or(numbering_.noBoard());
    counter_.address(hidNumber_);
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

// The wheel goes back to the controls; nothing else is undone, and no call reaches the board.
void EvalWindow::Form_Unload() {
  view_.unhookMouseWheel();
}

void EvalWindow::field_LostFocus(Control field) {
  switch (field) {
    case Control::txtR1:
    case Control::txtR2:
      updateRangeFromResistors();
      break;
    case Control::txtVoutMax:
    case Control::txtVOutMin:
      if (!rangeAsCalculated()) updateResistorsFromRange();
      break;
    case Control::txtRSET:
      askWhichCalculation(kRsetPromptTitle);
      break;
    case Control::txtAVDD:
      askWhichCalculation(kAvddPromptTitle);
      break;
    default:
      break;
  }
}

// A range the user left as the calculator wrote it holds rounded values: working the resistors
// out from it would turn a standard pair such as 24900 and 39200 into 24898.9 and 39194.1.
bool EvalWindow::rangeAsCalculated() const {
  return std::ranges::all_of(std::array{CalculatorField::txtVoutMax, CalculatorField::txtVOutMin},
                             [&](auto field) {
                               const auto& calculated = calculated_[indexOf(field)];
                               return calculated && !notComputed_.test(indexOf(field)) &&
                                      view_.text(controlOf(field)) == *calculated;
                             });
}

void EvalWindow::askWhichCalculation(const char* title) {
  const MessageBoxRequest prompt{kRangeOrResistors, title, BoxButtons::YesNo, BoxIcon::Question,
                                 BoxAnswer::No};
  if (boxes_.show(prompt) == BoxAnswer::Yes) {
    updateRangeFromResistors();
  } else {
    updateResistorsFromRange();
  }
}

void EvalWindow::cmdCalculate_Click() {
  updateRangeFromResistors();
}

// Runs again for each text it sets, before going on, so that every text it leaves passes.
void EvalWindow::txtTest_Change() {
  const std::string text = view_.text(Control::txtTest);
  if (const auto corrected = dvrTextCorrection(text, hexMode_, numbers_)) {
    view_.setText(Control::txtTest, *corrected);
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
  if (key == DvrKey::Enter) {
    updateResistorsFromRange();
    return;
  }
  const int step = stepOf(key);
  if (step == 0) return;
  view_.setText(Control::txtTest,
                steppedDvrText(view_.text(Control::txtTest), hexMode_, step, numbers_));
  updateResistorsFromRange();
}

// Runs when the selection moves to the other button, so the text is always read in the
// notation it was written in.
void EvalWindow::opDisplayMode_Click(Control option) {
  hexMode_ = option == Control::opDisplayMode_0;
  view_.setText(Control::txtTest,
                convertedDvrText(view_.text(Control::txtTest), hexMode_, numbers_));
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
  sending_ = true;
  int shownLevel = -1;
  const bool sent = counter_.send(target, [&](int done, int inAll) {
    const int level = static_cast<int>(static_cast<long long>(done) * kProgressLevels / inAll);
    if (level == shownLevel) return;
    shownLevel = level;
    view_.showProgress(Control::cmdForceSend, level);
  });
  view_.hideProgress(Control::cmdForceSend);
  sending_ = false;
  return sent;
}

void EvalWindow::cmdWrite_Click() {
  callingLibrary_ = true;
  const bool stored = counter_.store();
  callingLibrary_ = false;
  if (!stored) boxes_.show({kStoreFailed, kAppTitle, BoxButtons::Ok, BoxIcon::Critical});
  afterDeviceCommand(stored);
}

void EvalWindow::btnHelp_Click() {
  showMessage(kHelpText);
}

void EvalWindow::mnuExit_Click() {
  view_.closeWindow();
}

void EvalWindow::showMessage(const std::string& text) {
  boxes_.show({text});
}

WantedRange EvalWindow::wantedRange() const {
  using enum CalculatorField;
  return {.avdd = fieldNumber(txtAVDD),
          .rset = fieldNumber(txtRSET),
          .voutMax = fieldNumber(txtVoutMax),
          .voutMin = fieldNumber(txtVOutMin)};
}

void EvalWindow::useResistors(double r1, double r2) {
  view_.setText(Control::txtR1, numbers_.general(r1));
  view_.setText(Control::txtR2, numbers_.general(r2));
  updateRangeFromResistors();
}

double EvalWindow::fieldNumber(CalculatorField field) const {
  return numbers_.parse(view_.text(controlOf(field)))
      .value_or(std::numeric_limits<double>::quiet_NaN());
}

void EvalWindow::updateResistorsFromRange() {
  apply(model_.updateResistorsFromRange(inputs()));
}

void EvalWindow::updateRangeFromResistors() {
  apply(model_.updateRangeFromResistors(inputs()));
}

CalculatorInputs EvalWindow::inputs() const {
  CalculatorInputs inputs{{}, dvrValue(), hexMode_};
  for (std::size_t i = 0; i < kCalculatorFieldCount; ++i) {
    inputs.texts[i] = view_.text(controlOf(static_cast<CalculatorField>(i)));
  }
  return inputs;
}

void EvalWindow::apply(const CalculatorUpdates& updates) {
  for (const CalculatorUpdate& update : updates) {
    std::visit([this](const auto& step) { apply(step); }, update);
  }
}

void EvalWindow::apply(const ShowMessage& step) {
  showMessage(step.text);
}

void EvalWindow::apply(const WriteField& step) {
  const Control written = controlOf(step.field);
  view_.setText(written, step.text);
  calculated_[indexOf(step.field)] = step.text;
  if (!notComputed_.test(indexOf(step.field))) return;
  notComputed_.reset(indexOf(step.field));
  view_.setToolTip(written, designOf(written).tip);
  view_.setTextColour(written, FieldColour::ButtonText);
}

void EvalWindow::apply(const ColourField& step) {
  view_.setTextColour(controlOf(step.field), step.colour);
}

void EvalWindow::apply(const MarkNotComputed& step) {
  notComputed_.set(indexOf(step.field));
  const Control marked = controlOf(step.field);
  view_.setToolTip(marked, std::string(designOf(marked).tip) + "\nNot computed: " + step.reason +
                               ". This number is left from an earlier calculation.");
  view_.setTextColour(marked, FieldColour::Red);
}

void EvalWindow::apply(const ShowDvrNotation& step) {
  showNotation(step.hexMode);
}

// The one place that writes the label's caption.
void EvalWindow::showNotation(bool hexMode) {
  view_.setText(Control::lblDVR2, dvrNotationCaption(hexMode));
}

void EvalWindow::apply(const MoveReadout& step) {
  view_.setTop(Control::txtVOUT, step.readoutTopTwips);
  view_.setTop(Control::lblVCOM, step.readoutTopTwips);
  view_.setTop(Control::Line4, step.pointerYTwips);
}
