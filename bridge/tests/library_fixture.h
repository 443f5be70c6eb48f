// A library with virtual boards on a virtual clock, and a host that records
// the library's message boxes and answers them as a test says.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ksthid.h"
#include "library_state.h"
#include "virtual/virtual_transport.h"

namespace ksthid::testing {

// The box of a command for a board that is not connected.
inline const std::string kConnectionBox = "Please check USB connection.\r\ncheckStatus";

struct ShownBox {
  std::string text;
  std::string caption;
  unsigned style;
};

// A request report as the library writes it: report ID 1, then `bytes` from
// byte 1 on, every other byte 0.
inline Report request(std::initializer_list<std::uint8_t> bytes) {
  Report report{};
  report[0] = 1;
  std::copy(bytes.begin(), bytes.end(), report.begin() + 1);
  return report;
}

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    useTransport(&transport);
    transport.recordTraffic(true);
    kstHID_setMessageBoxHandler(&LibraryTest::showBox, this);
  }

  void TearDown() override {
    kstHID_setMessageBoxHandler(nullptr, nullptr);
    useTransport(nullptr);
  }

  VirtualBridge& addBoard(const std::string& path, FirmwareIdentity identity = {}) {
    return transport.addBridge(path, identity);
  }

  // The next box is answered by `answer`, which may first change the world.
  void onNextBox(std::function<int()> answer) { answers.push_back(std::move(answer)); }
  void answerNextBox(int button) {
    onNextBox([button] { return button; });
  }

  std::vector<std::string> boxTexts() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : boxes) texts.push_back(box.text);
    return texts;
  }

  std::vector<Report> writtenTo(const std::string& path) const { return transport.writtenTo(path); }

  Microseconds elapsedDuring(const std::function<void()>& action) {
    const Microseconds before = clock.now();
    action();
    return clock.now() - before;
  }

  VirtualClock clock;
  // No time on the wire, so that elapsed times are the library's own waits.
  VirtualTransport transport{clock, Microseconds(0)};
  std::vector<ShownBox> boxes;
  std::deque<std::function<int()>> answers;

 private:
  static int KSTHID_CALL showBox(void* context, const char* text, const char* caption,
                                 unsigned style) {
    auto* test = static_cast<LibraryTest*>(context);
    test->boxes.push_back({text, caption, style});
    if (test->answers.empty()) {
      return (style & KSTHID_MB_TYPEMASK) == KSTHID_MB_RETRYCANCEL ? KSTHID_IDCANCEL : KSTHID_IDOK;
    }
    const auto answer = std::move(test->answers.front());
    test->answers.pop_front();
    return answer();
  }
};

// Arguments by reference, as every export takes them.
inline std::int16_t connect() {
  return kstHID_connect();
}

inline std::int16_t setGpioValue(std::uint8_t first, std::uint8_t second, std::int16_t board) {
  return kstHID_setGPIOValue(&first, &second, &board);
}

inline std::int16_t setGpioConfiguration(std::uint8_t first, std::uint8_t second, std::int16_t flag,
                                         std::int16_t board) {
  return kstHID_setGPIOConfiguration(&first, &second, &flag, &board);
}

inline std::int16_t getLed(std::int16_t led, std::int16_t board) {
  return kstHID_getLEDState(&led, &board);
}

inline std::int16_t setLed(std::uint8_t state, std::int16_t led, std::int16_t board) {
  return kstHID_setLEDState(&state, &led, &board);
}

}  // namespace ksthid::testing
