// list, monitor, version, clock and led.
#include <algorithm>
#include <cstdint>
#include <iostream>

#include "commands.h"
#include "firmware_version_text.h"
#include "ksthid_api.h"

namespace ksthid_tool {
namespace {

using tools::Invocation;

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

std::string serialOf(const ksthid_board_info& info) {
  return *info.serial ? info.serial : "-";
}

// The bridges in the library's order: index (the HIDnumber, which -b takes), path, serial number,
// firmware version and product of those that can be opened; a dash for the index, and why not, of
// the others.
void listBoards(Invocation& run) {
  const std::vector<std::string> numbered = tools::numberedBoardPaths();
  ksthid_board_info* list = nullptr;
  if (const int count = ksthid_enumerate(&list); count < 0) {
    throw tools::ToolError(tools::statusOfCode(count), ksthid_strerror(count));
  }
  auto& boards = run.result()["boards"] = nlohmann::json::array();
  auto& unopened = run.result()["unopened"] = nlohmann::json::array();
  for (const ksthid_board_info* info = list; info; info = info->next) {
    if (info->error != 0) {
      const bool denied = info->error == KSTHID_E_ACCESS;
      run.out() << "-\t" << info->path << '\t' << serialOf(*info) << '\t' << info->error_text
                << (denied ? tools::kUdevHint : "") << '\t' << info->product << '\n';
      unopened.push_back(boardJson(*info));
      unopened.back()["reason"] = info->error_text;
      continue;
    }
    const std::string version = firmwareVersion(*info);
    // A board that came after the connect has no number yet.
    const auto number = std::ranges::find(numbered, info->path);
    const std::string index =
        number == numbered.end() ? "-" : std::to_string(number - numbered.begin());
    run.out() << index << '\t' << info->path << '\t' << serialOf(*info) << '\t' << version << '\t'
              << info->product << '\n';
    boards.push_back(boardJson(*info));
    if (number != numbered.end()) boards.back()["index"] = number - numbered.begin();
    boards.back()["firmware"] = version;
  }
  const bool none = list == nullptr;
  ksthid_free_enumeration(list);
  if (none && !run.json()) std::cerr << "no board found\n";
}

// Arrivals and departures as they happen, until --count events or --timeout seconds without
// one; with --json a document a line, and at the end one that counts them.
void watchBoards(Invocation& run) {
  ksthid_monitor* monitor = nullptr;
  if (const int result = ksthid_monitor_open(&monitor); result != 0) {
    throw tools::ToolError(tools::statusOfCode(result), ksthid_strerror(result));
  }
  const long events = run.number<long>("--count", -1);
  const int timeout = run.given("--timeout") ? run.number<int>("--timeout") * 1000 : -1;
  std::ostream& out = run.live();
  int result = 0;
  long seen = 0;
  for (; events < 0 || seen < events; ++seen) {
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
      out << kind << '\t' << info->path << '\t' << serialOf(*info) << '\t' << info->product
          << std::endl;
    }
    ksthid_free_enumeration(info);
  }
  ksthid_monitor_close(monitor);
  if (result < 0) throw tools::ToolError(tools::statusOfCode(result), ksthid_strerror(result));
  run.result()["events"] = seen;
}

void showVersion(Invocation& run) {
  ksthid_firmware version{};
  run.call([&](ksthid_board* board) { return ksthid_firmware_version(board, &version); });
  const std::string text = versionText(version);
  run.out() << text << '\n';
  run.result()["firmware"] = text;
}

void showClock(Invocation& run) {
  std::uint32_t clock = 0;
  run.call([&](ksthid_board* board) { return ksthid_system_clock(board, &clock); });
  run.out() << clock << '\n';
  run.result()["systemClock"] = clock;
}

std::uint8_t readLeds(Invocation& run) {
  std::uint8_t leds = 0;
  run.call([&](ksthid_board* board) { return ksthid_leds_read(board, &leds); });
  return leds;
}

void showLeds(Invocation& run) {
  const std::uint8_t lit = readLeds(run);
  auto& leds = run.result()["leds"] = nlohmann::json::array();
  for (int led = 0; led < 2; ++led) {
    const bool on = (lit >> led & 1) != 0;
    run.out() << "led" << led << ' ' << (on ? "on" : "off") << '\n';
    leds.push_back(on);
  }
}

void setLed(Invocation& run) {
  const auto bit = static_cast<std::uint8_t>(1 << run.number<int>("LED"));
  const std::uint8_t lit = readLeds(run);
  const auto leds = static_cast<std::uint8_t>(run.text("STATE") == "on" ? lit | bit : lit & ~bit);
  run.call([&](ksthid_board* board) { return ksthid_leds_write(board, leds); });
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
          "List the boards: index, device path, serial number, firmware version, product; and the "
          "bridges that cannot be opened, with why",
          listBoards);
  CLI::App* monitor =
      set.add(root, "monitor", "Show boards arriving and leaving as they do", watchBoards);
  tools::addNumber(*monitor, "--count", "Stop after N events", 1, INT32_MAX);
  tools::addNumber(*monitor, "--timeout",
                   "Stop after N seconds without an event (0: report what is pending)", 0, 86400);
  set.add(root, "version", "Show the board's firmware version", showVersion);
  set.add(root, "clock",
          "Show the system clock value the board reports, times 1000 (the unit is the "
          "firmware's)",
          showClock);
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
