#pragma once

// The window frmMain's rules without a toolkit: everything the window decides that is not
// drawing. A front end creates its controls from the layout table (window_layout.h), implements
// WindowView over them, and passes each event in by the handler named after the control and
// event of the design (cmdForceSend_Click, txtTest_KeyDown, ...). EvalWindow carries out the
// start-up, the calculator, the DVR entry's rules, the send and store, the help box and the
// prompts, through the view, the library and the boxes. Everything runs on the window's thread;
// boxes are modal, and a handler returns when all its effects are done. While a pulse train runs,
// the handlers of the user's input do nothing (see takesInput).
//
// Texts are UTF-8 std::string throughout.

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>

#include "board_directory.h"
#include "board_status.h"
#include "bridge_library.h"
#include "calculator_update.h"
#include "counter_interface.h"
#include "divider_model.h"
#include "dvr_keys.h"
#include "hid_number_gpio_port.h"
#include "message_boxes.h"
#include "number_text.h"
#include "standard_resistors.h"
#include "window_layout.h"
#include "window_view.h"

// The send's progress bar has this many levels: the view repaints at most this often.
inline constexpr int kProgressLevels = 32;

// The box texts and captions of the window, for front ends and tests that look for them.
inline constexpr const char* kSendCaption = "Send Value to Register";
inline constexpr const char* kSendingCaption = "Sending... Please Wait";
inline constexpr const char* kClickToSend = "Click to Send";
inline constexpr const char* kSendComplete = "Send Complete";

class EvalWindow {
 public:
  // The view, library, boxes, numbers and boards must outlive the window rules. `numbers` reads
  // and writes the number fields and the decimal DVR text. With `boards` the window follows the
  // boards that come and go, tells in the view's status line which one the device buttons
  // address and offers the others in File > Board; without, it knows only what start-up found.
  EvalWindow(WindowView& view, BridgeLibrary& library, MessageBoxes& boxes,
             const NumberText& numbers, BoardDirectory* boards = nullptr);

  // Start-up, before the window is shown: connects to the boards, lights board 0's module
  // indicator, hooks the wheel, sets the DVR field to "00", calculates the range from the
  // resistors, then parks the counter interface (a board) or turns to the calculator-only layout
  // (no board), and puts the focus on txtTest. False, after an error box naming what failed,
  // when the library cannot be used: the window must not be shown and the program ends.
  bool Form_Load();
  // No news of boards reaches the view any more.
  ~EvalWindow();
  // The user asks the window to close (its close box, Alt+F4): whether it may.
  bool Form_QueryUnload() const { return takesInput(); }
  // The window closes (its close box, or File > Exit): unhooks the wheel and stops telling the view
  // of boards. No library call.
  void Form_Unload();
  bool boardFound() const { return boardFound_; }

  // A board came or went. In the calculator-only layout the first board to come is connected,
  // parked as at start-up and the full layout shown; the board in use that comes back is
  // connected and parked again. While a device command is under way (a pulse train, a store, a
  // connect; a box of the library may be open) nothing is done: the command keeps its HIDnumber,
  // and the boards are looked at again once it has ended.
  void boardsChanged();
  // File > Board: the device buttons address this board from now on; its indicator lights.
  void mnuBoard_Click(const std::string& path);

  // The focus left a text box for another control of the window (not for a box or a menu):
  // the calculation or prompt bound to that field, if any.
  void field_LostFocus(Control field);
  void cmdCalculate_Click();

  // After a change of txtTest's text, typed, pasted or set: the change rules. The rules run them
  // themselves for each text they set, and ignore the toolkit's news of those changes, whether
  // it comes at once, later or not at all.
  void txtTest_Change();
  // A typed character: the one to insert instead (the same, upper-cased, or 0 to drop it).
  char16_t txtTest_KeyPress(char16_t typed) const;
  // A text arriving without typing (a paste): what the field takes instead, or empty when it
  // refuses it and keeps its text.
  std::optional<std::string> txtTest_Paste(const std::string& text) const;
  // A key pressed in txtTest, before it types: steps the value and recalculates, or for Enter
  // recalculates only. The key then goes on to the field.
  void txtTest_KeyDown(DvrKey key);
  // One of the option buttons became the selected one.
  void opDisplayMode_Click(Control option);
  // The wheel: 120 for each notch turned away from the user (the value goes down by one), -120
  // towards (up by one); one step of 1 whatever the size.
  void MouseWheelRolled(int rotation);

  // "Click to Send", then the pulse train with its progress bar, then "Send Complete", or a box
  // that says the board stopped taking commands.
  void cmdForceSend_Click();
  // Stores the register in the chip's EEPROM; silent unless the board does not take it.
  void cmdWrite_Click();
  void btnHelp_Click();
  void mnuExit_Click();

  // False while a device command runs (a pulse train, a store, connecting to a board). The
  // handlers of input (keys, clicks, the wheel, leaving a field, the menus, closing) then do
  // nothing, and the front end drops what its toolkit would act on by itself (typing into a
  // field, pressing a button); boxes that come up meanwhile take input as usual.
  bool takesInput() const { return !commandUnderWay_; }
  bool hexMode() const { return hexMode_; }
  // The DVR value as the field's text holds it, in the current notation.
  int dvrValue() const;

  // The range in AVDD, Rset, VOUTmax and VOUTmin; a text that holds no number gives NaN, a range
  // that no resistors give.
  WantedRange wantedRange() const;
  // Writes the resistors into R1 and R2 and works out the range they give.
  void useResistors(double r1, double r2);

  void updateResistorsFromRange();
  void updateRangeFromResistors();

 private:
  CalculatorInputs inputs() const;
  double fieldNumber(CalculatorField field) const;
  void askWhichCalculation(const char* title);
  bool rangeAsCalculated() const;
  void showCalculatorOnly();
  void showFullLayout();
  void followBoards(bool refused = false);
  void lookAtBoards();
  void useBoard(const std::optional<std::string>& path);
  void address(std::int16_t hidNumber);
  void addressBoardInUse();
  void afterDeviceCommand(bool taken);
  void showBoards();
  bool isPresent(const std::string& path) const;
  PresentBoard seen(const std::string& path) const;
  void apply(const CalculatorUpdates& updates);
  void apply(const ShowMessage& step);
  void apply(const WriteField& step);
  void apply(const ColourField& step);
  void apply(const MarkNotComputed& step);
  void apply(const ShowDvrNotation& step);
  void apply(const MoveReadout& step);
  void showNotation(bool hexMode);
  void setDvrText(const std::string& text);
  bool sendWithProgress(int target);
  void showMessage(const std::string& text);

  WindowView& view_;
  BridgeLibrary& library_;
  MessageBoxes& boxes_;
  const NumberText& numbers_;
  const DividerModel model_;
  BoardDirectory* const boards_;
  // The board that every call addresses: the first at start-up.
  std::int16_t hidNumber_ = 0;
  HidNumberGpioPort pins_;
  CounterInterface counter_;
  std::vector<PresentBoard> present_;
  // The board the device buttons address, as it was last seen.
  std::optional<PresentBoard> inUse_;
  std::optional<FirmwareVersion> firmware_;
  bool boardFound_ = false;
  bool hexMode_ = true;
  bool commandUnderWay_ = false;
  // The rules are writing txtTest's text and run its change rules themselves.
  bool settingDvrText_ = false;
  // Fields whose text is left from an earlier calculation.
  std::bitset<kCalculatorFieldCount> notComputed_;
  // The text each field was last given by a calculation.
  std::array<std::optional<std::string>, kCalculatorFieldCount> calculated_;
};
