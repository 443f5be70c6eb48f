#pragma once

#include <array>

#include "calculator_update.h"
#include "twips.h"

// The calculator's controls as they stand in the frame fraCalculator when the window opens.
// Positions in twips within the frame.
namespace calculator_layout {

using enum CalculatorField;

struct NumberField {
  CalculatorField field;
  const char* name;
  const char* text;
  TwipsBox box;
  const char* tip;
  bool locked;
};

// In the order of CalculatorField.
inline constexpr std::array<NumberField, kCalculatorFieldCount> kNumberFields{{
    {txtAVDD, "txtAVDD", "18", {840, 360, 975, 285}, "Value for Analog Supply Voltage", false},
    {txtRSET, "txtRSET", "10000", {840, 720, 975, 285}, "Value of Rset Resistor", false},
    {txtR1, "txtR1", "24900", {840, 1080, 975, 285}, "Value of Resistor R1", false},
    {txtR2, "txtR2", "39200", {840, 1440, 975, 285}, "Value of Resistor R2", false},
    {txtVoutMax,
     "txtVoutMax",
     "18",
     {3480, 360, 735, 285},
     "Value for desired Maximum Output Voltage",
     false},
    {txtVOutMin,
     "txtVOutMin",
     "18",
     {3480, 3000, 735, 285},
     "Value for desired Minimum Output Voltage",
     false},
    {txtVOUT, "txtVOUT", "0", {3960, 720, 855, 285}, "Value of VCOM Voltage", true},
    {txtIOUT, "txtIOUT", "0", {960, 2280, 855, 285}, "Value of Current drawn from Divider", true},
    {txtVRSET, "txtVRSET", "0", {960, 2640, 855, 285}, "Value of Vrset", true},
}};

struct Caption {
  const char* name;
  const char* text;
  int left;
  int top;
  int width;
  const char* tip;
};

inline constexpr int kLabelHeight = 255;
inline constexpr int kUnitWidth = 375;

// Captions and unit labels.
inline constexpr std::array<Caption, 17> kCaptions{{
    {"lblAVDD", "AVDD", 120, 360, 615, "Analog Power Supply"},
    {"lblRSET", "RSET", 120, 720, 615, "Value of Rset resistor"},
    {"lblR1", "R1", 120, 1080, 615, "Value of TOP resistor in Divider"},
    {"lblR2", "R2", 120, 1440, 615, "Value of BOTTOM resistor in Divider"},
    {"lblIOUT", "IOUT", 240, 2280, 615, "Current drawn from Divider"},
    {"lblVRSET", "VRSET", 240, 2640, 615, "Voltage at the top of resistor Rset"},
    {"lblVmax", "VOUTmax", 2640, 360, 735, "Maximum Vout"},
    {"lblVCOM", "VCOM", 2760, 720, 615, "Voltage at the Vcom node using current DVR value"},
    {"lblVoutMin", "VOUTmin", 2640, 3000, 735, "Minimum Vout"},
    {"Label1", "V", 1920, 360, kUnitWidth, "Units of Voltage"},
    {"Label2", "ohm", 1920, 720, kUnitWidth, "Units of Resistance"},
    {"Label3", "ohm", 1920, 1080, kUnitWidth, "Units of Resistance"},
    {"Label4", "ohm", 1920, 1440, kUnitWidth, "Units of Resistance"},
    {"Label7", "A", 1920, 2280, kUnitWidth, "Units of Current"},
    {"Label6", "V", 1920, 2640, kUnitWidth, "Units of Voltage"},
    {"lable5", "V", 4320, 360, kUnitWidth, "Units of Voltage"},
    {"Label5", "V", 4320, 3000, kUnitWidth, "Units of Voltage"},
}};

struct ScaleLine {
  const char* name;
  int x1;
  int y1;
  int x2;
  int y2;
};

// The scale that the VCOM read-out moves along; Line4 is its pointer.
inline constexpr std::array<ScaleLine, 4> kScaleLines{{
    {"Line1", 3600, 840, 4080, 840},
    {"Line3", 3840, 840, 3840, 2760},
    {"Line2", 3600, 2760, 4080, 2760},
    {"Line4", 3480, 840, 3840, 840},
}};

inline constexpr TwipsBox kCalculateButton{360, 1800, 1455, 375};

}  // namespace calculator_layout
