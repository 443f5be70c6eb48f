#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

// The preferred-number series in which resistors are sold (IEC 60063): E24 (5 % parts), E96 (1 %)
// and E192 (0.5 % and better).
enum class ResistorSeries { E24, E96, E192 };

std::string_view seriesName(ResistorSeries series);

// Every value of the series from 1 ohm to 10 Mohm, ascending, in ohms.
std::span<const double> seriesValues(ResistorSeries series);

// The range the calculator is asked for: VOUTmax at DVR 0 down to VOUTmin at DVR 255.
struct WantedRange {
  double avdd = 0;
  double rset = 0;
  double voutMax = 0;
  double voutMin = 0;
};

// A divider built from standard values and the range it gives. The error is the larger of the
// deviations of its two ends from the wanted ones, in millivolts and as a share of the wanted
// range's width, so that it says how much of the DVR span is lost.
struct StandardPair {
  ResistorSeries series = ResistorSeries::E24;
  double r1 = 0;
  double r2 = 0;
  double voutMax = 0;
  double voutMin = 0;
  double errorMillivolts = 0;
  double errorPercent = 0;
};

// Each series contributes its best few pairs.
inline constexpr std::size_t kStandardPairsPerSeries = 3;
inline constexpr std::size_t kMostStandardPairs = 3 * kStandardPairsPerSeries;

// The pairs of each series nearest to the exact R1 and R2 of the wanted range, best first. A pair
// whose values all belong to a coarser series is listed once, under that series. A range that no
// positive R1 and R2 can give (VOUTmin not below VOUTmax, VOUTmax too close to AVDD, a supply or
// an Rset that is not positive) has no pairs.
std::vector<StandardPair> nearestStandardPairs(const WantedRange& wanted);
