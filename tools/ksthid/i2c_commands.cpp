// i2c scan, probe, read, write, dump, options and toggle-scl.
#include <algorithm>
#include <cstdio>

#include "commands.h"
#include "ksthid_api.h"

namespace ksthid_tool {
namespace {

using tools::Invocation;

constexpr std::uint8_t kFirstScanned = 0x08;
constexpr std::uint8_t kLastScanned = 0x77;
constexpr int kHighestAddress = 127;
// One report carries at most this many bytes read, and this many bytes written after the
// register address (one more without it).
constexpr int kMostRead = KSTHID_I2C_MAX_READ;
constexpr int kMostWrittenAfterRegister = KSTHID_I2C_MAX_WRITE_WITH_REGISTER;
constexpr int kMostWrittenAlone = KSTHID_I2C_MAX_WRITE;
// The register address and the count travel together in one byte.
constexpr int kHighestRegisterEnd = 255;
constexpr int kMemorySize = 256;
constexpr int kBytesPerDumpLine = 16;
constexpr const char* kCarriedByOneReport = "the most one report carries";
// The word a register argument takes for no register address at all.
constexpr const char* kNoRegister = "none";
constexpr int kNone = -1;

// The register of a command: 0 to 255, or -1 (none), as the C API takes it.
int registerOf(const Invocation& run) {
  const std::string text = run.text("REG");
  return text == kNoRegister ? kNone : tools::numberFrom<int>(text);
}

std::vector<std::uint8_t> readBytes(Invocation& run, std::uint8_t address, int reg,
                                    std::size_t count) {
  std::vector<std::uint8_t> data(count);
  run.call([&](ksthid_board* board) {
    return ksthid_i2c_read(board, address, reg, data.data(), data.size());
  });
  return data;
}

void writeBytes(Invocation& run, std::uint8_t address, int reg,
                const std::vector<std::uint8_t>& bytes) {
  run.call([&](ksthid_board* board) {
    return ksthid_i2c_write(board, address, reg, bytes.data(), bytes.size());
  });
}

void refuseUnlessWithinRegisters(int reg, int count) {
  if (reg != kNone && reg + count > kHighestRegisterEnd) {
    tools::refuseArguments("REG + COUNT is " + std::to_string(reg + count) + ", above " +
                           std::to_string(kHighestRegisterEnd));
  }
}

bool probe(Invocation& run, std::uint8_t address) {
  return run.call([&](ksthid_board* board) { return ksthid_i2c_probe(board, address); }) == 1;
}

void scan(Invocation& run) {
  auto& found = run.result()["addresses"] = nlohmann::json::array();
  run.out() << "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f";
  for (int address = 0; address <= kLastScanned; ++address) {
    if (address % 16 == 0) {
      char row[8];
      std::snprintf(row, sizeof row, "\n%02x:", address);
      run.out() << row;
    }
    if (address < kFirstScanned) {
      run.out() << "   ";
      continue;
    }
    const bool answered = probe(run, static_cast<std::uint8_t>(address));
    char cell[8];
    std::snprintf(cell, sizeof cell, answered ? " %02x" : " --", address);
    run.out() << cell;
    if (answered) found.push_back(address);
  }
  run.out() << '\n';
}

void probeOne(Invocation& run) {
  const auto address = run.number<std::uint8_t>("ADDR");
  const bool answered = probe(run, address);
  run.out() << tools::hexByte(address) << (answered ? " answers\n" : " does not answer\n");
  run.result() = {{"address", address}, {"answers", answered}};
}

void read(Invocation& run) {
  const auto address = run.number<std::uint8_t>("ADDR");
  const int reg = registerOf(run);
  const auto count = run.number<std::size_t>("COUNT");
  refuseUnlessWithinRegisters(reg, static_cast<int>(count));
  const auto bytes = readBytes(run, address, reg, count);
  run.out() << hexBytes(bytes) << '\n';
  run.result()["data"] = bytes;
}

void write(Invocation& run) {
  const auto address = run.number<std::uint8_t>("ADDR");
  const int reg = registerOf(run);
  std::vector<std::uint8_t> bytes;
  for (const std::string& text : run.texts("BYTE")) bytes.push_back(tools::numberFrom<int>(text));
  // Without a register address its place in the report goes to a data byte.
  const int most = reg == kNone ? kMostWrittenAlone : kMostWrittenAfterRegister;
  if (static_cast<int>(bytes.size()) > most) {
    tools::refuseArguments(std::to_string(bytes.size()) + " bytes do not fit one report: " +
                           std::to_string(most) + " at most with REG " + run.text("REG"));
  }
  refuseUnlessWithinRegisters(reg, static_cast<int>(bytes.size()));
  writeBytes(run, address, reg, bytes);
}

void printDumpLine(std::ostream& out, int offset, const std::vector<std::uint8_t>& line) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x ", offset);
  out << text;
  for (std::size_t i = 0; i < kBytesPerDumpLine; ++i) {
    if (i % 8 == 0) out << ' ';
    if (i < line.size()) {
      std::snprintf(text, sizeof text, "%02x ", line[i]);
      out << text;
    } else {
      out << "   ";
    }
  }
  out << " |";
  for (const std::uint8_t byte : line) out << (byte >= 0x20 && byte < 0x7f ? char(byte) : '.');
  out << "|\n";
}

// The register and count may not pass 255 together, so the last byte of a 256-byte memory is
// out of reach of reads by register. The dump sets the device's address pointer with a one-byte
// write instead, then reads on from it, with no register, in the largest reads one report
// carries.
void dump(Invocation& run) {
  const auto address = run.number<std::uint8_t>("ADDR");
  const int size = run.number<int>("--size", kMemorySize);
  writeBytes(run, address, kNone, {0});
  std::vector<std::uint8_t> bytes;
  while (static_cast<int>(bytes.size()) < size) {
    const auto count = std::min<std::size_t>(kMostRead, size - bytes.size());
    const auto chunk = readBytes(run, address, kNone, count);
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
  }
  for (int offset = 0; offset < size; offset += kBytesPerDumpLine) {
    const auto end = bytes.begin() + std::min(offset + kBytesPerDumpLine, size);
    printDumpLine(run.out(), offset, {bytes.begin() + offset, end});
  }
  run.result() = {{"address", address}, {"data", bytes}};
}

void showOptions(Invocation& run) {
  std::uint8_t options = 0;
  run.call([&](ksthid_board* board) { return ksthid_i2c_options_read(board, &options); });
  run.out() << tools::hexByte(options) << '\n';
  run.result()["options"] = options;
}

void setOptions(Invocation& run) {
  const auto options = run.number<std::uint8_t>("OPTIONS");
  run.call([&](ksthid_board* board) { return ksthid_i2c_options_write(board, options); });
}

void toggleScl(Invocation& run) {
  run.call(ksthid_i2c_toggle_scl);
}

// The REG argument: a register address, or none.
void addRegister(CLI::App& command) {
  const CLI::Validator number = tools::numberIn(0, 255);
  command.add_option("REG")
      ->description("Register address sent first, 0 to 255; none sends no register address")
      ->type_name("REG|none")
      ->required()
      ->check(CLI::Validator(
          [number](std::string& text) {
            return text == kNoRegister ? std::string() : number(text);
          },
          ""));
}

}  // namespace

void addI2CCommands(tools::CommandSet& set) {
  CLI::App* i2c = set.add(set.root(), "i2c", "I2C transactions and the bus's settings");
  set.add(*i2c, "scan", "Show the addresses 0x08 to 0x77 that answer", scan);
  CLI::App* probing = set.add(*i2c, "probe",
                              "Tell whether a device answers at ADDR (a one-byte read of register "
                              "0); exit status 0 either way",
                              probeOne);
  tools::addNumber(*probing, "ADDR", "7-bit device address", 0, kHighestAddress)->required();

  CLI::App* reading = set.add(*i2c, "read",
                              "Read COUNT bytes from register REG; REG + COUNT may not pass 255 "
                              "(the bridge carries them in one byte)",
                              read);
  tools::addNumber(*reading, "ADDR", "7-bit device address", 0, kHighestAddress)->required();
  addRegister(*reading);
  tools::addNumber(*reading, "COUNT", "Bytes to read", 1, kMostRead, kCarriedByOneReport)
      ->required();

  CLI::App* writing = set.add(*i2c, "write", "Write bytes to register REG", write);
  tools::addNumber(*writing, "ADDR", "7-bit device address", 0, kHighestAddress)->required();
  addRegister(*writing);
  tools::addNumber(*writing, "BYTE",
                   "Bytes to write, 0 to 255 each: 1 to 58 after a register, 59 "
                   "without",
                   0, 255)
      ->type_name("BYTE...")
      ->required()
      ->expected(-1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);

  CLI::App* dumping = set.add(*i2c, "dump", "Show a device's memory as hexdump -C does", dump);
  tools::addNumber(*dumping, "ADDR", "7-bit device address", 0, kHighestAddress)->required();
  tools::addNumber(*dumping, "--size", "Bytes to show from address 0 (default 256)", 1,
                   kMemorySize);

  CLI::App* options = set.add(*i2c, "options", "Show the I2C options, or set them", showOptions);
  set.add(*options, "get", "Show the I2C option bits 0 to 2 (0 to 7)", showOptions);
  CLI::App* setting = set.add(*options, "set", "Set the I2C options", setOptions);
  tools::addNumber(*setting, "OPTIONS",
                   "Option bits 0 to 2 (0 to 7); their meaning is the bridge's", 0, 7,
                   "only bits 0 to 2 travel")
      ->required();

  set.add(*i2c, "toggle-scl", "Clock SCL to free a bus whose SDA line is held low", toggleScl);
}

}  // namespace ksthid_tool
