#pragma once

// The QV6180's divider in numbers. The chip draws IOUT from the middle node of the divider R1
// (from AVDD) and R2 (to ground); the DVR register sets IOUT in 256 steps of the full-scale
// current AVDD / (20 Rset). Quantities are in volts, ohms and amperes. The grouping of each
// formula is part of its result, down to the last bit, so the window and the command line give
// the same digits.

// The top of the DVR register's range; the bottom is 0.
inline constexpr int kHighestDvr = 255;

// IOUT at a DVR value: 0 at DVR 0, one step below full scale at DVR 255.
double outputCurrent(double avdd, double rset, int dvr);
// VRSET, the voltage at the top of Rset, at a DVR value.
double vrsetVoltage(double avdd, double rset, int dvr);
// VCOM at a DVR value. It counts DVR + 1 current steps, so DVR 255 draws the full-scale current.
double vcomVoltage(double avdd, double rset, double r1, double r2, int dvr);
// VCOM at DVR 0 (VOUTmax) and at DVR 255 (VOUTmin).
double highestVout(double avdd, double rset, double r1, double r2);
double lowestVout(double avdd, double rset, double r1, double r2);
// The resistors that give the range VOUTmax at DVR 0 to VOUTmin at DVR 255.
double topResistor(double voutMax, double voutMin, double rset);
double bottomResistor(double voutMax, double voutMin, double avdd, double rset);
