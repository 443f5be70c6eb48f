#include "standard_resistors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <iterator>

#include "divider_formulas.h"

namespace {

constexpr int kLowestDecade = 0;   // 1 ohm
constexpr int kHighestDecade = 6;  // up to 9.88 Mohm
// Standard values have three significant digits: 249 stands for 2.49, 24.9, 249 ... ohms.
constexpr double kMantissaScale = 100;

// E24 predates the rule that gives E96 and E192, so its values are listed as the standard has them.
constexpr std::array<int, 24> kE24Mantissas{100, 110, 120, 130, 150, 160, 180, 200,
                                            220, 240, 270, 300, 330, 360, 390, 430,
                                            470, 510, 560, 620, 680, 750, 820, 910};

constexpr int kE96StepsPerDecade = 96;
constexpr int kE192StepsPerDecade = 192;
// The one value of E192 that the standard sets apart from the rounding rule.
constexpr int kE192RoundedMantissa = 919;
constexpr int kE192StandardMantissa = 920;

// Around each exact resistor this many standard values are tried on either side.
constexpr std::ptrdiff_t kNeighboursPerSide = 2;

constexpr double kMillivoltsPerVolt = 1000;
constexpr double kPercent = 100;

// E96 and E192 step by the n-th root of ten, rounded to three digits.
std::vector<int> geometricMantissas(int stepsPerDecade) {
  std::vector<int> mantissas;
  for (int step = 0; step < stepsPerDecade; ++step) {
    const int rounded = static_cast<int>(
        std::lround(kMantissaScale * std::pow(10.0, static_cast<double>(step) / stepsPerDecade)));
    mantissas.push_back(rounded == kE192RoundedMantissa && stepsPerDecade == kE192StepsPerDecade
                            ? kE192StandardMantissa
                            : rounded);
  }
  return mantissas;
}

std::vector<double> overDecades(std::span<const int> mantissas) {
  std::vector<double> values;
  for (int decade = kLowestDecade; decade <= kHighestDecade; ++decade) {
    const double scale = std::pow(10.0, decade);
    for (int mantissa : mantissas) values.push_back(mantissa * scale / kMantissaScale);
  }
  return values;
}

std::vector<double> buildSeries(ResistorSeries series) {
  switch (series) {
    case ResistorSeries::E24:
      return overDecades(kE24Mantissas);
    case ResistorSeries::E96:
      return overDecades(geometricMantissas(kE96StepsPerDecade));
    case ResistorSeries::E192:
      return overDecades(geometricMantissas(kE192StepsPerDecade));
  }
  return {};
}

constexpr std::array kAllSeries{ResistorSeries::E24, ResistorSeries::E96, ResistorSeries::E192};

// The standard values closest to the exact one, below and above it.
std::span<const double> neighbours(std::span<const double> values, double exact) {
  const auto at = std::lower_bound(values.begin(), values.end(), exact);
  const auto first = at - std::min(kNeighboursPerSide, std::distance(values.begin(), at));
  const auto last = at + std::min(kNeighboursPerSide, std::distance(at, values.end()));
  return {first, last};
}

StandardPair evaluatePair(ResistorSeries series, double r1, double r2, const WantedRange& wanted) {
  StandardPair pair{.series = series,
                    .r1 = r1,
                    .r2 = r2,
                    .voutMax = highestVout(wanted.avdd, wanted.rset, r1, r2),
                    .voutMin = lowestVout(wanted.avdd, wanted.rset, r1, r2)};
  const double deviation =
      std::max(std::abs(pair.voutMax - wanted.voutMax), std::abs(pair.voutMin - wanted.voutMin));
  pair.errorMillivolts = deviation * kMillivoltsPerVolt;
  pair.errorPercent = deviation / (wanted.voutMax - wanted.voutMin) * kPercent;
  return pair;
}

bool sameResistors(const StandardPair& a, const StandardPair& b) {
  return a.r1 == b.r1 && a.r2 == b.r2;
}

bool better(const StandardPair& a, const StandardPair& b) {
  return a.errorMillivolts < b.errorMillivolts;
}

// The best pairs of one series that no coarser series has listed already.
void addSeriesPairs(ResistorSeries series, double exactR1, double exactR2,
                    const WantedRange& wanted, std::vector<StandardPair>& pairs) {
  const std::span<const double> values = seriesValues(series);
  std::vector<StandardPair> candidates;
  for (double r1 : neighbours(values, exactR1)) {
    for (double r2 : neighbours(values, exactR2)) {
      const StandardPair pair = evaluatePair(series, r1, r2, wanted);
      const auto listed = [&](const StandardPair& other) { return sameResistors(pair, other); };
      if (std::none_of(pairs.begin(), pairs.end(), listed)) candidates.push_back(pair);
    }
  }
  std::stable_sort(candidates.begin(), candidates.end(), better);
  candidates.resize(std::min(candidates.size(), kStandardPairsPerSeries));
  pairs.insert(pairs.end(), candidates.begin(), candidates.end());
}

bool usableResistor(double resistance) {
  return std::isfinite(resistance) && resistance > 0;
}

}  // namespace

std::string_view seriesName(ResistorSeries series) {
  switch (series) {
    case ResistorSeries::E24:
      return "E24";
    case ResistorSeries::E96:
      return "E96";
    case ResistorSeries::E192:
      return "E192";
  }
  return {};
}

std::span<const double> seriesValues(ResistorSeries series) {
  static const std::array<std::vector<double>, kAllSeries.size()> kValues{
      buildSeries(ResistorSeries::E24), buildSeries(ResistorSeries::E96),
      buildSeries(ResistorSeries::E192)};
  return kValues[static_cast<std::size_t>(series)];
}

std::vector<StandardPair> nearestStandardPairs(const WantedRange& wanted) {
  if (!(wanted.avdd > 0 && wanted.rset > 0 && wanted.voutMin < wanted.voutMax)) return {};
  const double exactR1 = topResistor(wanted.voutMax, wanted.voutMin, wanted.rset);
  const double exactR2 = bottomResistor(wanted.voutMax, wanted.voutMin, wanted.avdd, wanted.rset);
  if (!usableResistor(exactR1) || !usableResistor(exactR2)) return {};

  std::vector<StandardPair> pairs;
  for (ResistorSeries series : kAllSeries) addSeriesPairs(series, exactR1, exactR2, wanted, pairs);
  // Stable, so that of two pairs equally good the one of the coarser series comes first.
  std::stable_sort(pairs.begin(), pairs.end(), better);
  return pairs;
}
