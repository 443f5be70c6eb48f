// send and store: the pulse trains of the counter interface, as the window sends them.
#include <iostream>

#include "commands.h"
#include "counter_interface.h"
#include "divider_formulas.h"
#include "linked_bridge.h"
#include "precise_waits.h"
#include "progress.h"
#include "system.h"

namespace qv6180_tool {
namespace {

using tools::ExitStatus;
using tools::Invocation;

// Runs one pulse train on the board with a progress bar on a terminal. The number of calls is
// learnt from a dry run of the same train, so that the bar knows its end. A call the board did
// not take ends the train and the command; `consequence` says what that leaves behind.
template <typename RunTrain>
void runTrain(Invocation& run, const std::string& what, const std::string& consequence,
              RunTrain train) {
  CallCounter counter;
  CounterInterface dryRun(counter, 0);
  train(dryRun);

  const std::int16_t board = run.board();
  askForPreciseWaits();
  Progress progress(std::cerr, tools::standardErrorIsTerminal(), counter.calls());
  LinkedBridge bridge([&progress] { progress.advance(); });
  CounterInterface chip(bridge, board);
  const bool done = train(chip);
  progress.finish();
  if (!done) {
    const auto& box = run.boxes().failure();
    throw tools::ToolError(box ? box->status : ExitStatus::usbFailure,
                           what + " stopped after " + std::to_string(progress.done()) + " of " +
                               std::to_string(counter.calls()) + " calls: " + consequence);
  }
  run.result()["calls"] = progress.done();
}

void send(Invocation& run) {
  const int dvr = run.number<int>("DVR");
  runTrain(run, "the send", "the DVR register's value is unknown",
           [dvr](CounterInterface& chip) { return chip.send(dvr); });
  run.out() << "DVR " << dvr << " (" << tools::hexByte(dvr) << ") sent in " << run.result()["calls"]
            << " calls\n";
  run.result()["dvr"] = dvr;
}

void store(Invocation& run) {
  runTrain(run, "the store", "the EEPROM may hold the old value or none",
           [](CounterInterface& chip) { return chip.store(); });
  run.out() << "DVR register stored in the EEPROM\n";
}

}  // namespace

void addChipCommands(tools::CommandSet& set) {
  CLI::App* sending = set.add(set.root(), "send", "Bring the chip's DVR register to DVR", send);
  tools::addNumber(*sending, "DVR", "The register value", 0, kHighestDvr)->required();
  set.add(set.root(), "store", "Copy the DVR register into the chip's EEPROM", store);
}

}  // namespace qv6180_tool
