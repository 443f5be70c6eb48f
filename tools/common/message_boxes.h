// The library's message boxes on a command line: each box a line on standard error, answered
// without a user, and classified so that the program can end with the right exit status.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "exit_status.h"
#include "ksthid.h"

namespace tools {

// What a box says about the call that showed it. A box that reports no failure (the firmware
// version) gives success.
ExitStatus classifyBox(std::string_view text);

class MessageBoxes {
 public:
  struct Failure {
    ExitStatus status;
    std::string text;
  };

  // Retry/Cancel boxes are answered Retry `retries` times in all, then Cancel.
  MessageBoxes(std::string program, int retries, std::ostream& errors);
  ~MessageBoxes();
  MessageBoxes(const MessageBoxes&) = delete;
  MessageBoxes& operator=(const MessageBoxes&) = delete;

  // The most serious failure shown since the last forget(), if any.
  const std::optional<Failure>& failure() const { return failure_; }
  void forget() { failure_.reset(); }
  // Texts of boxes that report no failure, in order; taking them empties the list.
  std::vector<std::string> takeInformation();

 private:
  static int KSTHID_CALL show(void* context, const char* text, const char* caption, unsigned style);
  int answer(const std::string& text, unsigned style);

  std::string program_;
  int retriesLeft_;
  std::ostream& errors_;
  std::optional<Failure> failure_;
  std::vector<std::string> information_;
};

}  // namespace tools
