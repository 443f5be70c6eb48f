#include "board_trains.h"

#include <thread>

#include "linked_bridge.h"

namespace qv6180_tool {

int callsOf(const Train& train) {
  CallCounter counter;
  CounterInterface dryRun(counter, 0);
  train(dryRun);
  return counter.calls();
}

TrainRun runOn(const std::string& path, const Train& train,
               const std::function<void()>& afterCall) {
  const OpenBoard board = openBoard(path);
  if (!board) return {};
  TrainRun run;
  LinkedBridge bridge(board.get(), [&] {
    ++run.calls;
    afterCall();
  });
  CounterInterface chip(bridge, 0);
  run.done = train(chip);
  return run;
}

std::vector<TrainRun> runOnEach(const std::vector<std::string>& paths, const Train& train,
                                const std::function<void()>& afterCall) {
  std::vector<TrainRun> runs(paths.size());
  std::vector<std::jthread> trains;
  for (std::size_t board = 0; board < paths.size(); ++board) {
    trains.emplace_back([&, board] { runs[board] = runOn(paths[board], train, afterCall); });
  }
  trains.clear();  // joins them
  return runs;
}

}  // namespace qv6180_tool
