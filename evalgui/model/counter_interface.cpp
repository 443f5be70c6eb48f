#include "counter_interface.h"

#include <algorithm>

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

}  // namespace

CounterInterface::CounterInterface(BridgeLibrary& library, std::int16_t hidNumber)
    : library_(library), hidNumber_(hidNumber) {}

void CounterInterface::park() {
  atRest_ = true;
  setValue(kValueAtRest);
  setConfiguration(kConfigurationAtRest);
}

// From the nearer end the fewer steps are needed: at most 127 after the run to the end.
bool CounterInterface::send(int target) {
  if (!atRest_) park();
  if (target >= kMiddleDvr) {
    return steps(kStepsToAnEnd, &CounterInterface::upStep) &&
           steps(kHighestDvr - std::min(target, kHighestDvr), &CounterInterface::downStep);
  }
  return steps(kStepsToAnEnd, &CounterInterface::downStep) &&
         steps(std::max(target, 0), &CounterInterface::upStep);
}

bool CounterInterface::store() {
  if (!atRest_) park();
  return setValue(kValueStoreHigh) && setValue(kValueAtRest);
}

bool CounterInterface::upStep() {
  return setValue(kValueCounterLow) && setValue(kValueAtRest);
}

bool CounterInterface::downStep() {
  return setConfiguration(kConfigurationCounterDriven) && setConfiguration(kConfigurationAtRest);
}

bool CounterInterface::steps(int count, Step step) {
  for (int i = 0; i < count; ++i) {
    if (!(this->*step)()) return false;
  }
  return true;
}

bool CounterInterface::setValue(std::uint8_t valueByte1) {
  return taken(library_.setGPIOValue(valueByte1, kSecondValue, hidNumber_));
}

bool CounterInterface::setConfiguration(std::uint8_t configByte1) {
  return taken(library_.setGPIOConfiguration(configByte1, kSecondConfiguration,
                                             BridgeLibrary::kTrue, hidNumber_));
}

bool CounterInterface::taken(std::optional<std::int16_t> result) {
  const bool written = result == BridgeLibrary::kReportWritten;
  atRest_ = atRest_ && written;
  return written;
}
