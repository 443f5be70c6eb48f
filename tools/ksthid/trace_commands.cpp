// trace vcd: a packet trace drawn as a waveform.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "commands.h"
#include "trace_vcd.h"

namespace ksthid_tool {
namespace {

void convertToVcd(tools::Invocation& run) {
  const std::string traceFile = run.text("TRACE");
  std::ifstream opened;
  if (traceFile != "-") opened.open(traceFile, std::ios::binary);
  // A folder opens as a stream that reads as empty.
  if (traceFile != "-" && (!opened || std::filesystem::is_directory(traceFile))) {
    tools::refuseInput("cannot read the trace " + traceFile);
  }
  std::ostringstream vcd;
  try {
    writeVcd(traceFile == "-" ? std::cin : opened, vcd,
             {.registerVectors = run.given("--vectors")});
  } catch (const MalformedTrace& error) {
    const std::string name = traceFile == "-" ? "standard input" : traceFile;
    tools::refuseInput(name + ": " + error.what());
  }

  const std::string output = run.text("OUTPUT", "-");
  if (output == "-") {
    run.out() << vcd.str();
    run.result()["vcd"] = vcd.str();
    return;
  }
  std::ofstream file(output, std::ios::binary);
  if (!(file << vcd.str()).flush()) tools::refuseInput("cannot write " + output);
  run.result()["output"] = output;
}

}  // namespace

void addTraceCommands(tools::CommandSet& set) {
  CLI::App* trace = set.add(set.root(), "trace", "Packet traces (KSTHID_TRACE, --trace)");
  CLI::App* vcd =
      set.add(*trace, "vcd", "Draw the GPIO pins of a trace as a Value Change Dump", convertToVcd);
  vcd->add_option("TRACE")->description("The packet trace (- for standard input)")->required();
  vcd->add_option("OUTPUT")->description("The VCD file (default - for standard output)");
  vcd->add_flag("--vectors")
      ->description("The chip's register and EEPROM as 8-bit vectors (not for sigrok 0.5)");
}

}  // namespace ksthid_tool
