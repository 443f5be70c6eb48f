#include <benchmark/benchmark.h>

#include "divider_model.h"
#include "plain_number_text.h"

namespace {

// What runs for each DVR step of a key or the mouse wheel, without the window that carries the
// updates out.
void recalculationPerDvrStep(benchmark::State& state) {
  const PlainNumberText numbers;
  const DividerModel model(numbers);
  CalculatorInputs inputs{{"18", "10000", "24900", "39200", "12", "10", "0", "0", "0"}, 0, true};
  for (auto _ : state) {
    benchmark::DoNotOptimize(model.updateResistorsFromRange(inputs));
    inputs.dvr = (inputs.dvr + 1) % 256;
  }
}
BENCHMARK(recalculationPerDvrStep)->Unit(benchmark::kMicrosecond);

}  // namespace
