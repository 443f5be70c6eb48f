#pragma once

#include <string_view>
#include <vector>

#include "standard_resistors.h"

// The divider's calculations for callers that pass numbers rather than field texts (the command
// line, libqv6180): each checks its inputs as the window checks them, and what the window would
// correct or refuse, or a result that is no finite number, comes back as a fault in place of
// the values. Quantities are in volts, ohms and amperes.

enum class DividerFault {
  none,
  avddNotPositive,
  rsetNotPositive,
  r1NotPositive,
  r2NotPositive,
  voutMaxAboveAvdd,
  voutMinNotBelowVoutMax,
  // The wanted range needs a resistor that is not positive.
  noPositiveResistors,
  // VOUTmax, VCOM at DVR 0, is not above 0 V: no DVR value gives an output.
  noOutputAboveZero,
  // A result is too large or too small for a double.
  beyondDoubles,
};

// In words, for people: "AVDD needs to be greater than 0".
std::string_view faultText(DividerFault fault);

template <typename Values>
struct Calculated {
  Values values{};
  DividerFault fault = DividerFault::none;

  bool ok() const { return fault == DividerFault::none; }
};

struct OutputRange {
  double voutMax = 0;
  double voutMin = 0;
};

struct DividerResistors {
  double r1 = 0;
  double r2 = 0;
};

struct DvrReadouts {
  double vcom = 0;
  double iout = 0;
  double vrset = 0;
};

// VOUTmax at DVR 0 and VOUTmin at DVR 255 from the supply, Rset and the resistors.
Calculated<OutputRange> rangeFromResistors(double avdd, double rset, double r1, double r2);
// R1 and R2 that give the wanted range.
Calculated<DividerResistors> resistorsFromRange(const WantedRange& wanted);
// VCOM, IOUT and VRSET at a DVR value (0 to 255).
Calculated<DvrReadouts> readoutsAt(double avdd, double rset, double r1, double r2, int dvr);
// The standard pairs nearest to the resistors of the wanted range, best first; none when a
// resistor lies beyond the series' values (1 ohm to 10 Mohm), where no pair would be near.
Calculated<std::vector<StandardPair>> standardPairsFor(const WantedRange& wanted);
