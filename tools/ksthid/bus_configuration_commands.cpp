// smbus timer and frequency; spi options, divisor and xfer.
#include "commands.h"
#include "ksthid_api.h"

namespace ksthid_tool {
namespace {

using tools::Invocation;

constexpr int kMostSpiBytes = KSTHID_SPI_MAX_TRANSFER;

void reportNumber(Invocation& run, const char* name, unsigned value) {
  run.out() << value << '\n';
  run.result()[name] = value;
}

// Shows a byte setting, or sets it from N.
void byteSetting(Invocation& run, const char* name, int (*read)(ksthid_board*, std::uint8_t*),
                 int (*write)(ksthid_board*, std::uint8_t)) {
  if (run.given("N")) {
    const auto value = run.number<std::uint8_t>("N");
    run.call([&](ksthid_board* board) { return write(board, value); });
    return;
  }
  std::uint8_t value = 0;
  run.call([&](ksthid_board* board) { return read(board, &value); });
  reportNumber(run, name, value);
}

void smbusTimer(Invocation& run) {
  byteSetting(run, "timerCount", ksthid_smbus_timer_read, ksthid_smbus_timer_write);
}

void smbusFrequency(Invocation& run) {
  std::uint32_t frequency = 0;
  run.call([&](ksthid_board* board) { return ksthid_smbus_frequency(board, &frequency); });
  reportNumber(run, "frequency", frequency);
}

void spiOptions(Invocation& run) {
  byteSetting(run, "options", ksthid_spi_options_read, ksthid_spi_options_write);
}

void spiDivisor(Invocation& run) {
  byteSetting(run, "divisor", ksthid_spi_divisor_read, ksthid_spi_divisor_write);
}

void spiTransfer(Invocation& run) {
  std::vector<std::uint8_t> bytes;
  for (const std::string& text : run.texts("BYTE")) bytes.push_back(tools::numberFrom<int>(text));
  if (static_cast<int>(bytes.size()) > kMostSpiBytes) {
    tools::refuseArguments(std::to_string(bytes.size()) + " bytes do not fit one report: " +
                           std::to_string(kMostSpiBytes) + " at most");
  }
  const bool readBack = !run.flag("--no-read");
  const int flag = run.flag("--flag") ? 1 : 0;
  const auto parameter = run.number<std::uint8_t>("--param");
  std::vector<std::uint8_t> received(bytes.size());
  run.call([&](ksthid_board* board) {
    return ksthid_spi_transfer_flagged(board, bytes.data(), readBack ? received.data() : nullptr,
                                       bytes.size(), flag, parameter);
  });
  if (!readBack) return;
  run.out() << hexBytes(received) << '\n';
  run.result()["received"] = received;
}

}  // namespace

void addBusConfigurationCommands(tools::CommandSet& set) {
  CLI::App* smbus = set.add(set.root(), "smbus", "The SMBus timer count and the bus frequency");
  CLI::App* timer = set.add(*smbus, "timer", "Show the SMBus timer count, or set it", smbusTimer);
  tools::addNumber(*timer, "N", "New timer count", 0, 255);
  set.add(*smbus, "frequency",
          "Show the bus frequency value the board reports, times 1000 (the unit is "
          "the firmware's)",
          smbusFrequency);

  CLI::App* spi = set.add(set.root(), "spi", "SPI transfers and settings");
  CLI::App* options = set.add(*spi, "options", "Show the SPI options, or set them", spiOptions);
  tools::addNumber(*options, "N", "New option bits 0 to 2 (0 to 7); their meaning is the bridge's",
                   0, 7, "only bits 0 to 2 travel");
  CLI::App* divisor = set.add(*spi, "divisor", "Show the SPI clock divisor, or set it", spiDivisor);
  tools::addNumber(*divisor, "N", "New divisor", 0, 255);
  CLI::App* transfer =
      set.add(*spi, "xfer", "Shift bytes out and show the bytes shifted in", spiTransfer);
  tools::addNumber(*transfer, "BYTE", "Bytes to send, 0 to 255 each, 1 to 57 of them", 0, 255)
      ->type_name("BYTE...")
      ->required()
      ->expected(-1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  tools::addFlag(*transfer, "--no-read", "Send only; read nothing back");
  tools::addFlag(*transfer, "--flag",
                 "Set the transfer's flag byte to 1 (its meaning is the bridge's; --flag=0 "
                 "leaves it 0)");
  tools::addNumber(*transfer, "--param", "The transfer's parameter byte (default 0)", 0, 255);
}

}  // namespace ksthid_tool
