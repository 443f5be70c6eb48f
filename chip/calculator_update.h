#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <variant>
#include <vector>

// The calculator's number fields, named after the window's text boxes.
enum class CalculatorField {
  txtAVDD,
  txtRSET,
  txtR1,
  txtR2,
  txtVoutMax,
  txtVOutMin,
  txtVOUT,
  txtIOUT,
  txtVRSET,
};
inline constexpr std::size_t kCalculatorFieldCount = 9;

// Text colours of the fields: the system's button-text colour, or pure red (255, 0, 0) for a
// value that cannot be used as it stands.
enum class FieldColour { ButtonText, Red };

// What a calculation starts from: the field texts (UTF-8) in the order of CalculatorField, the DVR
// value of the DVR entry field and its notation.
struct CalculatorInputs {
  std::array<std::string, kCalculatorFieldCount> texts;
  int dvr = 0;
  bool hexMode = true;
};

// The steps of a calculation that the window carries out, in the order given. A message is a
// modal box titled "QV6180" with an OK button and no icon; the steps after it wait until it is
// closed.
struct ShowMessage {
  std::string text;
  bool operator==(const ShowMessage&) const = default;
};
struct WriteField {
  CalculatorField field;
  std::string text;
  bool operator==(const WriteField&) const = default;
};
struct ColourField {
  CalculatorField field;
  FieldColour colour;
  bool operator==(const ColourField&) const = default;
};
// The field keeps its text, which does not belong to the inputs: the result has no value. The
// mark, with its reason, stays until the field is written again.
struct MarkNotComputed {
  CalculatorField field;
  std::string reason;
  bool operator==(const MarkNotComputed&) const = default;
};
// The caption of the DVR entry field's label names the notation the value was read in.
struct ShowDvrNotation {
  bool hexMode;
  bool operator==(const ShowDvrNotation&) const = default;
};
// The VCOM read-out: the top of txtVOUT and of lblVCOM, and the y of both ends of the pointer
// Line4, in twips within the calculator frame.
struct MoveReadout {
  int readoutTopTwips;
  int pointerYTwips;
  bool operator==(const MoveReadout&) const = default;
};

using CalculatorUpdate = std::variant<ShowMessage, WriteField, ColourField, MarkNotComputed,
                                      ShowDvrNotation, MoveReadout>;
using CalculatorUpdates = std::vector<CalculatorUpdate>;
