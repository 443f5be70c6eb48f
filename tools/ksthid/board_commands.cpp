// list, version, clock and led.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "commands.h"
#include "ole_values.h"
#include "system.h"

namespace ksthid_tool {
namespace {

using tools::Invocation;

constexpr const char* kUdevHint =
    " (the udev rule 70-ksthid.rules lets the user at the seat open the bridges: see \"A real "
    "board on Linux\" in the README)";

struct TraceLine {
  char kind = 0;
  std::string path;
  std::string rest;
};

// The library names each board's device, and each device it could not open with the reason,
// only in its packet trace: list reads them from there. Without a trace asked for, a file of
// its own stands in for one for as long as list runs.
class TraceTail {
 public:
  TraceTail() {
    if (const char* asked = std::getenv("KSTHID_TRACE"); asked && *asked) {
      file_ = asked;
    } else if (const auto made = tools::createTemporaryFile("ksthid-list-"); !made.empty()) {
      file_ = made.string();
      owned_ = true;
      tools::setEnvironment("KSTHID_TRACE", file_);
    }
    std::error_code error;
    const auto size = std::filesystem::file_size(file_, error);
    read_ = error ? 0 : size;
  }
  ~TraceTail() {
    if (!owned_) return;
    tools::unsetEnvironment("KSTHID_TRACE");
    std::error_code error;
    std::filesystem::remove(file_, error);
  }
  TraceTail(const TraceTail&) = delete;
  TraceTail& operator=(const TraceTail&) = delete;

  // The lines written since the last call.
  std::vector<TraceLine> newLines() {
    std::ifstream in(file_);
    in.seekg(static_cast<std::streamoff>(read_));
    std::vector<TraceLine> lines;
    std::string text;
    while (std::getline(in, text)) {
      read_ += text.size() + 1;
      std::istringstream fields(text);
      std::string time;
      TraceLine line;
      fields >> time >> line.kind >> line.path;
      std::getline(fields >> std::ws, line.rest);
      lines.push_back(line);
    }
    return lines;
  }

 private:
  std::string file_;
  bool owned_ = false;
  std::uintmax_t read_ = 0;
};

std::string lastWrittenPath(const std::vector<TraceLine>& lines) {
  std::string path = "?";
  for (const TraceLine& line : lines) {
    if (line.kind == 'W') path = line.path;
  }
  return path;
}

std::string firmwareVersion(Invocation& run, std::int16_t board) {
  kstHID_showVersion(&board);
  run.stopOnBoxFailure();
  const auto texts = run.boxes().takeInformation();
  return texts.empty() ? std::string() : texts.back();
}

void listBoards(Invocation& run) {
  TraceTail trace;
  const std::int16_t found = kstHID_connect();
  auto& unopened = run.result()["unopened"] = nlohmann::json::array();
  for (const TraceLine& line : trace.newLines()) {
    if (line.kind != 'E') continue;
    const bool denied = line.rest.find("Permission denied") != std::string::npos;
    run.out() << "-\t" << line.path << '\t' << line.rest << (denied ? kUdevHint : "") << '\n';
    unopened.push_back({{"path", line.path}, {"reason", line.rest}});
  }
  auto& boards = run.result()["boards"] = nlohmann::json::array();
  for (std::int16_t board = 0; board < found; ++board) {
    const std::string version = firmwareVersion(run, board);
    const std::string path = lastWrittenPath(trace.newLines());
    run.out() << board << '\t' << path << '\t' << version << '\n';
    boards.push_back({{"index", board}, {"path", path}, {"firmware", version}});
  }
}

void showVersion(Invocation& run) {
  const std::string version = firmwareVersion(run, run.board());
  run.out() << version << '\n';
  run.result()["firmware"] = version;
}

void showClock(Invocation& run) {
  tools::NumberVariant board(run.board());
  const std::int16_t frequency = kstHID_getSystemClockFrequency(board.address());
  run.stopOnBoxFailure();
  run.out() << frequency << '\n';
  run.result()["systemClock"] = frequency;
}

void showLeds(Invocation& run) {
  std::int16_t board = run.board();
  auto& leds = run.result()["leds"] = nlohmann::json::array();
  for (std::int16_t led = 0; led < 2; ++led) {
    const bool on = kstHID_getLEDState(&led, &board) != 0;
    run.stopOnBoxFailure();
    run.out() << "led" << led << ' ' << (on ? "on" : "off") << '\n';
    leds.push_back(on);
  }
}

void setLed(Invocation& run) {
  std::int16_t led = run.number<std::int16_t>("LED");
  std::uint8_t state = run.text("STATE") == "on" ? 1 : 0;
  std::int16_t board = run.board();
  kstHID_setLEDState(&state, &led, &board);
}

}  // namespace

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) text += (text.empty() ? "" : " ") + tools::hexByte(byte);
  return text;
}

void addBoardCommands(tools::CommandSet& set) {
  CLI::App& root = set.root();
  set.add(root, "list", "List the boards: index, device path, firmware; and devices not opened",
          listBoards);
  set.add(root, "version", "Show the board's firmware version", showVersion);
  set.add(root, "clock", "Show the board's system clock frequency", showClock);
  CLI::App* led = set.add(root, "led", "Show the two LEDs, or set one", showLeds);
  set.add(*led, "get", "Show the two LEDs", showLeds);
  CLI::App* ledSet = set.add(*led, "set", "Switch one LED on or off", setLed);
  tools::addNumber(*ledSet, "LED", "0 or 1", 0, 1)->required();
  ledSet->add_option("STATE")
      ->description("on or off")
      ->required()
      ->check(CLI::IsMember({"on", "off"}));
}

}  // namespace ksthid_tool
