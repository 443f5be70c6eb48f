#include "invocation.h"

#include "ksthid.h"

namespace tools {
namespace {

// The boards present, with the information the library gives of each.
struct Enumeration {
  Enumeration() { ksthid_enumerate(&first); }
  ~Enumeration() { ksthid_free_enumeration(first); }
  Enumeration(const Enumeration&) = delete;
  Enumeration& operator=(const Enumeration&) = delete;
  ksthid_board_info* first = nullptr;
};

std::string noBoard(const std::string& name, std::size_t found) {
  return "no board " + name + ": " + std::to_string(found) + " found";
}

}  // namespace

void refuseArguments(const std::string& message) {
  throw ToolError(ExitStatus::usage, message, true);
}

void refuseInput(const std::string& message) {
  throw ToolError(ExitStatus::usage, message);
}

ExitStatus statusOfCode(int code) {
  switch (code) {
    case KSTHID_E_INVALID_ARGUMENT:
      return ExitStatus::usage;
    case KSTHID_E_NOT_FOUND:
    case KSTHID_E_ACCESS:
    case KSTHID_E_CLAIMED:
      return ExitStatus::noSuchBoard;
    case KSTHID_E_NACK:
    case KSTHID_E_BUS:
      return ExitStatus::deviceRefused;
    default:
      return ExitStatus::usbFailure;
  }
}

// The library numbers the boards at a connect of this thread and keeps the numbers of those it
// knew at the next; the handles it opens are closed again at once, since the commands open their
// own.
std::vector<std::string> numberedBoardPaths() {
  kstHID_connect();
  std::vector<std::string> paths;
  for (int number = 0;; ++number) {
    const int length = ksthid_hid_number_path(number, nullptr, 0);
    if (length < 0) break;
    std::string path(static_cast<std::size_t>(length), '\0');
    ksthid_hid_number_path(number, path.data(), path.size() + 1);
    paths.push_back(std::move(path));
  }
  kstHID_closeHandles();
  return paths;
}

Invocation::Invocation(const CLI::App& command, BoardName board, RetryBudget& retries, bool json,
                       std::ostream& live)
    : command_(command), board_(std::move(board)), retries_(retries), json_(json), live_(live) {}

Invocation::~Invocation() {
  ksthid_close(handle_);
}

std::string Invocation::boardPath() {
  if (const auto number = parseNumber(board_.text)) {
    const std::vector<std::string> paths = numberedBoardPaths();
    if (*number < 0 || static_cast<std::size_t>(*number) >= paths.size()) {
      throw ToolError(ExitStatus::noSuchBoard, noBoard(board_.text, paths.size()));
    }
    return paths[static_cast<std::size_t>(*number)];
  }
  // A path wins over a serial number, as in ksthid_open.
  const Enumeration boards;
  std::size_t found = 0;
  const ksthid_board_info* bySerial = nullptr;
  for (const ksthid_board_info* board = boards.first; board; board = board->next) {
    if (board->error != 0) continue;
    ++found;
    if (board_.text == board->path) return board->path;
    if (!bySerial && board_.text == board->serial) bySerial = board;
  }
  if (bySerial) return bySerial->path;
  throw ToolError(ExitStatus::noSuchBoard, noBoard(board_.text, found));
}

ksthid_board* Invocation::handle() {
  if (handle_) return handle_;
  // A name that is no index goes to the library as it is: a path, or else a serial number.
  const std::string name = parseNumber(board_.text) ? boardPath() : board_.text;
  if (const int code = ksthid_open(name.c_str(), &handle_); code < 0) {
    handle_ = nullptr;
    if (code == KSTHID_E_NOT_FOUND) {
      throw ToolError(ExitStatus::noSuchBoard,
                      "no board has the path or serial number " + board_.text);
    }
    const std::string hint = code == KSTHID_E_ACCESS ? kUdevHint : "";
    throw ToolError(statusOfCode(code), name + ": " + ksthid_strerror(code) + hint);
  }
  return handle_;
}

int Invocation::call(const std::function<int(ksthid_board*)>& function) {
  ksthid_board* board = handle();
  while (true) {
    const int result = function(board);
    if (result >= 0) return result;
    const bool again = result == KSTHID_E_TIMEOUT || result == KSTHID_E_IO;
    if (again && retries_.left > 0) {
      --retries_.left;
      continue;
    }
    const std::string detail = ksthid_last_error(board);
    throw ToolError(statusOfCode(result), detail.empty() ? ksthid_strerror(result) : detail);
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

bool Invocation::flag(const std::string& name) const {
  return given(name) && option(name).as<bool>();
}

}  // namespace tools
