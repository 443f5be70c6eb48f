// calc and table: the board's divider worked out with the window's formulas.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "divider_calculation.h"
#include "divider_formulas.h"
#include "standard_resistors.h"

namespace qv6180_tool {
namespace {

using tools::Invocation;

// The window's defaults.
constexpr const char* kDefaultAvdd = "18";
constexpr const char* kDefaultRset = "10000";

struct Divider {
  double avdd = 0;
  double rset = 0;
  double r1 = 0;
  double r2 = 0;
};

double realFrom(const std::string& text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

CLI::Validator realNumber() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
          return text + " is not a number";
        }
        return {};
      },
      "");
}

void addQuantity(CLI::App& command, const std::string& name, const std::string& description,
                 const char* fallback = nullptr) {
  CLI::Option* option = command.add_option(name)->description(description)->check(realNumber());
  option->type_name(fallback ? "X=" + std::string(fallback) : "X");
}

double quantity(const Invocation& run, const std::string& name, const char* fallback = "") {
  return realFrom(run.text(name, fallback));
}

// The values of a calculation, or the refusal that says why there are none.
template <typename Values>
Values computed(Calculated<Values> calculated) {
  if (!calculated.ok()) tools::refuseArguments(std::string(faultText(calculated.fault)));
  return std::move(calculated.values);
}

// `missing` says what the command takes when a resistor is not given.
Divider fromResistors(const Invocation& run, const std::string& missing) {
  if (!run.given("--r1") || !run.given("--r2")) tools::refuseArguments(missing);
  return {quantity(run, "--avdd", kDefaultAvdd), quantity(run, "--rset", kDefaultRset),
          quantity(run, "--r1"), quantity(run, "--r2")};
}

WantedRange wantedRange(const Invocation& run) {
  return {quantity(run, "--avdd", kDefaultAvdd), quantity(run, "--rset", kDefaultRset),
          quantity(run, "--vmax"), quantity(run, "--vmin")};
}

// printf's notation, however long the number.
template <typename... Values>
std::string formatted(const char* format, Values... values) {
  std::string text(static_cast<std::size_t>(std::snprintf(nullptr, 0, format, values...)), '\0');
  std::snprintf(text.data(), text.size() + 1, format, values...);
  return text;
}

// One read-out as the window shows it, and its exact value in the JSON document.
void show(Invocation& run, const char* name, double value, int decimals, const char* unit) {
  run.out() << formatted("%s %.*f %s\n", name, decimals, value, unit);
  run.result()[name] = value;
}

// The pairs of standard values nearest to the exact R1 and R2, best first.
void showStandardPairs(Invocation& run, const std::vector<StandardPair>& pairs) {
  auto& listed = run.result()["standardPairs"] = nlohmann::json::array();
  if (pairs.empty()) {
    run.out() << "No standard pair is near: R1 or R2 lies beyond 1 ohm to 10 Mohm\n";
    return;
  }
  run.out() << "Nearest standard pairs, best first:\n";
  for (const StandardPair& pair : pairs) {
    const std::string series(seriesName(pair.series));
    run.out() << formatted(
        "%-4s R1 %.6g R2 %.6g VOUTmax %.3f V VOUTmin %.3f V error %.1f mV (%.2f %%)\n",
        series.c_str(), pair.r1, pair.r2, pair.voutMax, pair.voutMin, pair.errorMillivolts,
        pair.errorPercent);
    listed.push_back({{"series", series},
                      {"R1", pair.r1},
                      {"R2", pair.r2},
                      {"VOUTmax", pair.voutMax},
                      {"VOUTmin", pair.voutMin},
                      {"errorMillivolts", pair.errorMillivolts},
                      {"errorPercent", pair.errorPercent}});
  }
}

// Everything is worked out before anything is written: a refusal leaves no partial output.
void calc(Invocation& run) {
  Divider divider;
  std::optional<std::vector<StandardPair>> pairs;
  std::optional<OutputRange> range;
  if (run.given("--vmax")) {
    const WantedRange wanted = wantedRange(run);
    const DividerResistors resistors = computed(resistorsFromRange(wanted));
    divider = {wanted.avdd, wanted.rset, resistors.r1, resistors.r2};
    pairs = computed(standardPairsFor(wanted));
  } else {
    divider = fromResistors(run, "give --r1 and --r2, or --vmax and --vmin");
    range = computed(rangeFromResistors(divider.avdd, divider.rset, divider.r1, divider.r2));
  }
  const auto [avdd, rset, r1, r2] = divider;
  const bool atDvr = run.given("--dvr");
  const int dvr = atDvr ? run.number<int>("--dvr") : 0;
  const DvrReadouts readouts = computed(readoutsAt(avdd, rset, r1, r2, dvr));
  if (pairs) {
    show(run, "R1", r1, 1, "ohm");
    show(run, "R2", r2, 1, "ohm");
    showStandardPairs(run, *pairs);
  } else {
    show(run, "VOUTmax", range->voutMax, 3, "V");
    show(run, "VOUTmin", range->voutMin, 3, "V");
  }
  if (!atDvr) return;
  run.out() << "DVR " << dvr << '\n';
  run.result()["DVR"] = dvr;
  show(run, "VCOM", readouts.vcom, 3, "V");
  show(run, "IOUT", readouts.iout, 5, "A");
  show(run, "VRSET", readouts.vrset, 3, "V");
}

// Every DVR value with its read-outs, precise enough to tell neighbouring values apart.
void table(Invocation& run) {
  const auto [avdd, rset, r1, r2] = fromResistors(run, "give --r1 and --r2");
  std::vector<DvrReadouts> readouts;
  for (int dvr = 0; dvr <= kHighestDvr; ++dvr) {
    readouts.push_back(computed(readoutsAt(avdd, rset, r1, r2, dvr)));
  }
  auto& rows = run.result()["rows"] = nlohmann::json::array();
  run.out() << "DVR,VCOM,IOUT,VRSET\n";
  for (int dvr = 0; dvr <= kHighestDvr; ++dvr) {
    const auto [vcom, iout, vrset] = readouts[static_cast<std::size_t>(dvr)];
    run.out() << formatted("%d,%.6f,%.9f,%.6f\n", dvr, vcom, iout, vrset);
    rows.push_back({{"DVR", dvr}, {"VCOM", vcom}, {"IOUT", iout}, {"VRSET", vrset}});
  }
}

void addDividerOptions(CLI::App& command) {
  addQuantity(command, "--avdd", "The supply AVDD in volts", kDefaultAvdd);
  addQuantity(command, "--rset", "Rset in ohms", kDefaultRset);
  addQuantity(command, "--r1", "R1, from AVDD to VCOM, in ohms");
  addQuantity(command, "--r2", "R2, from VCOM to ground, in ohms");
}

}  // namespace

void addCalculatorCommands(tools::CommandSet& set) {
  CLI::App* calculating = set.add(
      set.root(), "calc", "VOUTmax and VOUTmin from R1 and R2, or R1 and R2 from the range", calc);
  addDividerOptions(*calculating);
  addQuantity(*calculating, "--vmax", "Wanted VOUTmax in volts, in place of the resistors");
  addQuantity(*calculating, "--vmin", "Wanted VOUTmin in volts, in place of the resistors");
  tools::addNumber(*calculating, "--dvr", "Also VCOM, IOUT and VRSET at this DVR value", 0,
                   kHighestDvr);
  auto* vmax = calculating->get_option("--vmax");
  auto* vmin = calculating->get_option("--vmin");
  vmax->needs(vmin);
  vmin->needs(vmax);
  for (const char* resistor : {"--r1", "--r2"}) vmax->excludes(calculating->get_option(resistor));

  CLI::App* tabulating =
      set.add(set.root(), "table", "CSV of VCOM, IOUT and VRSET for DVR 0 to 255", table);
  addDividerOptions(*tabulating);
}

}  // namespace qv6180_tool
