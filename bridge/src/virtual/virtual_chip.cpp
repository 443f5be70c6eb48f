#include "virtual_chip.h"

namespace ksthid {
namespace {

constexpr std::uint8_t kCounterBit = 1 << 6;
constexpr std::uint8_t kStoreBit = 1 << 5;

}  // namespace

void VirtualChip::onPins(std::uint8_t configuration, std::uint8_t value) {
  const bool pushPull = (configuration & kCounterBit) != 0;
  const bool high = (value & kCounterBit) != 0;
  const Level level = !high ? Level::low : (pushPull ? Level::high : Level::released);
  if (level != counterLine_) {
    if (counterLine_ == Level::released) {
      pulseFrom_ = level;
    } else if (level == Level::released && pulseFrom_ == counterLine_) {
      count(counterLine_ == Level::low ? +1 : -1);
    }
    counterLine_ = level;
  }

  // An open-drain store line is released, and the chip holds it low.
  const bool store = (configuration & kStoreBit) != 0 && (value & kStoreBit) != 0;
  if (store && !storeLine_ && eeprom_ != dvr_) {
    eeprom_ = dvr_;
    changed();
  }
  storeLine_ = store;
}

void VirtualChip::count(int step) {
  const int next = dvr_ + step;
  if (next < 0 || next > 255) return;
  dvr_ = static_cast<std::uint8_t>(next);
  changed();
}

void VirtualChip::changed() {
  if (listener_) listener_(dvr_, eeprom_);
}

}  // namespace ksthid
