// The calculator's exports over the chip's checked calculations.
#include <algorithm>

#include "calculator_codes.h"
#include "divider_calculation.h"
#include "divider_formulas.h"
#include "qv6180.h"

static_assert(QV6180_DVR_MAX == kHighestDvr);
static_assert(QV6180_STANDARD_PAIRS_MAX == kMostStandardPairs);

namespace {

int codeOf(DividerFault fault) {
  switch (fault) {
    case DividerFault::none:
      return 0;
    case DividerFault::avddNotPositive:
      return QV6180_E_AVDD;
    case DividerFault::rsetNotPositive:
      return QV6180_E_RSET;
    case DividerFault::r1NotPositive:
      return QV6180_E_R1;
    case DividerFault::r2NotPositive:
      return QV6180_E_R2;
    case DividerFault::voutMaxAboveAvdd:
      return QV6180_E_VOUT_MAX;
    case DividerFault::voutMinNotBelowVoutMax:
      return QV6180_E_VOUT_MIN;
    case DividerFault::noPositiveResistors:
      return QV6180_E_NO_DIVIDER;
    case DividerFault::noOutputAboveZero:
      return QV6180_E_NO_OUTPUT;
    case DividerFault::beyondDoubles:
      return QV6180_E_BEYOND_DOUBLES;
  }
  return QV6180_E_BEYOND_DOUBLES;
}

int seriesNumber(ResistorSeries series) {
  switch (series) {
    case ResistorSeries::E24:
      return 24;
    case ResistorSeries::E96:
      return 96;
    case ResistorSeries::E192:
      return 192;
  }
  return 0;
}

}  // namespace

const char* calculatorFaultText(int code) {
  for (auto fault = DividerFault::avddNotPositive; fault <= DividerFault::beyondDoubles;
       fault = static_cast<DividerFault>(static_cast<int>(fault) + 1)) {
    if (codeOf(fault) == code) return faultText(fault).data();
  }
  return nullptr;
}

extern "C" {

int qv6180_range_from_resistors(double avdd, double rset, double r1, double r2, double* vout_max,
                                double* vout_min) {
  if (!vout_max || !vout_min) return KSTHID_E_INVALID_ARGUMENT;
  const auto range = rangeFromResistors(avdd, rset, r1, r2);
  if (!range.ok()) return codeOf(range.fault);
  *vout_max = range.values.voutMax;
  *vout_min = range.values.voutMin;
  return 0;
}

int qv6180_resistors_from_range(double avdd, double rset, double vout_max, double vout_min,
                                double* r1, double* r2) {
  if (!r1 || !r2) return KSTHID_E_INVALID_ARGUMENT;
  const auto resistors = resistorsFromRange({avdd, rset, vout_max, vout_min});
  if (!resistors.ok()) return codeOf(resistors.fault);
  *r1 = resistors.values.r1;
  *r2 = resistors.values.r2;
  return 0;
}

int qv6180_readouts(double avdd, double rset, double r1, double r2, int dvr, double* vcom,
                    double* iout, double* vrset) {
  if (!vcom || !iout || !vrset || dvr < QV6180_DVR_MIN || dvr > QV6180_DVR_MAX) {
    return KSTHID_E_INVALID_ARGUMENT;
  }
  const auto readouts = readoutsAt(avdd, rset, r1, r2, dvr);
  if (!readouts.ok()) return codeOf(readouts.fault);
  *vcom = readouts.values.vcom;
  *iout = readouts.values.iout;
  *vrset = readouts.values.vrset;
  return 0;
}

int qv6180_standard_pairs(double avdd, double rset, double vout_max, double vout_min,
                          struct qv6180_standard_pair* pairs, int capacity) {
  if (capacity < 0 || (capacity > 0 && !pairs)) return KSTHID_E_INVALID_ARGUMENT;
  const auto found = standardPairsFor({avdd, rset, vout_max, vout_min});
  if (!found.ok()) return codeOf(found.fault);
  const std::size_t written = std::min(found.values.size(), static_cast<std::size_t>(capacity));
  for (std::size_t i = 0; i < written; ++i) {
    const StandardPair& pair = found.values[i];
    pairs[i] = {seriesNumber(pair.series), pair.r1,          pair.r2, pair.voutMax, pair.voutMin,
                pair.errorMillivolts,      pair.errorPercent};
  }
  return static_cast<int>(found.values.size());
}

}  // extern "C"
