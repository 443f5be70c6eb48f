// gpio get, set and config.
#include "commands.h"

namespace ksthid_tool {
namespace {

using tools::Invocation;

constexpr int kByteBits = 8;
constexpr unsigned kLowByte = 0xFF;

// The two bytes of a pin word in the order they travel: the low byte first (pins 0 to 7).
std::vector<std::uint8_t> bytesOf(std::uint16_t word) {
  return {static_cast<std::uint8_t>(word & kLowByte), static_cast<std::uint8_t>(word >> kByteBits)};
}

std::uint16_t wordOf(Invocation& run, const std::string& first, const std::string& second) {
  return static_cast<std::uint16_t>(run.number<unsigned>(first) | run.number<unsigned>(second)
                                                                      << kByteBits);
}

void showGpio(Invocation& run) {
  std::uint16_t values = 0, configuration = 0;
  int flag = 0;
  run.call([&](ksthid_board* board) { return ksthid_gpio_read(board, &values); });
  run.call(
      [&](ksthid_board* board) { return ksthid_gpio_configuration(board, &configuration, &flag); });
  const auto value = bytesOf(values);
  auto config = bytesOf(configuration);
  config.push_back(static_cast<std::uint8_t>(flag));
  run.out() << "value " << hexBytes(value) << "\nconfig " << hexBytes(config) << '\n';
  run.result() = {{"value", value}, {"configuration", config}};
}

void setGpioValue(Invocation& run) {
  const std::uint16_t values = wordOf(run, "V1", "V2");
  run.call([&](ksthid_board* board) { return ksthid_gpio_write(board, values); });
}

void configureGpio(Invocation& run) {
  const std::uint16_t configuration = wordOf(run, "C1", "C2");
  const int flag = run.flag("--flag") ? 1 : 0;
  run.call([&](ksthid_board* board) { return ksthid_gpio_configure(board, configuration, flag); });
}

}  // namespace

void addGpioCommands(tools::CommandSet& set) {
  CLI::App* gpio =
      set.add(set.root(), "gpio", "The bridge's 16 GPIO pins; alone, shows them as gpio get does",
              showGpio);
  set.add(*gpio, "get",
          "Show the two value bytes, and the two configuration bytes and the flag, first byte "
          "(pins 0 to 7) first",
          showGpio);
  CLI::App* value = set.add(*gpio, "set", "Set the values of all pins", setGpioValue);
  tools::addNumber(*value, "V1", "First value byte: pins 0 to 7", 0, 255)->required();
  tools::addNumber(*value, "V2", "Second value byte: pins 8 to 15", 0, 255)->required();
  CLI::App* config =
      set.add(*gpio, "config", "Set the configuration of all pins (its meaning is the bridge's)",
              configureGpio);
  tools::addNumber(*config, "C1", "First configuration byte: pins 0 to 7", 0, 255)->required();
  tools::addNumber(*config, "C2", "Second configuration byte: pins 8 to 15", 0, 255)->required();
  tools::addFlag(*config, "--flag", "Set the configuration flag (--flag=0 leaves it clear)");
}

}  // namespace ksthid_tool
