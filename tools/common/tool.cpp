#include "tool.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "ksthid.h"
#include "system.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

// Words of an argument longer than this are shortened where a message repeats them.
constexpr std::size_t kLongestWordShown = 64;
constexpr std::size_t kLongWordKept = 32;

constexpr const char* kExitStatuses =
    "Exit status:\n"
    "  0  success\n"
    "  2  bad arguments or input: nothing was sent (the usage follows when the arguments\n"
    "     themselves were wrong)\n"
    "  3  no such board, or one the system does not let this user open\n"
    "  4  a device refused: no I2C acknowledge, SDA held low\n"
    "  5  USB failure: a report was not written or not answered\n";

// The command the command line ends in.
const CLI::App& lastCommand(const CLI::App& root) {
  const CLI::App* at = &root;
  while (!at->get_subcommands().empty()) at = at->get_subcommands().front();
  return *at;
}

// A message with each overlong word cut short, so that a mistyped argument of megabytes does not
// come back whole.
std::string shortened(const std::string& message) {
  std::string shown;
  std::size_t at = 0;
  while (at < message.size()) {
    const std::size_t end = std::min(message.find_first_of(" \t\n", at), message.size());
    const std::string_view word(message.data() + at, end - at);
    if (word.size() > kLongestWordShown) {
      shown += std::string(word.substr(0, kLongWordKept)) + "... (" + std::to_string(word.size()) +
               " characters)";
    } else {
      shown += word;
    }
    if (end < message.size()) shown += message[end];
    at = end + 1;
  }
  return shown;
}

std::string parseErrorMessage(const CLI::ParseError& error, const CLI::App& root) {
  const auto extra = root.remaining(true);
  if (!extra.empty()) return "unknown command or argument: " + extra.front();
  if (std::string(error.what()) == "A subcommand is required") return "a command is required";
  return error.what();
}

// Whether --json is asked for on a command line that may not parse.
bool asksForJson(const std::vector<std::string>& args) {
  return std::ranges::any_of(args, [](const std::string& arg) {
    if (arg == "--json") return true;
    return arg.starts_with("--json=") && meansYes(std::string_view(arg).substr(7));
  });
}

bool flagOf(const CLI::App& root, const std::string& name) {
  const CLI::Option* option = root.get_option(name);
  return option->count() > 0 && option->as<bool>();
}

// The packet trace the library is to append to: a file that can be written.
void requireWritableTrace(const std::string& file) {
  if (file.empty()) refuseArguments("--trace: give the name of a file");
  if (fs::is_directory(file)) refuseInput("cannot write the trace " + file + ": it is a folder");
  if (!std::ofstream(file, std::ios::app)) refuseInput("cannot write the trace " + file);
}

// Lets the library see --simulate and --trace as its own environment variables; it reads them
// at its first call.
void exportToLibrary(const CLI::App& root) {
  if (const auto* simulate = root.get_option("--simulate"); simulate->count() > 0) {
    setEnvironment("KSTHID_SIMULATE", simulate->as<std::string>());
  }
  if (const auto* trace = root.get_option("--trace"); trace->count() > 0) {
    requireWritableTrace(trace->as<std::string>());
    setEnvironment("KSTHID_TRACE", trace->as<std::string>());
  }
}

// What the batch's own command line says for each of its lines; a line may name another board.
std::vector<std::string> optionsForEveryLine(const CLI::App& root,
                                             const std::vector<std::string>& line) {
  std::vector<std::string> options;
  for (const char* name : {"--simulate", "--trace", "--retry", "--board"}) {
    if (const auto* option = root.get_option(name); option->count() > 0) {
      options.insert(options.end(), {name, option->as<std::string>()});
    }
  }
  const bool namesBoard = std::ranges::any_of(
      line, [](const std::string& word) { return word == "-b" || word.starts_with("--board"); });
  if (namesBoard && root.get_option("--board")->count() > 0) options.resize(options.size() - 2);
  if (flagOf(root, "--json")) options.push_back("--json");
  return options;
}

void writeJson(std::ostream& out, const nlohmann::json& document) {
  out << document.dump() << '\n';
}

// A batch file being run, and the line of it that runs now.
struct BatchLine {
  std::string name;
  // The file as the system knows it, so that another spelling of it is still the same file.
  fs::path identity;
  std::size_t line = 0;
};

class Runner {
 public:
  Runner(const std::string& program, const std::string& description, const Commands& commands,
         std::ostream& out, std::ostream& errors)
      : program_(program),
        description_(description),
        commands_(commands),
        out_(out),
        errors_(errors) {}

  int run(const std::vector<std::string>& args) {
    CommandSet set(program_, description_);
    commands_(set);
    CLI::App& root = set.root();
    // Added last, so that the commands' own help stays short.
    root.footer(kExitStatuses);
    try {
      root.parse(std::vector<std::string>(args.rbegin(), args.rend()));
    } catch (const CLI::CallForHelp&) {
      out_ << root.help();
      return 0;
    } catch (const CLI::ParseError& error) {
      return refuse(root, {ExitStatus::usage, parseErrorMessage(error, root), true},
                    asksForJson(args));
    }
    const bool json = flagOf(root, "--json");
    if (const auto* batch = root.get_option("--batch"); batch->count() > 0) {
      if (&lastCommand(root) != &root) {
        return refuse(
            root, {ExitStatus::usage, "--batch takes its commands from the file only", true}, json);
      }
      try {
        return runBatch(root, batch->as<std::string>());
      } catch (const ToolError& error) {
        return refuse(root, error, json);
      }
    }
    return runCommand(set, json);
  }

 private:
  int runCommand(CommandSet& set, bool json) {
    CLI::App& root = set.root();
    const CLI::App& command = lastCommand(root);
    const Action* action = set.actionOf(&command);
    if (!action) {
      return refuse(root, {ExitStatus::usage, "a command is required", true}, json);
    }
    if (!retries_)
      retries_ = RetryBudget{numberFrom<int>(root.get_option("--retry")->as<std::string>())};
    Invocation invocation(command, {root.get_option("--board")->as<std::string>()}, *retries_, json,
                          out_);
    try {
      exportToLibrary(root);
      (*action)(invocation);
    } catch (const ToolError& error) {
      return refuse(root, error, json);
    }
    if (json && (!invocation.streamed() || !invocation.result().empty())) {
      writeJson(out_, invocation.result());
    } else if (!invocation.streamed()) {
      out_ << invocation.plainOutput();
    }
    return 0;
  }

  // Each line of the file is run as a command line of its own, over the same library state;
  // the first that fails ends the batch. Words are split at blanks; quotes keep blanks in a word.
  int runBatch(const CLI::App& root, const std::string& file) {
    const bool standardInput = file == "-";
    std::ifstream opened;
    if (!standardInput) {
      if (fs::is_directory(file)) refuseInput("cannot read the batch file " + file + ": a folder");
      opened.open(file);
      if (!opened) refuseInput("cannot read the batch file " + file);
    }
    // A pipe (bash's <(...), /dev/fd/N) has no path to resolve: it is its own name, and cannot
    // be named again from inside itself.
    std::error_code unresolved;
    fs::path identity = standardInput ? fs::path("-") : fs::weakly_canonical(file, unresolved);
    if (unresolved) identity = file;
    if (std::ranges::any_of(within_,
                            [&](const BatchLine& at) { return at.identity == identity; })) {
      refuseInput("the batch " + file + " runs itself");
    }
    within_.push_back({standardInput ? "standard input" : file, identity});
    std::istream& lines = standardInput ? std::cin : opened;
    int status = 0;
    for (std::string line; status == 0 && std::getline(lines, line);) {
      ++within_.back().line;
      std::vector<std::string> args = CLI::detail::split_up(line);
      if (args.empty() || args.front().starts_with('#')) continue;
      const auto common = optionsForEveryLine(root, args);
      args.insert(args.begin(), common.begin(), common.end());
      status = run(args);
    }
    within_.pop_back();
    return status;
  }

  // Where in the batches the failing line stands, before its message.
  std::string where() const {
    std::string place;
    for (const BatchLine& at : within_)
      place += at.name + ": line " + std::to_string(at.line) + ": ";
    return place;
  }

  int refuse(const CLI::App& root, const ToolError& error, bool json) {
    const std::string message = shortened(where() + error.what());
    errors_ << program_ << ": " << message << '\n';
    if (error.withUsage()) errors_ << root.help();
    if (json) writeJson(out_, {{"error", message}, {"status", error.status()}});
    return static_cast<int>(error.status());
  }

  const std::string& program_;
  const std::string& description_;
  const Commands& commands_;
  std::ostream& out_;
  std::ostream& errors_;
  // Made once: the retries are the whole run's.
  std::optional<RetryBudget> retries_;
  std::vector<BatchLine> within_;
};

}  // namespace

int runTool(const std::string& program, const std::string& description, const Commands& commands,
            int argc, char** argv, std::ostream& out, std::ostream& errors) {
  Runner runner(program, description, commands, out, errors);
  return runner.run(std::vector<std::string>(argv + 1, argv + argc));
}

}  // namespace tools
