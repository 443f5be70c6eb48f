#include "virtual_i2c_bus.h"

namespace ksthid {
namespace {

constexpr int kMaxClockPulses = 9;

}  // namespace

void VirtualI2CMemory::write(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return;
  pointer_ = bytes.front() % bytes_.size();
  for (const std::uint8_t byte : bytes.subspan(1)) {
    bytes_[pointer_] = byte;
    pointer_ = (pointer_ + 1) % bytes_.size();
  }
}

void VirtualI2CMemory::read(std::span<std::uint8_t> into) {
  for (std::uint8_t& byte : into) {
    byte = bytes_[pointer_];
    pointer_ = (pointer_ + 1) % bytes_.size();
  }
}

VirtualI2CBus::VirtualI2CBus() {
  devices_.emplace(kVirtualEepromAddress, 256);
  devices_.emplace(kVirtualRegisterFileAddress, 16);
}

std::uint8_t VirtualI2CBus::write(std::uint8_t address, std::span<const std::uint8_t> bytes) {
  if (clocksUntilSdaReleased_ > 0) return kI2CBusBusy;
  VirtualI2CMemory* device = addressed(address);
  if (!device) return kI2CNotAcknowledged;
  device->write(bytes);
  return kStatusDone;
}

std::uint8_t VirtualI2CBus::read(std::uint8_t address, std::span<const std::uint8_t> registerBytes,
                                 std::span<std::uint8_t> into) {
  if (clocksUntilSdaReleased_ > 0) return kI2CBusBusy;
  VirtualI2CMemory* device = addressed(address);
  if (!device) return kI2CNotAcknowledged;
  // The register address goes out as a write, then a repeated start reads.
  device->write(registerBytes);
  device->read(into);
  return kStatusDone;
}

std::uint8_t VirtualI2CBus::clockFree() {
  int pulses = 0;
  while (clocksUntilSdaReleased_ > 0 && pulses < kMaxClockPulses) {
    ++pulses;
    if (clocksUntilSdaReleased_ <= kMaxClockPulses) --clocksUntilSdaReleased_;
  }
  const bool sdaLow = clocksUntilSdaReleased_ > 0;
  return static_cast<std::uint8_t>(pulses << 1 | (sdaLow ? 1 : 0));
}

VirtualI2CMemory* VirtualI2CBus::addressed(std::uint8_t address) {
  const auto found = devices_.find(address);
  return found == devices_.end() ? nullptr : &found->second;
}

}  // namespace ksthid
