// What one command costs the library beyond the transport, against a virtual
// board on the virtual clock: the waits cost no time, so what is measured is
// the library's own work plus the virtual transport's.
#include <benchmark/benchmark.h>

#include "ksthid.h"
#include "library_state.h"
#include "virtual/virtual_transport.h"

namespace ksthid {
namespace {

class OneBoard {
 public:
  OneBoard() {
    transport_.addBridge("sim:0");
    useTransport(&transport_);
    kstHID_connect();
  }
  ~OneBoard() { useTransport(nullptr); }
  VirtualTransport& transport() { return transport_; }

 private:
  VirtualClock clock_;
  VirtualTransport transport_{clock_, Microseconds(0)};
};

void BM_SetGpioValue(benchmark::State& state) {
  OneBoard board;
  std::uint8_t first = 0x50, second = 0;
  std::int16_t hidNumber = 0;
  for (auto _ : state) benchmark::DoNotOptimize(kstHID_setGPIOValue(&first, &second, &hidNumber));
}
BENCHMARK(BM_SetGpioValue);

void BM_GetGpioValue(benchmark::State& state) {
  OneBoard board;
  SAFEARRAY* values = nullptr;
  std::int16_t flag = 0, hidNumber = 0;
  for (auto _ : state) benchmark::DoNotOptimize(kstHID_getGPIOValue(&values, &flag, &hidNumber));
  SafeArrayDestroy(values);
}
BENCHMARK(BM_GetGpioValue);

// The floor: one report written straight to the virtual transport.
void BM_BareTransportWrite(benchmark::State& state) {
  OneBoard board;
  Report report{1, 3, 0, 0x50};
  const std::unique_ptr<DeviceHandle> device = board.transport().open("sim:0");
  for (auto _ : state) benchmark::DoNotOptimize(device->write(report));
}
BENCHMARK(BM_BareTransportWrite);

}  // namespace
}  // namespace ksthid

BENCHMARK_MAIN();
