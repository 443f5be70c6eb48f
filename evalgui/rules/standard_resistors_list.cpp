#include "standard_resistors_list.h"

#include <cmath>

namespace {

constexpr int kVoltageDecimals = 3;
constexpr int kMillivoltDecimals = 1;
constexpr int kPercentDecimals = 2;
// Standard values have three significant digits.
constexpr int kResistorDigits = 3;
constexpr double kPrefixStep = 1000;

double roundedToDigits(double value, int digits) {
  if (value == 0) return 0;
  const double scale = std::pow(10.0, digits - 1 - static_cast<int>(std::floor(std::log10(value))));
  return std::round(value * scale) / scale;
}

}  // namespace

StandardResistorsList::StandardResistorsList(const WantedRange& wanted, const NumberText& numbers)
    : numbers_(numbers), pairs_(nearestStandardPairs(wanted)) {
  heading_ = pairs_.empty()
                 ? "No standard resistors give this range."
                 : "Nearest pairs for VOUTmax " + numbers_.fixed(wanted.voutMax, kVoltageDecimals) +
                       " V to VOUTmin " + numbers_.fixed(wanted.voutMin, kVoltageDecimals) +
                       " V at AVDD " + numbers_.general(wanted.avdd) + " V, Rset " +
                       numbers_.general(wanted.rset) + " ohm:";
}

StandardResistorsList::RowTexts StandardResistorsList::rowTexts(std::size_t row) const {
  const StandardPair& pair = pairs_.at(row);
  return {std::string(seriesName(pair.series)),
          resistorText(pair.r1),
          resistorText(pair.r2),
          numbers_.fixed(pair.voutMax, kVoltageDecimals),
          numbers_.fixed(pair.voutMin, kVoltageDecimals),
          numbers_.fixed(pair.errorMillivolts, kMillivoltDecimals),
          numbers_.fixed(pair.errorPercent, kPercentDecimals)};
}

std::optional<StandardPair> StandardResistorsList::pairAt(int row) const {
  if (row < 0 || row >= static_cast<int>(pairs_.size())) return std::nullopt;
  return pairs_[static_cast<std::size_t>(row)];
}

// As resistors are marked: 470, 4.7k, 24.9k, 1.02M.
std::string StandardResistorsList::resistorText(double ohms) const {
  static constexpr std::array kPrefixes{"", "k", "M"};
  std::size_t prefix = 0;
  while (ohms >= kPrefixStep && prefix + 1 < kPrefixes.size()) {
    ohms /= kPrefixStep;
    ++prefix;
  }
  return numbers_.general(roundedToDigits(ohms, kResistorDigits)) + kPrefixes[prefix];
}
