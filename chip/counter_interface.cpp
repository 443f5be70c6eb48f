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

void CounterInterface::address(std::int16_t hidNumber) {
  hidNumber_ = hidNumber;
  atRest_ = false;
}

void CounterInterface::park() {
  atRest_ = true;
  setValue(kValueAtRest);
  setConfiguration(kConfigurationAtRest);
}

// From the nearer end the fewer steps are needed: at most 127 after the run to the end.
bool CounterInterface::send(int target, const Progress& progress) {
  if (!atRest_) park();
  const bool fromTheTop = target >= kMiddleDvr;
  const Step toTheEnd = fromTheTop ? &CounterInterface::upStep : &CounterInterface::downStep;
  const Step back = fromTheTop ? &CounterInterface::downStep : &CounterInterface::upStep;
  const int stepsBack =
      fromTheTop ? kHighestDvr - std::min(target, kHighestDvr) : std::max(target, 0);
  const int inAll = kStepsToAnEnd + stepsBack;
  for (int done = 0; done < inAll; ++done) {
    if (!(this->*(done < kStepsToAnEnd ? toTheEnd : back))()) return false;
    if (progress) progress(done + 1, inAll);
  }
  return true;
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
