#pragma once

#include <string_view>

#include "calculator_update.h"
#include "number_text.h"

// The VCOM calculator of the QV6180 board. It works out the external divider (R1 from AVDD to the
// VCOM node, R2 from there to ground) in either direction from the texts of the calculator's
// fields, and VCOM, IOUT and VRSET for a DVR value. Each calculation is a function of its inputs:
// it returns what the window is to do, in order, and keeps nothing. Numbers are read from the
// texts and written into them through the NumberText given, which must outlive the model.
class DividerModel {
 public:
  explicit DividerModel(const NumberText& numbers);

  // From the wanted range VOUTmax to VOUTmin, AVDD and Rset, works out R1 and R2.
  CalculatorUpdates updateResistorsFromRange(const CalculatorInputs& inputs) const;
  // From R1, R2, AVDD and Rset, works out the range VOUTmax to VOUTmin.
  CalculatorUpdates updateRangeFromResistors(const CalculatorInputs& inputs) const;

  // True when the text is empty or holds no number in the notation of the NumberText. A text for
  // which it is false always converts.
  bool numberIsNotValid(std::string_view text) const;

 private:
  const NumberText& numbers_;
};
