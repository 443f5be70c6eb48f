#include "trace_vcd.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "protocol.h"

namespace ksthid_tool {
namespace {

using namespace ksthid;

// What one line changes: a board's value bytes, its configuration bytes and flag, or its chip's
// register and EEPROM.
enum class Group { value, configuration, chip };
constexpr std::size_t kGroups = 3;

struct FieldShape {
  const char* name;
  int width;
};

// The signals of each group, one byte of the change each.
const std::vector<FieldShape>& shapesOf(Group group) {
  static const std::array<std::vector<FieldShape>, kGroups> kShapes = {{
      {{"value1", 8}, {"value2", 8}},
      {{"config1", 8}, {"config2", 8}, {"config_flag", 1}},
      {{"dvr", 8}, {"eeprom", 8}},
  }};
  return kShapes[static_cast<std::size_t>(group)];
}

struct Change {
  std::uint64_t time;
  std::size_t board;
  Group group;
  std::array<std::uint8_t, 3> bytes;
};

struct Board {
  std::string path;
  bool pins = false;
  bool chip = false;
};

struct Trace {
  std::vector<Board> boards;
  std::vector<Change> changes;
  std::uint64_t end = 0;
};

std::vector<std::string> wordsOf(const std::string& line) {
  std::istringstream split(line);
  std::vector<std::string> words;
  for (std::string word; split >> word;) words.push_back(word);
  return words;
}

template <typename Number>
std::optional<Number> numberOf(std::string_view text, int base = 10) {
  Number number{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  return number;
}

class TraceReader {
 public:
  Trace read(std::istream& in) {
    std::string text;
    for (std::size_t number = 1; std::getline(in, text); ++number) {
      // Traces written on Windows end their lines in CR LF.
      if (!text.empty() && text.back() == '\r') text.pop_back();
      line_ = number;
      readLine(wordsOf(text));
    }
    return std::move(trace_);
  }

 private:
  [[noreturn]] void refuse(const std::string& why) const { throw MalformedTrace(line_, why); }

  void readLine(const std::vector<std::string>& words) {
    if (words.empty()) return;
    if (words.size() < 3) refuse("TIME KIND PATH expected");
    const std::uint64_t time = continuedTime(words[0]);
    trace_.end = time + 1;
    const std::string& kind = words[1];
    if (kind == "W" || kind == "R") {
      if (words.size() < 4) refuse("the report's 64 bytes in hex expected after the path");
      const Report report = reportOf(words.back());
      if (kind == "W") readRequest(time, pathOf(words, 1), report);
    } else if (kind == "C") {
      if (words.size() < 5) refuse("dvr=N eeprom=N expected after the path");
      const std::uint8_t dvr = registerOf(words[words.size() - 2], "dvr=");
      const std::uint8_t eeprom = registerOf(words.back(), "eeprom=");
      add({time, boardOf(pathOf(words, 2)), Group::chip, {dvr, eeprom, 0}});
    } else if (kind != "E") {
      refuse("the kind " + kind + " is none of W, R, E and C");
    }
  }

  // A trace appended to by a second run starts again at 0, and two threads may write their lines
  // a few microseconds out of order: such a line goes on from the latest time.
  std::uint64_t continuedTime(const std::string& word) {
    const auto time = numberOf<std::uint64_t>(word);
    if (!time) refuse("the time " + word + " is not a number of microseconds");
    if (*time > std::numeric_limits<std::uint64_t>::max() - 1 - offset_) {
      refuse("the time " + word + " is too large");
    }
    if (*time + offset_ < latest_) offset_ = latest_ - *time;
    latest_ = *time + offset_;
    return latest_;
  }

  Report reportOf(const std::string& hex) const {
    if (hex.size() != 2 * kReportLength) {
      refuse("a report is 128 hex digits, not " + std::to_string(hex.size()));
    }
    Report report{};
    for (std::size_t i = 0; i < kReportLength; ++i) {
      const auto byte = numberOf<std::uint8_t>(std::string_view(hex).substr(2 * i, 2), 16);
      if (!byte) refuse("the report " + hex + " is not in hex");
      report[i] = *byte;
    }
    return report;
  }

  std::uint8_t registerOf(const std::string& word, const std::string& name) const {
    const auto value =
        word.starts_with(name) ? numberOf<std::uint8_t>(word.substr(name.size())) : std::nullopt;
    if (!value) refuse(name + "N with N from 0 to 255 expected, not " + word);
    return *value;
  }

  // The words between the kind and the last `trailing` words.
  static std::string pathOf(const std::vector<std::string>& words, std::size_t trailing) {
    std::string path = words[2];
    for (std::size_t i = 3; i + trailing < words.size(); ++i) path += " " + words[i];
    return path;
  }

  void readRequest(std::uint64_t time, const std::string& path, const Report& report) {
    if (report[kReportIdByte] != kRequestReportId || isQuery(report)) return;
    const std::uint8_t first = report[kGpioFirstByte], second = report[kGpioSecondByte];
    if (commandOf(report) == kCommandGpioValue) {
      add({time, boardOf(path), Group::value, {first, second, 0}});
    } else if (commandOf(report) == kCommandGpioConfiguration) {
      add({time,
           boardOf(path),
           Group::configuration,
           {first, second, flagByte(report[kGpioFlagByte])}});
    }
  }

  void add(const Change& change) {
    Board& board = trace_.boards[change.board];
    (change.group == Group::chip ? board.chip : board.pins) = true;
    trace_.changes.push_back(change);
  }

  std::size_t boardOf(const std::string& path) {
    for (std::size_t board = 0; board < trace_.boards.size(); ++board) {
      if (trace_.boards[board].path == path) return board;
    }
    trace_.boards.push_back({path});
    return trace_.boards.size() - 1;
  }

  Trace trace_;
  std::size_t line_ = 0;
  std::uint64_t latest_ = 0;
  std::uint64_t offset_ = 0;
};

// One byte of a change as VCD signals: one for each bit, or one vector.
struct Field {
  std::string name;
  int width;
  bool perBit;
  // From the most significant bit down, as readers that join the bits into a vector expect.
  std::vector<std::string> ids;
  // Unknown until the first change.
  std::optional<std::uint8_t> value;
};

// VCD's short identifiers: the printable characters from ! to ~ as digits.
std::string identifier(std::size_t index) {
  std::string id;
  do {
    id += static_cast<char>('!' + index % 94);
    index /= 94;
  } while (index > 0);
  return id;
}

std::string scopeName(const std::string& path) {
  std::string name = path;
  for (char& c : name) {
    const bool word =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!word) c = '_';
  }
  return name;
}

class VcdWriter {
 public:
  VcdWriter(const Trace& trace, const VcdOptions& options) : trace_(trace) {
    std::size_t signals = 0;
    for (const Board& board : trace.boards) {
      std::array<std::size_t, kGroups> first{};
      for (const Group group : {Group::value, Group::configuration, Group::chip}) {
        first[static_cast<std::size_t>(group)] = fields_.size();
        const bool present = group == Group::chip ? board.chip : board.pins;
        if (!present) continue;
        for (const FieldShape& shape : shapesOf(group)) {
          const bool perBit = group != Group::chip || !options.registerVectors;
          Field field{shape.name, shape.width, perBit, {}, {}};
          for (int bit = 0; bit < (perBit ? shape.width : 1); ++bit) {
            field.ids.push_back(identifier(signals++));
          }
          fields_.push_back(field);
        }
      }
      firstField_.push_back(first);
      scopeEnd_.push_back(fields_.size());
    }
  }

  void write(std::ostream& out) {
    out << "$version ksthid trace vcd $end\n$timescale 1us $end\n";
    declare(out);
    out << "$enddefinitions $end\n#0\n$dumpvars\n";
    for (const Field& field : fields_) {
      for (const std::string& id : field.ids) out << (field.perBit ? "x" : "bx ") << id << '\n';
    }
    out << "$end\n";
    std::uint64_t written = 0;
    for (const Change& change : trace_.changes) {
      if (change.time > written) out << '#' << change.time << '\n';
      written = change.time;
      const std::size_t first = firstField_[change.board][static_cast<std::size_t>(change.group)];
      for (std::size_t i = 0; i < shapesOf(change.group).size(); ++i) {
        update(out, fields_[first + i], change.bytes[i]);
      }
    }
    // Readers that sample show the state the trace ends in for one microsecond.
    if (trace_.end > written) out << '#' << trace_.end << '\n';
  }

 private:
  void declare(std::ostream& out) const {
    std::set<std::string> scopes;
    std::size_t field = 0;
    for (std::size_t board = 0; board < trace_.boards.size(); ++board) {
      std::string scope = scopeName(trace_.boards[board].path);
      for (int copy = 2; !scopes.insert(scope).second; ++copy) {
        scope = scopeName(trace_.boards[board].path) + "_" + std::to_string(copy);
      }
      out << "$scope module " << scope << " $end\n";
      for (; field < scopeEnd_[board]; ++field) declareField(out, fields_[field]);
      out << "$upscope $end\n";
    }
  }

  static void declareField(std::ostream& out, const Field& field) {
    if (!field.perBit) {
      out << "$var wire " << field.width << ' ' << field.ids[0] << ' ' << field.name << " ["
          << field.width - 1 << ":0] $end\n";
      return;
    }
    for (int bit = field.width - 1; bit >= 0; --bit) {
      out << "$var wire 1 " << field.ids[field.width - 1 - bit] << ' ' << field.name;
      if (field.width > 1) out << " [" << bit << ']';
      out << " $end\n";
    }
  }

  static void update(std::ostream& out, Field& field, std::uint8_t value) {
    if (field.value == value) return;
    for (int bit = field.width - 1; bit >= 0 && field.perBit; --bit) {
      const int level = (value >> bit) & 1;
      if (!field.value || ((*field.value >> bit) & 1) != level) {
        out << level << field.ids[field.width - 1 - bit] << '\n';
      }
    }
    if (!field.perBit) {
      out << 'b';
      for (int bit = field.width - 1; bit >= 0; --bit) out << ((value >> bit) & 1);
      out << ' ' << field.ids[0] << '\n';
    }
    field.value = value;
  }

  const Trace& trace_;
  std::vector<Field> fields_;
  // Per board, the first field of each group, and the end of its fields.
  std::vector<std::array<std::size_t, kGroups>> firstField_;
  std::vector<std::size_t> scopeEnd_;
};

}  // namespace

void writeVcd(std::istream& trace, std::ostream& vcd, const VcdOptions& options) {
  const Trace read = TraceReader().read(trace);
  VcdWriter(read, options).write(vcd);
}

}  // namespace ksthid_tool
