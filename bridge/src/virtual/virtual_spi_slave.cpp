#include "virtual_spi_slave.h"

#include <algorithm>

namespace ksthid {
namespace {

constexpr std::uint8_t idleLine = 0xFF;
constexpr std::size_t headerLength = 2;

}  // namespace

void VirtualSPISlave::transfer(std::span<std::uint8_t> bytes) {
  if (bytes.size() <= headerLength) {
    std::fill(bytes.begin(), bytes.end(), idleLine);
    return;
  }
  const std::uint8_t command = bytes[0];
  std::uint8_t address = bytes[1];
  bytes[0] = bytes[1] = idleLine;
  for (std::uint8_t& byte : bytes.subspan(headerLength)) {
    const std::uint8_t shiftedIn = byte;
    byte = command == spiMemoryRead ? memory_[address] : idleLine;
    if (command == spiMemoryWrite) memory_[address] = shiftedIn;
    ++address;
  }
}

}  // namespace ksthid
