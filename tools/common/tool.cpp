#include "tool.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "ksthid.h"
#include "ksthid_api.h"
#include "system.h"

namespace tools {
namespace {

constexpr std::int64_t kHighestBoard = 32767;
constexpr std::int64_t kMostRetries = 1000;

constexpr const char* kExitStatuses =
    "Exit status:\n"
    "  0  success\n"
    "  2  usage error: bad arguments, nothing was sent\n"
    "  3  no such board\n"
    "  4  a device refused: no I2C acknowledge, SDA held low\n"
    "  5  USB failure: a report was not written or not answered\n";

// The command the command line ends in.
const CLI::App& lastCommand(const CLI::App& root) {
  const CLI::App* at = &root;
  while (!at->get_subcommands().empty()) at = at->get_subcommands().front();
  return *at;
}

std::string parseErrorMessage(const CLI::ParseError& error, const CLI::App& root) {
  const auto extra = root.remaining(true);
  if (!extra.empty()) return "unknown command or argument: " + extra.front();
  if (std::string(error.what()) == "A subcommand is required") return "a command is required";
  return error.what();
}

// Lets the library see --simulate and --trace as its own environment variables; it reads them
// at its first call.
void exportToLibrary(const CLI::App& root) {
  if (const auto* simulate = root.get_option("--simulate"); simulate->count() > 0) {
    setEnvironment("KSTHID_SIMULATE", simulate->as<std::string>());
  }
  if (const auto* trace = root.get_option("--trace"); trace->count() > 0) {
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
  if (root.get_option("--json")->count() > 0) options.push_back("--json");
  return options;
}

void writeJson(std::ostream& out, const nlohmann::json& document) {
  out << document.dump() << '\n';
}

std::vector<std::string> words(const std::string& line) {
  std::istringstream split(line);
  return {std::istream_iterator<std::string>(split), std::istream_iterator<std::string>()};
}

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
    const bool json = std::ranges::find(args, "--json") != args.end();
    try {
      root.parse(std::vector<std::string>(args.rbegin(), args.rend()));
    } catch (const CLI::CallForHelp&) {
      out_ << root.help();
      return 0;
    } catch (const CLI::ParseError& error) {
      return refuse(root, parseErrorMessage(error, root), ExitStatus::usage, json);
    }
    if (const auto* batch = root.get_option("--batch"); batch->count() > 0) {
      if (&lastCommand(root) != &root) {
        return refuse(root, "--batch takes its commands from the file only", ExitStatus::usage,
                      json);
      }
      return runBatch(root, batch->as<std::string>());
    }
    return runCommand(set, json);
  }

 private:
  int runCommand(CommandSet& set, bool json) {
    CLI::App& root = set.root();
    const CLI::App& command = lastCommand(root);
    const Action* action = set.actionOf(&command);
    if (!action) return refuse(root, "a command is required", ExitStatus::usage, json);
    exportToLibrary(root);
    if (!boxes_) {
      boxes_.emplace(program_, numberFrom<int>(root.get_option("--retry")->as<std::string>()),
                     errors_);
    }
    boxes_->forget();
    Invocation invocation(command, *boxes_,
                          numberFrom<std::int16_t>(root.get_option("--board")->as<std::string>()),
                          json, out_);
    try {
      (*action)(invocation);
      invocation.stopOnBoxFailure();
    } catch (const ToolError& error) {
      // A board asked for that is not there is a bad argument too, unless a box told of it.
      const bool usage =
          error.status() == ExitStatus::usage || error.status() == ExitStatus::noSuchBoard;
      if (usage && !error.shown()) return refuse(root, error.what(), error.status(), json);
      if (!error.shown()) errors_ << program_ << ": " << error.what() << '\n';
      if (json) writeJson(out_, {{"error", error.what()}, {"status", error.status()}});
      return static_cast<int>(error.status());
    }
    if (invocation.streamed()) {
      return 0;
    } else if (json) {
      writeJson(out_, invocation.result());
    } else {
      out_ << invocation.plainOutput();
    }
    return 0;
  }

  // Each line of the file is run as a command line of its own, over the same library state;
  // the first that fails ends the batch.
  int runBatch(const CLI::App& root, const std::string& file) {
    std::ifstream opened;
    if (file != "-") opened.open(file);
    if (file != "-" && !opened) {
      return refuse(root, "cannot read the batch file " + file, ExitStatus::usage, false);
    }
    std::istream& lines = file == "-" ? std::cin : opened;
    std::string line;
    while (std::getline(lines, line)) {
      std::vector<std::string> args = words(line);
      if (args.empty() || args.front().starts_with('#')) continue;
      const auto common = optionsForEveryLine(root, args);
      args.insert(args.begin(), common.begin(), common.end());
      if (const int status = run(args); status != 0) return status;
    }
    return 0;
  }

  int refuse(const CLI::App& root, const std::string& message, ExitStatus status, bool json) {
    errors_ << program_ << ": " << message << '\n' << root.help();
    if (json) writeJson(out_, {{"error", message}, {"status", status}});
    return static_cast<int>(status);
  }

  const std::string& program_;
  const std::string& description_;
  const Commands& commands_;
  std::ostream& out_;
  std::ostream& errors_;
  // Made once: its Retry budget is the whole run's.
  std::optional<MessageBoxes> boxes_;
};

}  // namespace

CLI::Option* addNumber(CLI::App& command, const std::string& name, const std::string& description,
                       std::int64_t lowest, std::int64_t highest, const std::string& why) {
  return command.add_option(name)
      ->description(description)
      ->type_name("N")
      ->check(numberIn(lowest, highest, why));
}

void refuseArguments(const std::string& message) {
  throw ToolError(ExitStatus::usage, message);
}

Invocation::Invocation(const CLI::App& command, MessageBoxes& boxes, std::int16_t board, bool json,
                       std::ostream& live)
    : command_(command), boxes_(boxes), board_(board), json_(json), live_(live) {}

std::vector<std::string> attachedBoardPaths() {
  ksthid_board_info* list = nullptr;
  ksthid_enumerate(&list);
  std::vector<std::string> paths;
  for (const ksthid_board_info* board = list; board; board = board->next) {
    if (board->error == 0) paths.emplace_back(board->path);
  }
  ksthid_free_enumeration(list);
  return paths;
}

std::int16_t Invocation::board() {
  if (!boardsFound_) boardsFound_ = kstHID_connect();
  requireBoardAmong(*boardsFound_);
  return board_;
}

std::string Invocation::boardPath() {
  const std::vector<std::string> paths = attachedBoardPaths();
  requireBoardAmong(static_cast<std::int16_t>(paths.size()));
  return paths[static_cast<std::size_t>(board_)];
}

void Invocation::requireBoardAmong(std::int16_t found) const {
  if (board_ >= found) {
    throw ToolError(ExitStatus::noSuchBoard,
                    "no board " + std::to_string(board_) + ": " + std::to_string(found) + " found");
  }
}

const CLI::Option& Invocation::option(const std::string& name) const {
  return *command_.get_option(name);
}

std::string Invocation::text(const std::string& name, const std::string& fallback) const {
  return given(name) ? option(name).as<std::string>() : fallback;
}

std::vector<std::string> Invocation::texts(const std::string& name) const {
  return option(name).as<std::vector<std::string>>();
}

bool Invocation::given(const std::string& name) const {
  return option(name).count() > 0;
}

void Invocation::stopOnBoxFailure() {
  if (const auto& failure = boxes_.failure()) throw ToolError(failure->status, failure->text, true);
}

CommandSet::CommandSet(const std::string& program, const std::string& description)
    : root_(std::make_unique<CLI::App>(description, program)) {
  CLI::App& root = *root_;
  root.fallthrough();
  root.require_subcommand(0, 1);
  addNumber(root, "-b,--board", "The board's index, the HIDnumber (default 0)", 0, kHighestBoard)
      ->default_str("0");
  addNumber(root, "--simulate", "N virtual boards behind any real ones (KSTHID_SIMULATE)", 0,
            KSTHID_MAX_SIMULATED_BOARDS);
  root.add_option("--trace")
      ->description("Append a packet trace to FILE (KSTHID_TRACE)")
      ->type_name("FILE");
  root.add_flag("--json")->description("One JSON document on standard output");
  addNumber(root, "--retry", "Answer the library's Retry/Cancel boxes Retry N times (default 0)", 0,
            kMostRetries)
      ->default_str("0");
  root.add_option("--batch")
      ->description("Run each line of FILE (- for standard input) as a command line")
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

int runTool(const std::string& program, const std::string& description, const Commands& commands,
            int argc, char** argv, std::ostream& out, std::ostream& errors) {
  Runner runner(program, description, commands, out, errors);
  return runner.run(std::vector<std::string>(argv + 1, argv + argc));
}

}  // namespace tools
