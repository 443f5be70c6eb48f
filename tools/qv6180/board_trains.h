// Pulse trains run on boards opened by path through the library's C API: on one board, or on
// several at once, one thread each.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "counter_interface.h"

namespace qv6180_tool {

using Train = std::function<CounterInterface::End(CounterInterface&)>;

// How far a train got on one board.
struct TrainRun {
  bool done = false;
  // Counting the call the board did not take.
  int calls = 0;
};

// The number of calls a train makes, from a dry run of it.
int callsOf(const Train& train);

// Runs the train on the board at `path`, telling `afterCall` of each call. A board that cannot be
// opened takes no call.
TrainRun runOn(const std::string& path, const Train& train, const std::function<void()>& afterCall);

// Runs the train on every board at once, each in a thread of its own; `afterCall` is called from
// all of them.
std::vector<TrainRun> runOnEach(const std::vector<std::string>& paths, const Train& train,
                                const std::function<void()>& afterCall);

}  // namespace qv6180_tool
