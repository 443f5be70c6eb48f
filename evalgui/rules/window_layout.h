#pragma once

// The window frmMain as laid out when it opens: every control with its name, kind, caption,
// tooltip and place, in one table from which each front end creates its controls, and the
// window-level figures. Texts are UTF-8 (ASCII in fact); positions in twips (twips_box.h).

#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include "calculator_update.h"
#include "twips_box.h"

// The window's controls. The first nine are the calculator's number fields, in the order of
// CalculatorField, so that controlOf() is a cast. Client is the window's client area below the
// menu bar, the parent of the controls placed directly on the window.
enum class Control {
  txtAVDD,
  txtRSET,
  txtR1,
  txtR2,
  txtVoutMax,
  txtVOutMin,
  txtVOUT,
  txtIOUT,
  txtVRSET,
  Client,
  fraCalculator,
  btnHelp,
  imgKestroLogo,
  Shape1,
  Image1,
  Shape2,
  Line1,
  Line3,
  Line2,
  Line4,
  lblAVDD,
  lblRSET,
  lblR1,
  lblR2,
  lblIOUT,
  lblVRSET,
  lblVmax,
  lblVCOM,
  lblVoutMin,
  Label1,
  Label2,
  Label3,
  Label4,
  Label7,
  Label6,
  lable5,
  Label5,
  cmdCalculate,
  lblDVR2,
  txtTest,
  opDisplayMode_0,
  opDisplayMode_1,
  cmdForceSend,
  cmdWrite,
};

constexpr Control controlOf(CalculatorField field) {
  return static_cast<Control>(field);
}

// The calculator field a control is, if it is one.
constexpr std::optional<CalculatorField> calculatorFieldOf(Control control) {
  if (static_cast<std::size_t>(control) >= kCalculatorFieldCount) return std::nullopt;
  return static_cast<CalculatorField>(control);
}

enum class ControlKind {
  // A group box with its caption; its children are placed within it.
  Frame,
  // A one-line text box that centres its text.
  TextBox,
  // The same, locked against typing, with the system's button-face colour as background; it
  // still takes the focus.
  LockedTextBox,
  // A caption, left-aligned and vertically centred.
  Label,
  // A caption aligned to the right, vertically centred (lblDVR2).
  RightAlignedLabel,
  Button,
  // One of a group of option buttons (radio buttons); the group is the options of one parent.
  OptionButton,
  // A picture scaled to the box; the caption names the picture: "logo" or "schematic".
  Picture,
  // A rectangle outline of one pixel, black, not filled.
  Outline,
  // A rectangle filled solid white, without outline.
  WhiteFill,
  // A black line of one pixel from (left, top) to (left + width, top + height), both ends
  // included: width 0 is vertical, height 0 horizontal.
  Line,
};

constexpr bool isTextBox(ControlKind kind) {
  return kind == ControlKind::TextBox || kind == ControlKind::LockedTextBox;
}

struct ControlDesign {
  Control control;
  // The parent: Control::Client or Control::fraCalculator.
  Control parent;
  ControlKind kind;
  // The control's name in the design, for the front ends' object names and tests.
  const char* name;
  // The caption of a frame, label, button or option button, the initial text of a text box, the
  // picture's name; empty for shapes and lines.
  const char* caption;
  // Empty when the control has none.
  const char* tip;
  TwipsBox box;
};

// The window's caption and its client area (10710 x 4950 twips below the menu bar).
inline constexpr const char* kWindowCaption = "Kestro QV6180 Evaluation Board Software";
inline constexpr TwipsBox kClientArea{0, 0, 10710, 4950};

// Without a board the device buttons are hidden and the window ends below the calculator: its
// outer height (caption bar, menu and borders included), the frame's height, and the top of the
// logo and of the help button.
inline constexpr int kCalculatorOnlyOuterHeight = 5000;
inline constexpr int kCalculatorOnlyFrameHeight = 3615;
inline constexpr int kCalculatorOnlyBottomRowTop = 3840;

// The window's font: a sans serif with Helvetica's metrics, at the size the layout's boxes were
// drawn for. The systems' own dialog fonts (Segoe UI, Tahoma) are wider at this size, and the
// captions and figures would not fit their boxes in them. The faces in order of preference.
inline constexpr std::array<const char*, 4> kWindowFontFaces{"Nimbus Sans", "Liberation Sans",
                                                             "Arial", "Helvetica"};
inline constexpr double kWindowFontPoints = 7.5;

inline constexpr int kLabelHeight = 255;
inline constexpr int kUnitWidth = 375;

// Every control, parents before their children, in the order of creation, which is also the
// order of drawing: a control lies over those before it that it overlaps (the scale's lines
// under the moving read-out, the outline under the schematic under the white strip).
inline constexpr std::array<ControlDesign, 43> kControls{{
    // clang-format off
    {Control::fraCalculator, Control::Client, ControlKind::Frame, "fraCalculator", "Calculator", "", {120, 120, 4935, 4215}},
    {Control::Line1, Control::fraCalculator, ControlKind::Line, "Line1", "", "", {3600, 840, 480, 0}},
    {Control::Line3, Control::fraCalculator, ControlKind::Line, "Line3", "", "", {3840, 840, 0, 1920}},
    {Control::Line2, Control::fraCalculator, ControlKind::Line, "Line2", "", "", {3600, 2760, 480, 0}},
    {Control::Line4, Control::fraCalculator, ControlKind::Line, "Line4", "", "", {3480, 840, 360, 0}},
    {Control::lblAVDD, Control::fraCalculator, ControlKind::Label, "lblAVDD", "AVDD", "Analog Power Supply", {120, 360, 615, kLabelHeight}},
    {Control::lblRSET, Control::fraCalculator, ControlKind::Label, "lblRSET", "RSET", "Value of Rset resistor", {120, 720, 615, kLabelHeight}},
    {Control::lblR1, Control::fraCalculator, ControlKind::Label, "lblR1", "R1", "Value of TOP resistor in Divider", {120, 1080, 615, kLabelHeight}},
    {Control::lblR2, Control::fraCalculator, ControlKind::Label, "lblR2", "R2", "Value of BOTTOM resistor in Divider", {120, 1440, 615, kLabelHeight}},
    {Control::lblIOUT, Control::fraCalculator, ControlKind::Label, "lblIOUT", "IOUT", "Current drawn from Divider", {240, 2280, 615, kLabelHeight}},
    {Control::lblVRSET, Control::fraCalculator, ControlKind::Label, "lblVRSET", "VRSET", "Voltage at the top of resistor Rset", {240, 2640, 615, kLabelHeight}},
    {Control::lblVmax, Control::fraCalculator, ControlKind::Label, "lblVmax", "VOUTmax", "Maximum Vout", {2640, 360, 735, kLabelHeight}},
    {Control::lblVCOM, Control::fraCalculator, ControlKind::Label, "lblVCOM", "VCOM", "Voltage at the Vcom node using current DVR value", {2760, 720, 615, kLabelHeight}},
    {Control::lblVoutMin, Control::fraCalculator, ControlKind::Label, "lblVoutMin", "VOUTmin", "Minimum Vout", {2640, 3000, 735, kLabelHeight}},
    {Control::Label1, Control::fraCalculator, ControlKind::Label, "Label1", "V", "Units of Voltage", {1920, 360, kUnitWidth, kLabelHeight}},
    {Control::Label2, Control::fraCalculator, ControlKind::Label, "Label2", "ohm", "Units of Resistance", {1920, 720, kUnitWidth, kLabelHeight}},
    {Control::Label3, Control::fraCalculator, ControlKind::Label, "Label3", "ohm", "Units of Resistance", {1920, 1080, kUnitWidth, kLabelHeight}},
    {Control::Label4, Control::fraCalculator, ControlKind::Label, "Label4", "ohm", "Units of Resistance", {1920, 1440, kUnitWidth, kLabelHeight}},
    {Control::Label7, Control::fraCalculator, ControlKind::Label, "Label7", "A", "Units of Current", {1920, 2280, kUnitWidth, kLabelHeight}},
    {Control::Label6, Control::fraCalculator, ControlKind::Label, "Label6", "V", "Units of Voltage", {1920, 2640, kUnitWidth, kLabelHeight}},
    {Control::lable5, Control::fraCalculator, ControlKind::Label, "lable5", "V", "Units of Voltage", {4320, 360, kUnitWidth, kLabelHeight}},
    {Control::Label5, Control::fraCalculator, ControlKind::Label, "Label5", "V", "Units of Voltage", {4320, 3000, kUnitWidth, kLabelHeight}},
    {Control::txtAVDD, Control::fraCalculator, ControlKind::TextBox, "txtAVDD", "18", "Value for Analog Supply Voltage", {840, 360, 975, 285}},
    {Control::txtRSET, Control::fraCalculator, ControlKind::TextBox, "txtRSET", "10000", "Value of Rset Resistor", {840, 720, 975, 285}},
    {Control::txtR1, Control::fraCalculator, ControlKind::TextBox, "txtR1", "24900", "Value of Resistor R1", {840, 1080, 975, 285}},
    {Control::txtR2, Control::fraCalculator, ControlKind::TextBox, "txtR2", "39200", "Value of Resistor R2", {840, 1440, 975, 285}},
    {Control::txtVoutMax, Control::fraCalculator, ControlKind::TextBox, "txtVoutMax", "18", "Value for desired Maximum Output Voltage", {3480, 360, 735, 285}},
    {Control::txtVOutMin, Control::fraCalculator, ControlKind::TextBox, "txtVOutMin", "18", "Value for desired Minimum Output Voltage", {3480, 3000, 735, 285}},
    {Control::txtVOUT, Control::fraCalculator, ControlKind::LockedTextBox, "txtVOUT", "0", "Value of VCOM Voltage", {3960, 720, 855, 285}},
    {Control::txtIOUT, Control::fraCalculator, ControlKind::LockedTextBox, "txtIOUT", "0", "Value of Current drawn from Divider", {960, 2280, 855, 285}},
    {Control::txtVRSET, Control::fraCalculator, ControlKind::LockedTextBox, "txtVRSET", "0", "Value of Vrset", {960, 2640, 855, 285}},
    {Control::cmdCalculate, Control::fraCalculator, ControlKind::Button, "cmdCalculate", "Calculate", "Update Numbers", {360, 1800, 1455, 375}},
    {Control::lblDVR2, Control::fraCalculator, ControlKind::RightAlignedLabel, "lblDVR2", "DVR (hex)", "DVR setting", {0, 3000, 855, kLabelHeight}},
    {Control::txtTest, Control::fraCalculator, ControlKind::TextBox, "txtTest", "0", "Type in a Number or use Up/Down and Page Up/Down keys", {960, 3000, 855, 285}},
    {Control::opDisplayMode_0, Control::fraCalculator, ControlKind::OptionButton, "opDisplayMode_0", "HEX", "Value in Hexadecimal", {1920, 2880, 735, kLabelHeight}},
    {Control::opDisplayMode_1, Control::fraCalculator, ControlKind::OptionButton, "opDisplayMode_1", "DEC", "Value in Decimal", {1920, 3120, 735, kLabelHeight}},
    {Control::btnHelp, Control::Client, ControlKind::Button, "btnHelp", "?", "Operational Notes", {4560, 4440, 375, 375}},
    {Control::imgKestroLogo, Control::Client, ControlKind::Picture, "imgKestroLogo", "logo", "", {720, 4440, 3465, 405}},
    {Control::Shape1, Control::Client, ControlKind::Outline, "Shape1", "", "", {5160, 240, 5415, 3975}},
    {Control::Image1, Control::Client, ControlKind::Picture, "Image1", "schematic", "Schematic of Operation", {5280, 360, 5145, 3660}},
    {Control::Shape2, Control::Client, ControlKind::WhiteFill, "Shape2", "", "", {7800, 360, 615, 135}},
    {Control::cmdForceSend, Control::fraCalculator, ControlKind::Button, "cmdForceSend", "Send Value to Register", "Click to Send current value to Data Register", {360, 3480, 2055, 495}},
    {Control::cmdWrite, Control::fraCalculator, ControlKind::Button, "cmdWrite", "Write EEPROM", "Click to Program EEPROM with current Data Register contents", {2760, 3480, 1695, 495}},
    // clang-format on
}};

// Every control but Client has its design.
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::cmdWrite) + 1;
static_assert(kControls.size() == kControlCount - 1);

// The calculator-only layout's client area, which ends as far below the logo row as the full
// layout's does. kCalculatorOnlyOuterHeight counts the caption bar, menu bar and borders of the
// system the design was drawn on; a toolkit whose frame is the window system's takes the client
// area from this instead.
inline constexpr int kCalculatorOnlyClientHeight = [] {
  for (const ControlDesign& design : kControls) {
    if (design.control == Control::imgKestroLogo) {
      return kClientArea.height - (design.box.top - kCalculatorOnlyBottomRowTop);
    }
  }
  return kClientArea.height;
}();

// The option button selected when the window opens: HEX.
inline constexpr Control kSelectedOptionAtStart = Control::opDisplayMode_0;

// The order in which Tab moves the focus; txtTest has the focus when the window opens.
inline constexpr std::array<Control, 16> kTabOrder{
    Control::txtTest,         Control::txtIOUT,         Control::txtAVDD,
    Control::txtRSET,         Control::txtR1,           Control::txtR2,
    Control::txtVOUT,         Control::txtVRSET,        Control::txtVoutMax,
    Control::txtVOutMin,      Control::cmdCalculate,    Control::btnHelp,
    Control::opDisplayMode_0, Control::opDisplayMode_1, Control::cmdWrite,
    Control::cmdForceSend,
};

// The design of a control of kControls (any but Client).
const ControlDesign& designOf(Control control);

// The File menu: its caption and its items in order, an empty caption for a separator. The
// ampersand marks the access key. Items are named for the front ends' object names.
struct MenuItem {
  const char* name;
  const char* caption;
};
inline constexpr const char* kFileMenuName = "mnuFile";
inline constexpr const char* kFileMenuCaption = "&File";
// File > Board, first in the File menu: the boards present, when the front end follows them.
inline constexpr const char* kBoardMenuName = "mnuBoard";
inline constexpr const char* kBoardMenuCaption = "&Board";
inline constexpr std::array<MenuItem, 3> kFileMenu{{
    {"mnuStandardResistors", "Standard resistors..."},
    {"", ""},
    {"mnuExit", "E&xit"},
}};
