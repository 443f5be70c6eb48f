// list, monitor, version, clock and led.
#include <cstdint>
#include <ostream>

#include "commands.h"
#include "firmware_version_text.h"
#include "ksthid_api.h"
#include "ole_values.h"

namespace ksthid_tool {
namespace {

using tools::Invocation;

constexpr const char* kUdevHint =
    " (the udev rule 70-ksthid.rules lets the user at the seat open the bridges: see \"A real "
    "board on Linux\" in the README)";

// In English, where the library's version box names the month in the user's language.
std::string versionText(const ksthid_firmware& version) {
  return ksthid::firmwareVersionText(version.major, version.minor, version.year,
                                     ksthid::englishMonthName(version.month), version.day);
}

// The firmware version of an openable board; why not, when it cannot be read.
std::string firmwareVersion(const ksthid_board_info& info) {
  ksthid_board* board = nullptr;
  int result = ksthid_open(info.path, &board);
  ksthid_firmware version{};
  if (result == 0) result = ksthid_firmware_version(board, &version);
  const std::string text = result == 0 ? versionText(version) : ksthid_strerror(result);
  ksthid_close(board);
  return text;
}

nlohmann::json boardJson(const ksthid_board_info& info) {
  return {{"path", info.path}, {"serial", info.serial}, {"product", info.product}};
}

// The bridges in the library's order: those that can be opened with their HIDnumber, the
// others with why not.
void listBoards(Invocation& run) {
  ksthid_board_info* list = nullptr;
  if (const int count = ksthid_enumerate(&list); count < 0) {
    throw tools::ToolError(tools::ExitStatus::usbFailure, ksthid_strerror(count));
  }
  auto& boards = run.result()["boards"] = nlohmann::json::array();
  auto& unopened = run.result()["unopened"] = nlohmann::json::array();
  std::int16_t index = 0;
  for (const ksthid_board_info* info = list; info; info = info->next) {
    if (info->error != 0) {
      const bool denied = info->error == KSTHID_E_ACCESS;
      run.out() << "-\t" << info->path << '\t' << info->error_text << (denied ? kUdevHint : "")
                << '\t' << info->serial << '\t' << info->product << '\n';
      unopened.push_back(boardJson(*info));
      unopened.back()["reason"] = info->error_text;
      continue;
    }
    const std::string version = firmwareVersion(*info);
    run.out() << index << '\t' << info->path << '\t' << version << '\t' << info->serial << '\t'
              << info->product << '\n';
    boards.push_back(boardJson(*info));
    boards.back()["index"] = index++;
    boards.back()["firmware"] = version;
  }
  ksthid_free_enumeration(list);
}

// Arrivals and departures as they happen, until --count events or --timeout seconds without
// one.
void watchBoards(Invocation& run) {
  ksthid_monitor* monitor = nullptr;
  if (const int result = ksthid_monitor_open(&monitor); result != 0) {
    throw tools::ToolError(tools::ExitStatus::usbFailure, ksthid_strerror(result));
  }
  const long events = run.number<long>("--count", -1);
  const int timeout = run.given("--timeout") ? run.number<int>("--timeout") * 1000 : -1;
  std::ostream& out = run.live();
  int result = 0;
  for (long seen = 0; events < 0 || seen < events; ++seen) {
    ksthid_board_info* info = nullptr;
    int event = 0;
    result = ksthid_monitor_next(monitor, timeout, &event, &info);
    if (result <= 0) break;
    const char* kind = event == KSTHID_ARRIVED ? "arrived" : "left";
    if (run.json()) {
      nlohmann::json line = boardJson(*info);
      line["event"] = kind;
      out << line.dump() << std::endl;
    } else {
      out << kind << '\t' << info->path << '\t' << info->serial << '\t' << info->product
          << std::endl;
    }
    ksthid_free_enumeration(info);
  }
  ksthid_monitor_close(monitor);
  if (result < 0) throw tools::ToolError(tools::ExitStatus::usbFailure, ksthid_strerror(result));
}

std::string firmwareVersion(Invocation& run, std::int16_t board) {
  kstHID_showVersion(&board);
  run.stopOnBoxFailure();
  const auto texts = run.boxes().takeInformation();
  return texts.empty() ? std::string() : texts.back();
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
  for (const std::uint8_t byte : bytes) {
    if (!text.empty()) text += ' ';
    text += tools::hexByte(byte);
  }
  return text;
}

void addBoardCommands(tools::CommandSet& set) {
  CLI::App& root = set.root();
  set.add(root, "list",
          "List the boards: index, device path, firmware, serial, product; and bridges not opened",
          listBoards);
  CLI::App* monitor =
      set.add(root, "monitor", "Show boards arriving and leaving as they do", watchBoards);
  tools::addNumber(*monitor, "--count", "stop after N events", 1, INT32_MAX);
  tools::addNumber(*monitor, "--timeout", "stop after N seconds without an event", 0, 86400);
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
