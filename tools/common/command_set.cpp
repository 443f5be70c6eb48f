#include <algorithm>
#include <array>

#include "ksthid_api.h"
#include "tool.h"

namespace tools {
namespace {

constexpr std::int64_t kMostRetries = 1000;

constexpr std::array<std::string_view, 4> kFlagYes = {"1", "true", "on", "yes"};
constexpr std::array<std::string_view, 4> kFlagNo = {"0", "false", "off", "no"};

}  // namespace

bool meansYes(std::string_view text) {
  return std::ranges::find(kFlagYes, text) != kFlagYes.end();
}

CLI::Option* addNumber(CLI::App& command, const std::string& name, const std::string& description,
                       std::int64_t lowest, std::int64_t highest, const std::string& why) {
  return command.add_option(name)
      ->description(description)
      ->type_name("N")
      ->check(numberIn(lowest, highest, why));
}

CLI::Option* addFlag(CLI::App& command, const std::string& name, const std::string& description) {
  const auto yesOrNo = [](std::string& text) -> std::string {
    if (meansYes(text) || std::ranges::find(kFlagNo, text) != kFlagNo.end()) return {};
    return text + " is neither 1, true, on, yes nor 0, false, off, no";
  };
  return command.add_flag(name)->description(description)->check(CLI::Validator(yesOrNo, ""));
}

CommandSet::CommandSet(const std::string& program, const std::string& description)
    : root_(std::make_unique<CLI::App>(description, program)) {
  CLI::App& root = *root_;
  root.fallthrough();
  root.require_subcommand(0, 1);
  root.add_option("-b,--board")
      ->description(
          "The board: its HIDnumber, the index ksthid list shows (default 0), its device "
          "path or its serial number")
      ->type_name("BOARD")
      ->default_str("0");
  addNumber(root, "--simulate", "N virtual boards behind any real ones (KSTHID_SIMULATE)", 0,
            KSTHID_MAX_SIMULATED_BOARDS);
  root.add_option("--trace")
      ->description("Append a packet trace to FILE (KSTHID_TRACE)")
      ->type_name("FILE");
  addFlag(root, "--json", "One JSON document on standard output");
  addNumber(root, "--retry",
            "Make a call that timed out or could not be written again, N times in the whole run "
            "(default 0)",
            0, kMostRetries)
      ->default_str("0");
  root.add_option("--batch")
      ->description(
          "Run each line of FILE (- for standard input) as a command line; words split "
          "at blanks, quotes keep blanks in one")
      ->type_name("FILE");
}

CLI::App* CommandSet::add(CLI::App& parent, const std::string& name, const std::string& description,
                          Action action) {
  CLI::App* command = parent.add_subcommand(name, description);
  command->require_subcommand(0, 1);
  if (action) setAction(command, std::move(action));
  return command;
}

const Action* CommandSet::actionOf(const CLI::App* command) const {
  const auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : &found->second;
}

}  // namespace tools
