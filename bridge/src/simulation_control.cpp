#include "simulation_control.h"

#include <cstdio>
#include <optional>
#include <sstream>

#include "virtual/virtual_transport.h"

namespace ksthid {
namespace {

enum class Command { carriedOut, go, skipped };

// Through the same calls as the exports, so that monitors hear of it alike.
Command carryOut(const std::string& line, VirtualTransport& boards) {
  std::istringstream words(line);
  std::string verb;
  std::string path;
  std::string more;
  words >> verb >> path;
  const bool oneArgument = !path.empty() && !(words >> more);
  if (verb == "go" && path.empty()) return Command::go;
  if ((verb == "unplug" || verb == "plug") && oneArgument && boards.has(path)) {
    if (verb == "unplug") {
      boards.unplug(path);
    } else {
      boards.plugIn(path);
    }
    return Command::carriedOut;
  }
  std::fprintf(stderr, "ksthid: KSTHID_SIMULATE_CONTROL: \"%s\" skipped\n", line.c_str());
  return Command::skipped;
}

// A line without its end, which may be "\r\n"; empty at the end of the pipe.
std::optional<std::string> nextLine(std::FILE* pipe) {
  std::string line;
  int character = 0;
  while ((character = std::fgetc(pipe)) != EOF && character != '\n') {
    line.push_back(static_cast<char>(character));
  }
  if (character == EOF && line.empty()) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

SimulationControl::SimulationControl(const std::string& pipe, VirtualTransport& boards) {
  std::FILE* commands = std::fopen(pipe.c_str(), "r");
  if (!commands) {
    std::fprintf(stderr, "ksthid: KSTHID_SIMULATE_CONTROL: cannot open %s\n", pipe.c_str());
    return;
  }
  while (const auto line = nextLine(commands)) {
    if (carryOut(*line, boards) == Command::go) break;
  }
  reader_ = std::thread([commands, &boards] {
    while (const auto line = nextLine(commands)) carryOut(*line, boards);
    std::fclose(commands);
  });
}

SimulationControl::~SimulationControl() {
  if (reader_.joinable()) reader_.join();
}

}  // namespace ksthid
