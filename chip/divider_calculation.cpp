#include "divider_calculation.h"

#include <cmath>
#include <initializer_list>
#include <span>

#include "divider_formulas.h"

namespace {

bool positive(double value) {
  return std::isfinite(value) && value > 0;
}

bool finite(std::initializer_list<double> values) {
  for (double value : values) {
    if (!std::isfinite(value)) return false;
  }
  return true;
}

DividerFault supplyFault(double avdd, double rset) {
  if (!positive(avdd)) return DividerFault::avddNotPositive;
  if (!positive(rset)) return DividerFault::rsetNotPositive;
  return DividerFault::none;
}

DividerFault resistorsFault(double avdd, double rset, double r1, double r2) {
  if (const DividerFault fault = supplyFault(avdd, rset); fault != DividerFault::none) return fault;
  if (!positive(r1)) return DividerFault::r1NotPositive;
  if (!positive(r2)) return DividerFault::r2NotPositive;
  return DividerFault::none;
}

DividerFault rangeFault(const WantedRange& wanted) {
  if (const DividerFault fault = supplyFault(wanted.avdd, wanted.rset);
      fault != DividerFault::none) {
    return fault;
  }
  if (!std::isfinite(wanted.voutMin)) return DividerFault::voutMinNotBelowVoutMax;
  if (!(wanted.voutMax <= wanted.avdd)) return DividerFault::voutMaxAboveAvdd;
  if (!(wanted.voutMin < wanted.voutMax)) return DividerFault::voutMinNotBelowVoutMax;
  return DividerFault::none;
}

}  // namespace

std::string_view faultText(DividerFault fault) {
  switch (fault) {
    case DividerFault::none:
      return "";
    case DividerFault::avddNotPositive:
      return "AVDD needs to be greater than 0";
    case DividerFault::rsetNotPositive:
      return "Rset needs to be greater than 0";
    case DividerFault::r1NotPositive:
      return "R1 needs to be greater than 0";
    case DividerFault::r2NotPositive:
      return "R2 needs to be greater than 0";
    case DividerFault::voutMaxAboveAvdd:
      return "VOUTmax cannot exceed AVDD";
    case DividerFault::voutMinNotBelowVoutMax:
      return "VOUTmin must be lower than VOUTmax";
    case DividerFault::noPositiveResistors:
      return "no positive R1 and R2 give this range";
    case DividerFault::noOutputAboveZero:
      return "these resistors give no VCOM above 0 V at any DVR value";
    case DividerFault::beyondDoubles:
      return "a result is too large or too small to compute";
  }
  return "";
}

Calculated<OutputRange> rangeFromResistors(double avdd, double rset, double r1, double r2) {
  if (const DividerFault fault = resistorsFault(avdd, rset, r1, r2); fault != DividerFault::none) {
    return {.fault = fault};
  }
  const OutputRange range{highestVout(avdd, rset, r1, r2), lowestVout(avdd, rset, r1, r2)};
  if (!finite({range.voutMax, range.voutMin})) return {.fault = DividerFault::beyondDoubles};
  if (!(range.voutMax > 0)) return {.fault = DividerFault::noOutputAboveZero};
  return {.values = range};
}

Calculated<DividerResistors> resistorsFromRange(const WantedRange& wanted) {
  if (const DividerFault fault = rangeFault(wanted); fault != DividerFault::none) {
    return {.fault = fault};
  }
  const DividerResistors resistors{
      topResistor(wanted.voutMax, wanted.voutMin, wanted.rset),
      bottomResistor(wanted.voutMax, wanted.voutMin, wanted.avdd, wanted.rset)};
  if (!finite({resistors.r1, resistors.r2})) return {.fault = DividerFault::beyondDoubles};
  if (!(resistors.r1 > 0 && resistors.r2 > 0)) return {.fault = DividerFault::noPositiveResistors};
  // The range back from the resistors: a width too narrow for doubles gives none.
  if (const auto back = rangeFromResistors(wanted.avdd, wanted.rset, resistors.r1, resistors.r2);
      !back.ok()) {
    return {.fault = back.fault};
  }
  return {.values = resistors};
}

Calculated<DvrReadouts> readoutsAt(double avdd, double rset, double r1, double r2, int dvr) {
  if (const auto range = rangeFromResistors(avdd, rset, r1, r2); !range.ok()) {
    return {.fault = range.fault};
  }
  const DvrReadouts readouts{vcomVoltage(avdd, rset, r1, r2, dvr), outputCurrent(avdd, rset, dvr),
                             vrsetVoltage(avdd, rset, dvr)};
  if (!finite({readouts.vcom, readouts.iout, readouts.vrset})) {
    return {.fault = DividerFault::beyondDoubles};
  }
  return {.values = readouts};
}

Calculated<std::vector<StandardPair>> standardPairsFor(const WantedRange& wanted) {
  const auto exact = resistorsFromRange(wanted);
  if (!exact.ok()) return {.fault = exact.fault};
  const std::span<const double> values = seriesValues(ResistorSeries::E192);
  const auto withinSeries = [&](double resistor) {
    return resistor >= values.front() && resistor <= values.back();
  };
  if (!withinSeries(exact.values.r1) || !withinSeries(exact.values.r2)) return {};
  std::vector<StandardPair> pairs = nearestStandardPairs(wanted);
  for (const StandardPair& pair : pairs) {
    if (!finite({pair.voutMax, pair.voutMin, pair.errorMillivolts, pair.errorPercent})) {
      return {.fault = DividerFault::beyondDoubles};
    }
  }
  return {.values = std::move(pairs)};
}
