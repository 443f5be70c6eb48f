#pragma once

#include <cstdint>
#include <functional>

#include "bridge_library.h"

// The QV6180's counter interface on the bridge's GPIO pins. Bit 6 of the first byte is the
// counter line: a low pulse on its value counts the DVR register up by one, a high pulse on its
// configuration counts it down by one, and the register stops at 0 and at 255. A high pulse on
// bit 5, the store line, copies the register into the chip's EEPROM. Bit 4 is held high.
//
// The register is never read back: a send first runs the register to an end of its range and
// counts from there. A call that the board does not take stops a send or a store at once, as the
// rest could only leave the register at a wrong value.
class CounterInterface {
 public:
  // Told after each step of a send: how many of its steps are done, and how many it has in all.
  using Progress = std::function<void(int done, int inAll)>;

  CounterInterface(BridgeLibrary& library, std::int16_t hidNumber);

  // Drives another board from now on; it is parked before its first send or store.
  void address(std::int16_t hidNumber);

  // Puts both lines at rest. The results are not looked at: a board that did not take them is
  // parked again before the next send.
  void park();
  // Brings the register to the target (below 0 counts as 0, above 255 as 255). False when the
  // board did not take a call; the register's value is then unknown.
  bool send(int target, const Progress& progress = {});
  // Copies the register into the EEPROM. False when the board did not take a call.
  bool store();

 private:
  using Step = bool (CounterInterface::*)();

  bool upStep();
  bool downStep();
  bool setValue(std::uint8_t valueByte1);
  bool setConfiguration(std::uint8_t configByte1);
  bool taken(std::optional<std::int16_t> result);

  BridgeLibrary& library_;
  std::int16_t hidNumber_;
  // False once a call failed, which may have left a line in the middle of a pulse.
  bool atRest_ = false;
};
