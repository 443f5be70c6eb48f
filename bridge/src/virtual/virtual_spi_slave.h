// The SPI slave on the virtual board: a 256-byte serial memory.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace ksthid {

inline constexpr std::uint8_t kSpiMemoryWrite = 0x02;
inline constexpr std::uint8_t kSpiMemoryRead = 0x03;

// Every transfer is one chip-select frame: a command byte, an address byte,
// then data. READ shifts out the memory from the address on; WRITE stores
// the data bytes there. The address wraps. The command and address bytes,
// and every byte of another command, read as 0xFF, as an idle MISO line does.
class VirtualSPISlave {
 public:
  // Shifts `bytes` out to the slave and what it shifts back into them.
  void transfer(std::span<std::uint8_t> bytes);

  std::array<std::uint8_t, 256>& memory() { return memory_; }

 private:
  std::array<std::uint8_t, 256> memory_{};
};

}  // namespace ksthid
