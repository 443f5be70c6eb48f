#include "virtual_spi_slave.h"

#include <algorithm>

namespace ksthid {
namespace {

constexpr std::uint8_t kIdleLine = 0xFF;
constexpr std::size_t kHeaderLength = 2;

}  // namespace

void VirtualSPISlave::transfer(std::span<std::uint8_t> bytes) {
  if (bytes.size() <= kHeaderLength) {
    std::fill(bytes.begin(), bytes.end(), kIdleLine);
    return;
  }
  const std::uint8_t command = bytes[0];
  std::uint8_t address = bytes[1];
  bytes[0] = bytes[1] = kIdleLine;
  for (std::uint8_t& byte : bytes.subspan(kHeaderLength)) {
    const std::uint8_t shiftedIn = byte;
    byte = command == kSpiMemoryRead ? memory_[address] : kIdleLine;
    if (command == kSpiMemoryWrite) memory_[address] = shiftedIn;
    ++address;
  }
}

}  // namespace ksthid
