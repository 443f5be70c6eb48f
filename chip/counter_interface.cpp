#include "counter_interface.h"

#include <algorithm>
#include <cstdlib>

#include "divider_formulas.h"

namespace {

constexpr std::uint8_t kValueAtRest = 0x50;
constexpr std::uint8_t kValueCounterLow = 0x10;
constexpr std::uint8_t kValueStoreHigh = 0x70;
constexpr std::uint8_t kConfigurationAtRest = 0xBF;
constexpr std::uint8_t kConfigurationCounterDriven = 0xFF;
constexpr std::uint8_t kSecondValue = 0x00;
constexpr std::uint8_t kSecondConfiguration = 0xFF;

constexpr int kMiddleDvr = 128;
// Enough steps to reach an end of the range from any value.
constexpr int kStepsToAnEnd = kHighestDvr + 2;

int stepsBackFromTheEnd(int target) {
  return target >= kMiddleDvr ? kHighestDvr - std::min(target, kHighestDvr) : std::max(target, 0);
}

}  // namespace

CounterInterface::CounterInterface(GpioPort& port) : port_(port) {}

void CounterInterface::portChanged() {
  atRest_ = false;
}

bool CounterInterface::park() {
  atRest_ = true;
  const bool valueTaken = setValue(kValueAtRest);
  const bool configurationTaken = setConfiguration(kConfigurationAtRest);
  return valueTaken && configurationTaken;
}

// From the nearer end the fewer steps are needed: at most 127 after the run to the end.
CounterInterface::End CounterInterface::send(int target, const Progress& progress) {
  const bool fromTheTop = target >= kMiddleDvr;
  const Step toTheEnd = fromTheTop ? &CounterInterface::upStep : &CounterInterface::downStep;
  const Step back = fromTheTop ? &CounterInterface::downStep : &CounterInterface::upStep;
  return run(toTheEnd, kStepsToAnEnd, back, stepsBackFromTheEnd(target), progress);
}

CounterInterface::End CounterInterface::step(int from, int to, const Progress& progress) {
  const Step toward = to > from ? &CounterInterface::upStep : &CounterInterface::downStep;
  return run(toward, std::abs(to - from), toward, 0, progress);
}

CounterInterface::End CounterInterface::store() {
  if (!atRest_) park();
  return setValue(kValueStoreHigh) && setValue(kValueAtRest) ? End::done : End::notTaken;
}

CounterInterface::End CounterInterface::run(Step first, int firstSteps, Step then, int thenSteps,
                                            const Progress& progress) {
  if (!atRest_) park();
  const int inAll = firstSteps + thenSteps;
  for (int done = 0; done < inAll; ++done) {
    if (!(this->*(done < firstSteps ? first : then))()) return End::notTaken;
    if (progress && !progress(done + 1, inAll)) return End::stopped;
  }
  return End::done;
}

bool CounterInterface::upStep() {
  return setValue(kValueCounterLow) && setValue(kValueAtRest);
}

bool CounterInterface::downStep() {
  return setConfiguration(kConfigurationCounterDriven) && setConfiguration(kConfigurationAtRest);
}

bool CounterInterface::setValue(std::uint8_t valueByte1) {
  return taken(port_.setValue(valueByte1, kSecondValue));
}

bool CounterInterface::setConfiguration(std::uint8_t configByte1) {
  return taken(port_.setConfiguration(configByte1, kSecondConfiguration, true));
}

bool CounterInterface::taken(bool written) {
  atRest_ = atRest_ && written;
  return written;
}
