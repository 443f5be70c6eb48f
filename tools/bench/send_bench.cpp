// Sends of DVR 127, the longest pulse train (770 GPIO calls: the park and 384 steps of two
// reports each), against virtual boards that keep real time like full-speed USB devices, one
// report per 1 ms frame: over the legacy exports, which drain 1 ms before each request, over a
// board handle of the C API, as qv6180 send runs it, and over handles to 1 and to 8 boards at
// once, as qv6180 send --all runs it.
//
//   qv6180_send_bench [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "board_trains.h"
#include "ksthid.h"
#include "library_state.h"
#include "precise_waits.h"
#include "virtual/virtual_transport.h"

namespace qv6180_tool {
namespace {

constexpr int kLongestTrainDvr = 127;

class RealTimeBoards {
 public:
  explicit RealTimeBoards(int boards) {
    for (int board = 0; board < boards; ++board) {
      paths_.push_back("sim:" + std::to_string(board));
      transport_.addBridge(paths_.back());
    }
    ksthid::useTransport(&transport_);
  }
  ~RealTimeBoards() { ksthid::useTransport(nullptr); }

  const std::vector<std::string>& paths() const { return paths_; }

 private:
  PreciseWaits preciseWaits_;
  ksthid::SteadyClock clock_;
  ksthid::VirtualTransport transport_{clock_};
  std::vector<std::string> paths_;
};

// The pulse trains over the legacy exports, as they ran before board handles.
class ExportsPort : public GpioPort {
 public:
  bool setValue(std::uint8_t firstByte, std::uint8_t secondByte) override {
    return kstHID_setGPIOValue(&firstByte, &secondByte, &hidNumber_) == KSTHID_REPORT_WRITTEN;
  }
  bool setConfiguration(std::uint8_t firstByte, std::uint8_t secondByte, bool flag) override {
    std::int16_t configFlag = flag ? KSTHID_TRUE : 0;
    return kstHID_setGPIOConfiguration(&firstByte, &secondByte, &configFlag, &hidNumber_) ==
           KSTHID_REPORT_WRITTEN;
  }

 private:
  std::int16_t hidNumber_ = 0;
};

CounterInterface::End sendLongestTrain(CounterInterface& chip) {
  return chip.send(kLongestTrainDvr);
}

void BM_ExportsSend(benchmark::State& state) {
  RealTimeBoards boards(1);
  kstHID_connect();
  ExportsPort exports;
  for (auto _ : state) {
    CounterInterface chip(exports);
    if (sendLongestTrain(chip) != CounterInterface::End::done) {
      state.SkipWithError("the board did not take a call");
    }
  }
}
BENCHMARK(BM_ExportsSend)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_HandleSend(benchmark::State& state) {
  RealTimeBoards boards(1);
  for (auto _ : state) {
    if (!runOn(boards.paths().front(), sendLongestTrain, [] {}).done) {
      state.SkipWithError("the board did not take a call");
    }
  }
}
BENCHMARK(BM_HandleSend)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The argument is the number of boards.
void BM_SendAll(benchmark::State& state) {
  RealTimeBoards boards(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (const TrainRun& run : runOnEach(boards.paths(), sendLongestTrain, [] {})) {
      if (!run.done) state.SkipWithError("a board did not take a call");
    }
  }
}
BENCHMARK(BM_SendAll)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace qv6180_tool

BENCHMARK_MAIN();
