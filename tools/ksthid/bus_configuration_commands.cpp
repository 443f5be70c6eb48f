// smbus timer and frequency; spi options, divisor and xfer.
#include "commands.h"
#include "ksthid_api.h"
#include "ole_values.h"

namespace ksthid_tool {
namespace {

using tools::Invocation;

constexpr int kMostSpiBytes = KSTHID_SPI_MAX_TRANSFER;

void reportNumber(Invocation& run, const char* name, int value) {
  run.stopOnBoxFailure();
  run.out() << value << '\n';
  run.result()[name] = value;
}

void smbusTimer(Invocation& run) {
  std::int16_t board = run.board();
  if (!run.given("N")) return reportNumber(run, "timerCount", kstHID_getSMBusTimerCount(&board));
  auto count = run.number<std::uint8_t>("N");
  kstHID_setSMBusTimerCount(&count, &board);
}

void smbusFrequency(Invocation& run) {
  std::int16_t board = run.board();
  reportNumber(run, "frequency", kstHID_getSMBusFrequency(&board));
}

void spiOptions(Invocation& run) {
  tools::NumberVariant board(run.board());
  if (!run.given("N")) return reportNumber(run, "options", kstHID_getSPIOptions(board.address()));
  tools::NumberVariant options(run.number<std::int16_t>("N"));
  kstHID_setSPIOptions(options.address(), board.address());
}

void spiDivisor(Invocation& run) {
  if (!run.given("N")) {
    tools::NumberVariant board(run.board());
    return reportNumber(run, "divisor", kstHID_getSPIClockDivisor(board.address()));
  }
  auto divisor = run.number<std::uint8_t>("N");
  std::int16_t board = run.board();
  kstHID_setSPIClockDivisor(&divisor, &board);
}

void spiTransfer(Invocation& run) {
  std::vector<std::uint8_t> bytes;
  for (const std::string& text : run.texts("BYTE")) bytes.push_back(tools::numberFrom<int>(text));
  if (static_cast<int>(bytes.size()) > kMostSpiBytes) {
    tools::refuseArguments(std::to_string(bytes.size()) + " bytes do not fit one report: " +
                           std::to_string(kMostSpiBytes) + " at most");
  }
  auto count = static_cast<std::uint8_t>(bytes.size());
  std::int16_t readBack = run.given("--no-read") ? KSTHID_FALSE : KSTHID_TRUE;
  std::int16_t flag = run.given("--flag") ? KSTHID_TRUE : KSTHID_FALSE;
  auto parameter = run.number<std::uint8_t>("--param");
  std::int16_t board = run.board();
  tools::ByteArray data(bytes);
  kstHID_doSPITransaction(&count, data.address(), &readBack, &board, &flag, &parameter);
  run.stopOnBoxFailure();
  if (readBack == 0) return;
  const auto received = data.bytes();
  run.out() << hexBytes(received) << '\n';
  run.result()["received"] = received;
}

}  // namespace

void addBusConfigurationCommands(tools::CommandSet& set) {
  CLI::App* smbus = set.add(set.root(), "smbus", "The SMBus timer and frequency");
  CLI::App* timer = set.add(*smbus, "timer", "Show the SMBus timer count, or set it", smbusTimer);
  tools::addNumber(*timer, "N", "New timer count", 0, 255);
  set.add(*smbus, "frequency", "Show the SMBus frequency", smbusFrequency);

  CLI::App* spi = set.add(set.root(), "spi", "SPI transfers and settings");
  CLI::App* options = set.add(*spi, "options", "Show the SPI options, or set them", spiOptions);
  tools::addNumber(*options, "N", "New option bits 0 to 2", 0, 7, "only bits 0 to 2 travel");
  CLI::App* divisor = set.add(*spi, "divisor", "Show the SPI clock divisor, or set it", spiDivisor);
  tools::addNumber(*divisor, "N", "New divisor", 0, 255);
  CLI::App* transfer =
      set.add(*spi, "xfer", "Shift bytes out and show the bytes shifted in", spiTransfer);
  tools::addNumber(*transfer, "BYTE", "Bytes to send", 0, 255)
      ->required()
      ->expected(-1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  transfer->add_flag("--no-read")->description("Send only; read nothing back");
  transfer->add_flag("--flag")->description("Set the transfer's flag byte");
  tools::addNumber(*transfer, "--param", "The transfer's parameter byte (default 0)", 0, 255);
}

}  // namespace ksthid_tool
