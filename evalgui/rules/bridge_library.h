#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ksthid.h"

// The functions of the bridge library ksthid that drive the QV6180 on a board, each with the
// library's own name and result. A result is empty when the function could not be had from the
// library; bindingError() then says why. Tests put a fake in the library's place.
class BridgeLibrary {
 public:
  // What the GPIO setters return for a report that reached the board.
  static constexpr std::int16_t kReportWritten = KSTHID_REPORT_WRITTEN;
  static constexpr std::int16_t kTrue = KSTHID_TRUE;

  virtual ~BridgeLibrary() = default;

  // Opens every attached bridge board; the number of boards found.
  virtual std::optional<std::int16_t> connect() = 0;
  // The path of the board that the HIDnumber names, as the library numbered the boards at its
  // last connect (the window's own, or a Retry in one of its boxes); empty when the number names
  // no board, or the function could not be had. The library's numbering is the only one: a board
  // it knew keeps its number, so the order of the boards present is not the numbers' order.
  virtual std::optional<std::string> pathOf(std::int16_t hidNumber) = 0;
  // Lights the module indicator of one board.
  virtual std::optional<std::int16_t> indicateSelectedModule(std::int16_t hidNumber) = 0;
  virtual std::optional<std::int16_t> setGPIOValue(std::uint8_t valueByte1, std::uint8_t valueByte2,
                                                   std::int16_t hidNumber) = 0;
  virtual std::optional<std::int16_t> setGPIOConfiguration(std::uint8_t configByte1,
                                                           std::uint8_t configByte2,
                                                           std::int16_t configFlag,
                                                           std::int16_t hidNumber) = 0;

  // In UTF-8.
  virtual std::string bindingError() const = 0;
};
