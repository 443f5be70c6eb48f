// A packet trace (KSTHID_TRACE) drawn as a Value Change Dump of the GPIO pins, for waveform
// viewers.
//
// Each board of the trace is a scope named after its path (characters other than letters, digits
// and _ become _). In it, for each of the 16 pins, one signal per bit of the GPIO set requests,
// each byte from bit 7 down: value1 [7] to value1 [0] and value2 [7] to value2 [0], the value
// bytes; config1 [7] to config1 [0] and config2 [7] to config2 [0], the configuration bytes; and
// config_flag. A board whose virtual chip changed has dvr [7] to dvr [0] and eeprom [7] to
// eeprom [0], its register and EEPROM. A signal is x until its first set. Time is the trace's
// microseconds.
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>

namespace ksthid_tool {

// A line that is not one of the trace's four kinds.
class MalformedTrace : public std::runtime_error {
 public:
  MalformedTrace(std::size_t line, const std::string& why)
      : std::runtime_error("line " + std::to_string(line) + ": " + why), line_(line) {}
  std::size_t line() const { return line_; }

 private:
  std::size_t line_;
};

struct VcdOptions {
  // dvr and eeprom as 8-bit vectors rather than a signal for each bit. Readers that take one-bit
  // signals only (sigrok 0.5) stop at the first vector value.
  bool registerVectors = false;
};

// Reads the whole trace, then writes the dump; throws MalformedTrace before writing anything.
void writeVcd(std::istream& trace, std::ostream& vcd, const VcdOptions& options = {});

}  // namespace ksthid_tool
