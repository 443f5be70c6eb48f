// The bridge interface the pulse trains drive, over a board handle of the library linked into
// the tool, and a stand-in that only counts, to learn beforehand how many calls a pulse train
// makes.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "bridge_library.h"
#include "ksthid_api.h"

namespace qv6180_tool {

// A board opened through the library's C API, closed when it goes.
using OpenBoard = std::unique_ptr<ksthid_board, decltype(&ksthid_close)>;

// Null when the board cannot be opened.
OpenBoard openBoard(const std::string& path);

// Drives one open board whatever HIDnumber a call names: the handle's calls take the bridge's
// frames one after the other, without the exports' wait before each request.
class LinkedBridge : public BridgeLibrary {
 public:
  // `afterCall` is told of every GPIO call made.
  LinkedBridge(ksthid_board* board, std::function<void()> afterCall)
      : board_(board), afterCall_(std::move(afterCall)) {}

  std::optional<std::int16_t> connect() override { return 1; }
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
  std::int16_t called(int result);

  ksthid_board* board_;
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
