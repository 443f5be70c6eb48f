#pragma once

#include <functional>

#include "gpio_port.h"

// The QV6180's counter interface on the bridge's GPIO pins. Bit 6 of the first byte is the
// counter line: a low pulse on its value counts the DVR register up by one, a high pulse on its
// configuration counts it down by one, and the register stops at 0 and at 255. A high pulse on
// bit 5, the store line, copies the register into the chip's EEPROM. Bit 4 is held high.
//
// The register is never read back: a send first runs the register to an end of its range and
// counts from there. A call that the board does not take stops a train at once, as the rest
// could only leave the register at a wrong value.
class CounterInterface {
 public:
  // Told after each step of a train: how many of its steps are done, and how many it has in all.
  // False stops the train there, with the lines at rest.
  using Progress = std::function<bool(int done, int inAll)>;

  // How a train ended.
  enum class End { done, notTaken, stopped };

  explicit CounterInterface(GpioPort& port);

  // The port reaches another board from now on: its lines are parked before its first train.
  void portChanged();

  // Puts both lines at rest, making both calls whatever the first gives. True when the board
  // took both; one that did not is parked again before the next train.
  bool park();
  // Brings the register to the target (below 0 counts as 0, above 255 as 255). After any end
  // but done the register's value is unknown.
  End send(int target, const Progress& progress = {});
  // Counts the register from `from` to `to` (both 0 to 255), one step for each count between
  // them. Right only when the register holds `from`: nothing here can tell.
  End step(int from, int to, const Progress& progress = {});
  // Copies the register into the EEPROM.
  End store();

 private:
  using Step = bool (CounterInterface::*)();

  End run(Step first, int firstSteps, Step then, int thenSteps, const Progress& progress);
  bool upStep();
  bool downStep();
  bool setValue(std::uint8_t valueByte1);
  bool setConfiguration(std::uint8_t configByte1);
  bool taken(bool written);

  GpioPort& port_;
  // False once a call failed, which may have left a line in the middle of a pulse.
  bool atRest_ = false;
};
