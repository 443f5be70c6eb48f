// send and store: the pulse trains of the counter interface, as the window sends them, on one
// board or on every attached board at once.
#include <iostream>
#include <mutex>

#include "board_trains.h"
#include "commands.h"
#include "divider_formulas.h"
#include "precise_waits.h"
#include "progress.h"
#include "system.h"

namespace qv6180_tool {
namespace {

using tools::ExitStatus;
using tools::Invocation;

// What a train left behind on a board that did not take all of its calls.
struct Stopped {
  std::string what;
  std::string consequence;
};

[[noreturn]] void stop(const Stopped& stopped, const std::string& where, const TrainRun& run,
                       int calls) {
  throw tools::ToolError(ExitStatus::usbFailure,
                         stopped.what + where + " stopped after " + std::to_string(run.calls) +
                             " of " + std::to_string(calls) + " calls: " + stopped.consequence);
}

// Runs one pulse train on the board asked for, with a progress bar on a terminal that knows the
// train's end from its dry run. A call the board did not take ends the train and the command.
// The number of calls.
int runTrain(Invocation& run, const Stopped& stopped, const Train& train) {
  const int calls = callsOf(train);
  const std::string path = run.boardPath();
  const PreciseWaits preciseWaits;
  Progress progress(std::cerr, tools::standardErrorIsTerminal(), calls);
  const TrainRun ran = runOn(path, train, [&progress] { progress.advance(); });
  progress.finish();
  if (!ran.done) stop(stopped, "", ran, calls);
  run.result()["calls"] = calls;
  return calls;
}

// Runs the train on every attached board at once, one thread each, with one progress bar for
// all. When a board did not take a call the command fails, naming the first such board. The
// number of boards.
std::size_t runTrainOnAll(Invocation& run, const Stopped& stopped, const Train& train) {
  const int calls = callsOf(train);
  const std::vector<std::string> paths = tools::numberedBoardPaths();
  if (paths.empty()) throw tools::ToolError(ExitStatus::noSuchBoard, "no board attached");
  const PreciseWaits preciseWaits;
  Progress progress(std::cerr, tools::standardErrorIsTerminal(),
                    calls * static_cast<int>(paths.size()));
  std::mutex progressMutex;
  const auto advance = [&] {
    std::lock_guard hold(progressMutex);
    progress.advance();
  };
  const std::vector<TrainRun> runs = runOnEach(paths, train, advance);
  progress.finish();
  // Every board that did not take all of its calls is named: each one's register is unknown.
  std::string unfinished;
  for (std::size_t board = 0; board < paths.size(); ++board) {
    if (runs[board].done) continue;
    unfinished += (unfinished.empty() ? " on " : ", on ") + paths[board] + " after " +
                  std::to_string(runs[board].calls);
  }
  if (!unfinished.empty()) {
    throw tools::ToolError(ExitStatus::usbFailure, stopped.what + " stopped" + unfinished + " of " +
                                                       std::to_string(calls) +
                                                       " calls: " + stopped.consequence);
  }
  run.result()["calls"] = calls;
  run.result()["boards"] = paths.size();
  return paths.size();
}

void send(Invocation& run) {
  const bool everyBoard = run.given("--all");
  if (!everyBoard && !run.given("DVR")) tools::refuseArguments("DVR is required");
  const int dvr = run.number<int>(everyBoard ? "--all" : "DVR");
  const Stopped stopped{"the send", "the DVR register's value is unknown"};
  const Train train = [dvr](CounterInterface& chip) { return chip.send(dvr); };
  run.out() << "DVR " << dvr << " (" << tools::hexByte(dvr) << ") sent";
  if (everyBoard) {
    const std::size_t boards = runTrainOnAll(run, stopped, train);
    run.out() << " to " << boards << (boards == 1 ? " board" : " boards") << " in "
              << callsOf(train) << " calls each\n";
  } else {
    run.out() << " in " << runTrain(run, stopped, train) << " calls\n";
  }
  run.result()["dvr"] = dvr;
}

void store(Invocation& run) {
  runTrain(run, {"the store", "the EEPROM may hold the old value or none"},
           [](CounterInterface& chip) { return chip.store(); });
  run.out() << "DVR register stored in the EEPROM\n";
  run.result()["stored"] = "DVR register";
}

}  // namespace

void addChipCommands(tools::CommandSet& set) {
  CLI::App* sending = set.add(set.root(), "send", "Bring the chip's DVR register to DVR", send);
  CLI::Option* dvr = tools::addNumber(*sending, "DVR", "The register value", 0, kHighestDvr);
  tools::addNumber(*sending, "--all", "Bring the chip of every attached board to DVR at once", 0,
                   kHighestDvr)
      ->type_name("DVR")
      ->excludes(dvr);
  set.add(set.root(), "store", "Copy the DVR register into the chip's EEPROM", store);
}

}  // namespace qv6180_tool
