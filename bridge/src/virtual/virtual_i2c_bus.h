// The I2C bus behind the virtual bridge: a 256-byte EEPROM at 0x50 and a
// 16-byte register file at 0x20, and a slave that can hold SDA low.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "../protocol.h"

namespace ksthid {

// Why a transaction failed, in the status byte of its answer.
inline constexpr std::uint8_t kI2CNotAcknowledged = 0x01;
inline constexpr std::uint8_t kI2CBusBusy = 0x02;

inline constexpr std::uint8_t kVirtualEepromAddress = 0x50;
inline constexpr std::uint8_t kVirtualRegisterFileAddress = 0x20;

// A device of `size` bytes behind a register pointer, as serial EEPROMs and
// register files are: the first byte of a write sets the pointer and the
// bytes after it are stored from there on; a read goes on from the pointer.
// The pointer wraps at the end.
class VirtualI2CMemory {
 public:
  explicit VirtualI2CMemory(std::size_t size) : bytes_(size) {}

  void write(std::span<const std::uint8_t> bytes);
  void read(std::span<std::uint8_t> into);
  std::vector<std::uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t pointer_ = 0;
};

class VirtualI2CBus {
 public:
  VirtualI2CBus();

  // One transaction each, addressed by the 7-bit address; the status byte.
  std::uint8_t write(std::uint8_t address, std::span<const std::uint8_t> bytes);
  std::uint8_t read(std::uint8_t address, std::span<const std::uint8_t> registerBytes,
                    std::span<std::uint8_t> into);

  // A slave stopped in the middle of a byte holds SDA low until it has seen
  // `clocks` more SCL pulses; more than nine and it never lets go.
  void holdSdaLow(int clocks) { clocksUntilSdaReleased_ = clocks; }
  // Clocks SCL until SDA is released, nine pulses at most. Bit 0: SDA is
  // still low; bits 1 to 4: the pulses given.
  std::uint8_t clockFree();

  VirtualI2CMemory& device(std::uint8_t address) { return devices_.at(address); }

 private:
  VirtualI2CMemory* addressed(std::uint8_t address);

  std::map<std::uint8_t, VirtualI2CMemory> devices_;
  int clocksUntilSdaReleased_ = 0;
};

}  // namespace ksthid
