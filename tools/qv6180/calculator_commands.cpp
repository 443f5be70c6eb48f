// calc and table: the board's divider worked out with the window's formulas.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "commands.h"
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

void requirePositive(double value, const std::string& message) {
  if (!(value > 0)) tools::refuseArguments(message);
}

// The supply and Rset, checked as the window checks them.
Divider supplyAndRset(const Invocation& run) {
  Divider divider{quantity(run, "--avdd", kDefaultAvdd), quantity(run, "--rset", kDefaultRset)};
  requirePositive(divider.avdd, "AVDD needs to be greater than 0");
  requirePositive(divider.rset, "Rset needs to be greater than 0");
  return divider;
}

Divider fromResistors(const Invocation& run) {
  if (!run.given("--r1") || !run.given("--r2")) {
    tools::refuseArguments("give --r1 and --r2, or --vmax and --vmin");
  }
  Divider divider = supplyAndRset(run);
  divider.r1 = quantity(run, "--r1");
  divider.r2 = quantity(run, "--r2");
  requirePositive(divider.r1, "R1 needs to be greater than 0");
  requirePositive(divider.r2, "R2 needs to be greater than 0");
  return divider;
}

// R1 and R2 for the wanted range, when positive ones exist.
Divider fromRange(const Invocation& run) {
  Divider divider = supplyAndRset(run);
  const double voutMax = quantity(run, "--vmax");
  const double voutMin = quantity(run, "--vmin");
  if (voutMax > divider.avdd) tools::refuseArguments("VOUTmax cannot exceed AVDD");
  if (!(voutMin < voutMax)) tools::refuseArguments("VOUTmin must be lower than VOUTmax");
  divider.r1 = topResistor(voutMax, voutMin, divider.rset);
  divider.r2 = bottomResistor(voutMax, voutMin, divider.avdd, divider.rset);
  if (!(std::isfinite(divider.r1) && divider.r1 > 0 && std::isfinite(divider.r2) &&
        divider.r2 > 0)) {
    tools::refuseArguments("no positive R1 and R2 give VOUTmax " + run.text("--vmax") +
                           " V and VOUTmin " + run.text("--vmin") + " V");
  }
  return divider;
}

// One read-out as the window shows it, and its exact value in the JSON document.
void show(Invocation& run, const char* name, double value, int decimals, const char* unit) {
  char text[64];
  std::snprintf(text, sizeof text, "%s %.*f %s\n", name, decimals, value, unit);
  run.out() << text;
  run.result()[name] = value;
}

// The pairs of standard values nearest to the exact R1 and R2, best first.
void showStandardPairs(Invocation& run, const Divider& divider) {
  const WantedRange wanted{divider.avdd, divider.rset, quantity(run, "--vmax"),
                           quantity(run, "--vmin")};
  auto& listed = run.result()["standardPairs"] = nlohmann::json::array();
  run.out() << "Nearest standard pairs, best first:\n";
  for (const StandardPair& pair : nearestStandardPairs(wanted)) {
    const std::string series(seriesName(pair.series));
    char line[160];
    std::snprintf(line, sizeof line,
                  "%-4s R1 %.6g R2 %.6g VOUTmax %.3f V VOUTmin %.3f V error %.1f mV (%.2f %%)\n",
                  series.c_str(), pair.r1, pair.r2, pair.voutMax, pair.voutMin,
                  pair.errorMillivolts, pair.errorPercent);
    run.out() << line;
    listed.push_back({{"series", series},
                      {"R1", pair.r1},
                      {"R2", pair.r2},
                      {"VOUTmax", pair.voutMax},
                      {"VOUTmin", pair.voutMin},
                      {"errorMillivolts", pair.errorMillivolts},
                      {"errorPercent", pair.errorPercent}});
  }
}

void calc(Invocation& run) {
  const bool fromWantedRange = run.given("--vmax");
  const Divider divider = fromWantedRange ? fromRange(run) : fromResistors(run);
  const auto [avdd, rset, r1, r2] = divider;
  if (fromWantedRange) {
    show(run, "R1", r1, 1, "ohm");
    show(run, "R2", r2, 1, "ohm");
    showStandardPairs(run, divider);
  } else {
    show(run, "VOUTmax", highestVout(avdd, rset, r1, r2), 3, "V");
    show(run, "VOUTmin", lowestVout(avdd, rset, r1, r2), 3, "V");
  }
  if (!run.given("--dvr")) return;
  const int dvr = run.number<int>("--dvr");
  run.out() << "DVR " << dvr << '\n';
  run.result()["DVR"] = dvr;
  show(run, "VCOM", vcomVoltage(avdd, rset, r1, r2, dvr), 3, "V");
  show(run, "IOUT", outputCurrent(avdd, rset, dvr), 5, "A");
  show(run, "VRSET", vrsetVoltage(avdd, rset, dvr), 3, "V");
}

// Every DVR value with its read-outs, precise enough to tell neighbouring values apart.
void table(Invocation& run) {
  const auto [avdd, rset, r1, r2] = fromResistors(run);
  auto& rows = run.result()["rows"] = nlohmann::json::array();
  run.out() << "DVR,VCOM,IOUT,VRSET\n";
  for (int dvr = 0; dvr <= kHighestDvr; ++dvr) {
    const double vcom = vcomVoltage(avdd, rset, r1, r2, dvr);
    const double iout = outputCurrent(avdd, rset, dvr);
    const double vrset = vrsetVoltage(avdd, rset, dvr);
    char line[96];
    std::snprintf(line, sizeof line, "%d,%.6f,%.9f,%.6f\n", dvr, vcom, iout, vrset);
    run.out() << line;
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
