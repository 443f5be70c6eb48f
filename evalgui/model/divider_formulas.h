#pragma once

// The divider of the QV6180: R1 from AVDD to the VCOM node, R2 from there to ground, and the chip
// drawing DVR + 1 of 256 steps of the full-scale current AVDD / (20 Rset) from the VCOM node
// (5120 = 20 * 256). The grouping of each formula is part of the result, down to the last bit.

// R1 and R2 that give the range VOUTmax (DVR 0) to VOUTmin (DVR 255).
inline double topResistor(double voutMax, double voutMin, double rset) {
  return ((voutMax - voutMin) / (voutMax * 256 - voutMin)) * (rset * 5120);
}

inline double bottomResistor(double voutMax, double voutMin, double avdd, double rset) {
  return ((voutMax - voutMin) / ((avdd * 255 + voutMin) - voutMax * 256)) * (rset * 5120);
}

// The voltage of the VCOM node with no current drawn.
inline double unloadedVcom(double avdd, double r1, double r2) {
  return (r2 / (r2 + r1)) * avdd;
}

// The ends of the range that R1 and R2 give: VOUTmin at DVR 255 (256 / 5120 = 1 / 20), VOUTmax at
// DVR 0.
inline double lowestVout(double avdd, double rset, double r1, double r2) {
  return (1 - r1 / (rset * 20)) * unloadedVcom(avdd, r1, r2);
}

inline double highestVout(double avdd, double rset, double r1, double r2) {
  return (1 - r1 / (rset * 5120)) * unloadedVcom(avdd, r1, r2);
}
