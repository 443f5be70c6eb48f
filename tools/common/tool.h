// What both command-line tools share: the common options, the board a command talks to, the
// library's boxes, plain or JSON output, and the exit statuses. Each tool adds its commands and
// one action for each; the action reads its arguments from its parsed command.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "exit_status.h"
#include "message_boxes.h"
#include "numbers.h"

namespace tools {

// Ends a command: the message says what went wrong.
class ToolError : public std::runtime_error {
 public:
  ToolError(ExitStatus status, const std::string& message, bool shown = false)
      : std::runtime_error(message), status_(status), shown_(shown) {}
  ExitStatus status() const { return status_; }
  // The message is a box's, already shown as a line of its own.
  bool shown() const { return shown_; }

 private:
  ExitStatus status_;
  bool shown_;
};

// An argument or option that takes a number from lowest to highest (decimal or 0x hexadecimal).
CLI::Option* addNumber(CLI::App& command, const std::string& name, const std::string& description,
                       std::int64_t lowest, std::int64_t highest, const std::string& why = {});

// Arguments that each pass their own check but do not fit together.
[[noreturn]] void refuseArguments(const std::string& message);

// One command being carried out.
class Invocation {
 public:
  Invocation(const CLI::App& command, MessageBoxes& boxes, std::int16_t board, bool json,
             std::ostream& live);

  // The board asked for, connected on first use; a board that is not attached ends the command.
  std::int16_t board();
  // The same board as the library's C API names it, for ksthid_open.
  std::string boardPath();
  MessageBoxes& boxes() { return boxes_; }

  // The text of an argument or option, or `fallback` when it was not given.
  std::string text(const std::string& name, const std::string& fallback = {}) const;
  std::vector<std::string> texts(const std::string& name) const;
  bool given(const std::string& name) const;
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
  // has no document and no plain output at its end.
  std::ostream& live() {
    streamed_ = true;
    return live_;
  }
  bool streamed() const { return streamed_; }

  // Ends the command with the failure a box has reported, if any.
  void stopOnBoxFailure();

  std::string plainOutput() const { return plain_.str(); }

 private:
  const CLI::Option& option(const std::string& name) const;
  void requireBoardAmong(std::int16_t found) const;

  const CLI::App& command_;
  MessageBoxes& boxes_;
  std::int16_t board_;
  bool json_;
  std::optional<std::int16_t> boardsFound_;
  std::ostringstream plain_;
  nlohmann::json result_ = nlohmann::json::object();
  std::ostream& live_;
  bool streamed_ = false;
};

// The C API's paths of the attached boards in the order of their HIDnumbers: every bridge that
// can be opened.
std::vector<std::string> attachedBoardPaths();

using Action = std::function<void(Invocation&)>;

// The commands of one tool, built afresh for every command line it parses.
class CommandSet {
 public:
  CommandSet(const std::string& program, const std::string& description);

  CLI::App& root() { return *root_; }
  // Adds a command whose action runs when it is the last command named.
  CLI::App* add(CLI::App& parent, const std::string& name, const std::string& description,
                Action action = {});
  void setAction(const CLI::App* command, Action action) { actions_[command] = std::move(action); }
  const Action* actionOf(const CLI::App* command) const;

 private:
  std::unique_ptr<CLI::App> root_;
  std::map<const CLI::App*, Action> actions_;
};

using Commands = std::function<void(CommandSet&)>;

// Runs the tool over its command line (and over the lines of --batch); the exit status.
int runTool(const std::string& program, const std::string& description, const Commands& commands,
            int argc, char** argv, std::ostream& out, std::ostream& errors);

}  // namespace tools
