// 768 GPIO writes (a long pulse train) against a virtual board that keeps
// real time like a full-speed USB device, one report per 1 ms frame: the
// legacy set call, which drains 1 ms before each request, beside
// ksthid_gpio_write, which writes one report and nothing else.
//
//   ksthid_gpio_write_bench [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include "ksthid.h"
#include "ksthid_api.h"
#include "library_state.h"
#include "virtual/virtual_transport.h"

namespace ksthid {
namespace {

constexpr int kWrites = 768;

class RealTimeBoard {
 public:
  RealTimeBoard() {
    transport_.addBridge("sim:0");
    useTransport(&transport_);
  }
  ~RealTimeBoard() { useTransport(nullptr); }

 private:
  SteadyClock clock_;
  VirtualTransport transport_{clock_};
};

void BM_LegacySetGpioValue768(benchmark::State& state) {
  RealTimeBoard board;
  kstHID_connect();
  std::uint8_t first = 0x50, second = 0;
  std::int16_t hidNumber = 0;
  for (auto _ : state) {
    for (int write = 0; write < kWrites; ++write) kstHID_setGPIOValue(&first, &second, &hidNumber);
  }
}
BENCHMARK(BM_LegacySetGpioValue768)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_GpioWrite768(benchmark::State& state) {
  RealTimeBoard board;
  ksthid_board* handle = nullptr;
  if (ksthid_open("sim:0", &handle) != 0) {
    state.SkipWithError("cannot open sim:0");
    return;
  }
  for (auto _ : state) {
    for (int write = 0; write < kWrites; ++write) ksthid_gpio_write(handle, 0x0050);
  }
  ksthid_close(handle);
}
BENCHMARK(BM_GpioWrite768)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace ksthid

BENCHMARK_MAIN();
