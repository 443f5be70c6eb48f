// i2c scan, read, write, dump, options and toggle-scl.
#include <algorithm>
#include <cstdio>

#include "commands.h"
#include "ksthid_api.h"
#include "ole_values.h"

namespace ksthid_tool {
namespace {

using tools::ExitStatus;
using tools::Invocation;

constexpr std::uint8_t kFirstScanned = 0x08;
constexpr std::uint8_t kLastScanned = 0x77;
constexpr int kHighestAddress = 127;
// One report carries at most this many bytes read, and this many bytes written after the
// register address (one more without it).
constexpr int kMostRead = KSTHID_I2C_MAX_READ;
constexpr int kMostWrittenAfterRegister = KSTHID_I2C_MAX_WRITE_WITH_REGISTER;
// The register address and the count travel together in one byte.
constexpr int kHighestRegisterEnd = 255;
constexpr int kMemorySize = 256;
constexpr int kBytesPerDumpLine = 16;
// No box when a device does not answer: the exit status says so.
constexpr std::int16_t kQuiet = KSTHID_TRUE;
constexpr const char* kCarriedByOneReport = "the most one report carries";

struct Transaction {
  std::uint8_t address;
  std::uint8_t reg;
};

// The transaction's failure: a box says when it was the USB's, else the device refused.
void stopOnFailedTransaction(Invocation& run, std::int16_t result, const Transaction& done) {
  if (result == KSTHID_I2C_DONE) {
    // A USB failure answered Retry was repeated and went through.
    run.boxes().forget();
    return;
  }
  run.stopOnBoxFailure();
  throw tools::ToolError(ExitStatus::deviceRefused,
                         "the device at " + tools::hexByte(done.address) + " did not answer");
}

std::vector<std::uint8_t> readBytes(Invocation& run, Transaction at, std::uint8_t count) {
  std::int16_t board = run.board();
  std::int16_t quiet = kQuiet;
  tools::ByteArray data;
  tools::ByteArray registerBuffer;
  const std::int16_t result = kstHID_doI2CRead(&at.address, &at.reg, &count, data.address(),
                                               registerBuffer.address(), &board, &quiet);
  stopOnFailedTransaction(run, result, at);
  return data.bytes();
}

void writeBytes(Invocation& run, Transaction at, const std::vector<std::uint8_t>& bytes) {
  std::int16_t board = run.board();
  std::int16_t quiet = kQuiet;
  auto count = static_cast<std::uint8_t>(bytes.size());
  tools::ByteArray data(bytes);
  tools::ByteArray registerBuffer;
  const std::int16_t result = kstHID_doI2CWrite(&at.address, &at.reg, &count, data.address(),
                                                registerBuffer.address(), &board, &quiet);
  stopOnFailedTransaction(run, result, at);
}

void refuseUnlessWithinRegisters(int reg, int count) {
  if (reg + count > kHighestRegisterEnd) {
    tools::refuseArguments("REG + COUNT is " + std::to_string(reg + count) + ", above " +
                           std::to_string(kHighestRegisterEnd));
  }
}

void scan(Invocation& run) {
  std::int16_t board = run.board();
  std::uint8_t reg = 0;
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
    auto probed = static_cast<std::uint8_t>(address);
    const bool answered = kstHID_probeI2CAddress(&probed, &board, &reg) == KSTHID_I2C_DONE;
    run.stopOnBoxFailure();
    char cell[8];
    std::snprintf(cell, sizeof cell, answered ? " %02x" : " --", address);
    run.out() << cell;
    if (answered) found.push_back(address);
  }
  run.out() << '\n';
}

void read(Invocation& run) {
  const Transaction at{run.number<std::uint8_t>("ADDR"), run.number<std::uint8_t>("REG")};
  const auto count = run.number<std::uint8_t>("COUNT");
  refuseUnlessWithinRegisters(at.reg, count);
  const auto bytes = readBytes(run, at, count);
  run.out() << hexBytes(bytes) << '\n';
  run.result()["data"] = bytes;
}

void write(Invocation& run) {
  const Transaction at{run.number<std::uint8_t>("ADDR"), run.number<std::uint8_t>("REG")};
  std::vector<std::uint8_t> bytes;
  for (const std::string& text : run.texts("BYTE")) bytes.push_back(tools::numberFrom<int>(text));
  // Register 0 travels as no register address at all, leaving its place to a data byte.
  const int most = kMostWrittenAfterRegister + (at.reg == 0 ? 1 : 0);
  if (static_cast<int>(bytes.size()) > most) {
    tools::refuseArguments(std::to_string(bytes.size()) + " bytes do not fit one report: " +
                           std::to_string(most) + " at most with REG " + std::to_string(at.reg));
  }
  refuseUnlessWithinRegisters(at.reg, static_cast<int>(bytes.size()));
  writeBytes(run, at, bytes);
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

// A read with register 0 sends no register address, and the register and count may not pass
// 255 together, so the last byte of a 256-byte memory is out of reach of reads by register.
// The dump sets the device's address pointer with a one-byte write instead, then reads on from
// it in the largest reads one report carries.
void dump(Invocation& run) {
  const auto address = run.number<std::uint8_t>("ADDR");
  const int size = run.number<int>("--size", kMemorySize);
  writeBytes(run, {address, 0}, {0});
  std::vector<std::uint8_t> bytes;
  while (static_cast<int>(bytes.size()) < size) {
    const auto count = static_cast<std::uint8_t>(std::min<int>(kMostRead, size - bytes.size()));
    const auto chunk = readBytes(run, {address, 0}, count);
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
  }
  for (int offset = 0; offset < size; offset += kBytesPerDumpLine) {
    const auto end = bytes.begin() + std::min(offset + kBytesPerDumpLine, size);
    printDumpLine(run.out(), offset, {bytes.begin() + offset, end});
  }
  run.result() = {{"address", address}, {"data", bytes}};
}

void showOptions(Invocation& run) {
  std::int16_t board = run.board();
  const std::uint8_t options = kstHID_getI2COptions(&board);
  run.stopOnBoxFailure();
  run.out() << tools::hexByte(options) << '\n';
  run.result()["options"] = options;
}

void setOptions(Invocation& run) {
  auto options = run.number<std::uint8_t>("OPTIONS");
  std::uint8_t noToggle = 0;
  std::int16_t board = run.board();
  kstHID_setI2COptions(&options, &noToggle, &board);
}

void toggleScl(Invocation& run) {
  std::int16_t board = run.board();
  kstHID_toggleSCL(&board);
}

}  // namespace

void addI2CCommands(tools::CommandSet& set) {
  CLI::App* i2c = set.add(set.root(), "i2c", "I2C transactions and the bus's settings");
  set.add(*i2c, "scan", "Show the addresses 0x08 to 0x77 that answer", scan);

  CLI::App* reading = set.add(*i2c, "read", "Read COUNT bytes from register REG", read);
  tools::addNumber(*reading, "ADDR", "7-bit device address", 0, kHighestAddress)->required();
  tools::addNumber(*reading, "REG", "Register address; 0 sends none", 0, 255)->required();
  tools::addNumber(*reading, "COUNT", "Bytes to read", 1, kMostRead, kCarriedByOneReport)
      ->required();

  CLI::App* writing = set.add(*i2c, "write", "Write bytes to register REG", write);
  tools::addNumber(*writing, "ADDR", "7-bit device address", 0, kHighestAddress)->required();
  tools::addNumber(*writing, "REG", "Register address; 0 sends none", 0, 255)->required();
  tools::addNumber(*writing, "BYTE", "Bytes to write", 0, 255)
      ->required()
      ->expected(-1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);

  CLI::App* dumping = set.add(*i2c, "dump", "Show a device's memory as hexdump -C does", dump);
  tools::addNumber(*dumping, "ADDR", "7-bit device address", 0, kHighestAddress)->required();
  tools::addNumber(*dumping, "--size", "Bytes to show from address 0 (default 256)", 1,
                   kMemorySize);

  CLI::App* options = set.add(*i2c, "options", "Show the I2C options, or set them", showOptions);
  set.add(*options, "get", "Show the I2C options (bits 0 to 2)", showOptions);
  CLI::App* setting = set.add(*options, "set", "Set the I2C options", setOptions);
  tools::addNumber(*setting, "OPTIONS", "Option bits 0 to 2", 0, 7, "only bits 0 to 2 travel")
      ->required();

  set.add(*i2c, "toggle-scl", "Clock SCL to free a bus whose SDA line is held low", toggleScl);
}

}  // namespace ksthid_tool
