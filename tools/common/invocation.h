// One command being carried out: its arguments, the board it talks to and its output.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "exit_status.h"
#include "ksthid_api.h"
#include "numbers.h"

namespace tools {

// Ends a command: the message says what went wrong.
class ToolError : public std::runtime_error {
 public:
  // `withUsage`: the arguments themselves were wrong, so the usage follows the message.
  ToolError(ExitStatus status, const std::string& message, bool withUsage = false)
      : std::runtime_error(message), status_(status), withUsage_(withUsage) {}
  ExitStatus status() const { return status_; }
  bool withUsage() const { return withUsage_; }

 private:
  ExitStatus status_;
  bool withUsage_;
};

// Added to a "permission denied" for a bridge.
inline constexpr const char* kUdevHint =
    " (the udev rule 70-ksthid.rules lets the user at the seat open the bridges: see "
    "docs/linux-boards.md)";

// Arguments that each pass their own check but do not fit together: status 2 with the usage.
[[noreturn]] void refuseArguments(const std::string& message);
// Input that the arguments name but that cannot be used (a file that cannot be read, or does not
// hold what it should): status 2, without the usage, since the arguments were right.
[[noreturn]] void refuseInput(const std::string& message);

// The exit status of one of the library's KSTHID_E_* codes.
ExitStatus statusOfCode(int code);

// The paths of the boards that the library's HIDnumbers name, in the numbers' order, after a
// connect of the calling thread: a board that has gone and come back within a batch has the
// number the library gives it, which need not be its place among the boards present.
std::vector<std::string> numberedBoardPaths();

// What -b names, as ksthid.open takes it: a HIDnumber (numberedBoardPaths), else the path of a
// board that can be opened, else a serial number.
struct BoardName {
  std::string text;
};

// How many times in the whole run a call that timed out, or whose report could not be written
// or read, is made again.
struct RetryBudget {
  int left = 0;
};

class Invocation {
 public:
  Invocation(const CLI::App& command, BoardName board, RetryBudget& retries, bool json,
             std::ostream& live);
  ~Invocation();
  Invocation(const Invocation&) = delete;
  Invocation& operator=(const Invocation&) = delete;

  // The board asked for, opened on first use; a board that cannot be opened ends the command.
  ksthid_board* handle();
  // Runs `function` on the board's handle and returns what it returns. A failure ends the
  // command with the code's exit status and the library's words; one that timed out or could not
  // write is made again while the run's retries last.
  int call(const std::function<int(ksthid_board*)>& function);
  // The board asked for as the C API names it, for ksthid_open.
  std::string boardPath();

  // The text of an argument or option, or `fallback` when it was not given.
  std::string text(const std::string& name, const std::string& fallback = {}) const;
  std::vector<std::string> texts(const std::string& name) const;
  bool given(const std::string& name) const;
  // A flag of addFlag: given without a value, or with a value that means yes.
  bool flag(const std::string& name) const;
  template <typename Number>
  Number number(const std::string& name, Number fallback = 0) const {
    return given(name) ? numberFrom<Number>(text(name)) : fallback;
  }

  bool json() const { return json_; }
  // Plain output; shown only without --json.
  std::ostream& out() { return plain_; }
  // The JSON document; shown only with --json.
  nlohmann::json& result() { return result_; }
  // Output as it happens, for a command that runs until it is stopped; a command that uses it
  // has no plain output at its end, and its document, if any, is the last line.
  std::ostream& live() {
    streamed_ = true;
    return live_;
  }
  bool streamed() const { return streamed_; }

  std::string plainOutput() const { return plain_.str(); }

 private:
  const CLI::Option& option(const std::string& name) const;

  const CLI::App& command_;
  BoardName board_;
  RetryBudget& retries_;
  bool json_;
  ksthid_board* handle_ = nullptr;
  std::ostringstream plain_;
  nlohmann::json result_ = nlohmann::json::object();
  std::ostream& live_;
  bool streamed_ = false;
};

}  // namespace tools
