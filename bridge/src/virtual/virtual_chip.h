// The QV6180 on the virtual board, wired to the bridge's GPIO pins.
//
// Bit 6 of the first GPIO byte is the chip's counter line. A configuration
// bit of 1 makes a pin push-pull and 0 open-drain, so the counter line has
// three levels: released (open-drain, value 1) at rest, pulled low (value 0),
// and driven high (push-pull, value 1). A pulse from rest to low and back
// counts the DVR register up; a pulse from rest to driven-high and back
// counts it down; the register stops at 0 and 255. Bit 5 is the store line:
// its rising edge copies the register into the EEPROM, from which the
// register is loaded at power-up.
#pragma once

#include <cstdint>
#include <functional>

namespace ksthid {

class VirtualChip {
 public:
  using ChangeListener = std::function<void(int dvr, int eeprom)>;

  explicit VirtualChip(std::uint8_t eeprom = 0) : eeprom_(eeprom), dvr_(eeprom) {}

  // Told of every change of the register or the EEPROM.
  void setChangeListener(ChangeListener listener) { listener_ = std::move(listener); }

  // The pins have changed: the bridge's first configuration and value bytes.
  void onPins(std::uint8_t configuration, std::uint8_t value);

  int dvr() const { return dvr_; }
  int eeprom() const { return eeprom_; }

 private:
  enum class Level { low, released, high };

  void count(int step);
  void changed();

  std::uint8_t eeprom_;
  std::uint8_t dvr_;
  Level counterLine_ = Level::released;
  Level pulseFrom_ = Level::released;
  bool storeLine_ = false;
  ChangeListener listener_;
};

}  // namespace ksthid
