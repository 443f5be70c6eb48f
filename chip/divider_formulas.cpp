#include "divider_formulas.h"

namespace {

double unloadedVcom(double avdd, double r1, double r2) {
  return (r2 / (r2 + r1)) * avdd;
}

}  // namespace

// 5120 = 20 * 256: the full-scale current's divisor times the number of steps.
double outputCurrent(double avdd, double rset, int dvr) {
  return (avdd / (rset * 20)) * (dvr / 256.0);
}

double vrsetVoltage(double avdd, double rset, int dvr) {
  return rset * outputCurrent(avdd, rset, dvr);
}

double vcomVoltage(double avdd, double rset, double r1, double r2, int dvr) {
  return (1 - ((dvr + 1) * r1) / (rset * 5120)) * unloadedVcom(avdd, r1, r2);
}

double highestVout(double avdd, double rset, double r1, double r2) {
  return (1 - r1 / (rset * 5120)) * unloadedVcom(avdd, r1, r2);
}

double lowestVout(double avdd, double rset, double r1, double r2) {
  return (1 - r1 / (rset * 20)) * unloadedVcom(avdd, r1, r2);
}

double topResistor(double voutMax, double voutMin, double rset) {
  return ((voutMax - voutMin) / (voutMax * 256 - voutMin)) * (rset * 5120);
}

double bottomResistor(double voutMax, double voutMin, double avdd, double rset) {
  return ((voutMax - voutMin) / ((avdd * 255 + voutMin) - voutMax * 256)) * (rset * 5120);
}
