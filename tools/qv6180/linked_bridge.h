// The bridge interface the pulse trains drive, over the library linked into the tool, and a
// stand-in that only counts, to learn beforehand how many calls a pulse train makes.
#pragma once

#include <functional>

#include "bridge_library.h"

namespace qv6180_tool {

class LinkedBridge : public BridgeLibrary {
 public:
  // `afterCall` is told of every GPIO call made.
  explicit LinkedBridge(std::function<void()> afterCall) : afterCall_(std::move(afterCall)) {}

  std::optional<std::int16_t> connect() override;
  std::optional<std::int16_t> indicateSelectedModule(std::int16_t hidNumber) override;
  std::optional<std::int16_t> setGPIOValue(std::uint8_t valueByte1, std::uint8_t valueByte2,
                                           std::int16_t hidNumber) override;
  std::optional<std::int16_t> setGPIOConfiguration(std::uint8_t configByte1,
                                                   std::uint8_t configByte2,
                                                   std::int16_t configFlag,
                                                   std::int16_t hidNumber) override;
  // Linked, the library's functions are always there.
  std::string bindingError() const override { return {}; }

 private:
  std::int16_t called(std::int16_t result);

  std::function<void()> afterCall_;
};

// Takes every call as written and counts the GPIO calls.
class CallCounter : public BridgeLibrary {
 public:
  int calls() const { return calls_; }

  std::optional<std::int16_t> connect() override { return 1; }
  std::optional<std::int16_t> indicateSelectedModule(std::int16_t) override { return 0; }
  std::optional<std::int16_t> setGPIOValue(std::uint8_t, std::uint8_t, std::int16_t) override {
    return counted();
  }
  std::optional<std::int16_t> setGPIOConfiguration(std::uint8_t, std::uint8_t, std::int16_t,
                                                   std::int16_t) override {
    return counted();
  }
  std::string bindingError() const override { return {}; }

 private:
  std::int16_t counted() {
    ++calls_;
    return kReportWritten;
  }

  int calls_ = 0;
};

}  // namespace qv6180_tool
