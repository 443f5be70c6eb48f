#include "board_trains.h"

#include <memory>
#include <thread>

#include "board_gpio_port.h"
#include "counting_gpio_port.h"

namespace qv6180_tool {

int callsOf(const Train& train) {
  CountingGpioPort counter;
  CounterInterface dryRun(counter);
  train(dryRun);
  return counter.calls();
}

TrainRun runOn(const std::string& path, const Train& train,
               const std::function<void()>& afterCall) {
  ksthid_board* opened = nullptr;
  if (ksthid_open(path.c_str(), &opened) != 0) return {};
  const std::unique_ptr<ksthid_board, decltype(&ksthid_close)> board(opened, &ksthid_close);
  TrainRun run;
  BoardGpioPort pins(board.get(), [&] {
    ++run.calls;
    afterCall();
  });
  CounterInterface chip(pins);
  run.done = train(chip) == CounterInterface::End::done;
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
