// What both command-line tools share: the common options, the board a command talks to, the
// library's boxes, plain or JSON output, and the exit statuses. Each tool adds its commands and
// one action for each; the action reads its arguments from its parsed command.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "invocation.h"

namespace tools {

// An argument or option that takes a number from lowest to highest (decimal or 0x hexadecimal).
CLI::Option* addNumber(CLI::App& command, const std::string& name, const std::string& description,
                       std::int64_t lowest, std::int64_t highest, const std::string& why = {});

// A flag that may also be given a value: --flag=1, true, on or yes sets it; 0, false, off or no
// does not. Read it with Invocation::flag.
CLI::Option* addFlag(CLI::App& command, const std::string& name, const std::string& description);
// Whether the value of such a flag sets it.
bool meansYes(std::string_view text);

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
