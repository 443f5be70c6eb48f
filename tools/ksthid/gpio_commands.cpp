// gpio get, set and config.
#include "commands.h"
#include "ole_values.h"

namespace ksthid_tool {
namespace {

using tools::Invocation;

void showGpio(Invocation& run) {
  std::int16_t board = run.board();
  std::int16_t pinLevels = 0;
  tools::ByteArray values;
  kstHID_getGPIOValue(values.address(), &pinLevels, &board);
  run.stopOnBoxFailure();
  tools::ByteArray configuration;
  kstHID_getGPIOConfiguration(configuration.address(), &board);
  run.stopOnBoxFailure();

  // The value has two bytes, the configuration two and a flag: the rest of each array is padding.
  auto value = values.bytes();
  value.resize(2);
  auto config = configuration.bytes();
  config.resize(3);
  run.out() << "value " << hexBytes(value) << "\nconfig " << hexBytes(config) << '\n';
  run.result() = {{"value", value}, {"configuration", config}};
}

void setGpioValue(Invocation& run) {
  auto first = run.number<std::uint8_t>("V1");
  auto second = run.number<std::uint8_t>("V2");
  std::int16_t board = run.board();
  kstHID_setGPIOValue(&first, &second, &board);
}

void configureGpio(Invocation& run) {
  auto first = run.number<std::uint8_t>("C1");
  auto second = run.number<std::uint8_t>("C2");
  std::int16_t flag = run.given("--flag") ? KSTHID_TRUE : KSTHID_FALSE;
  std::int16_t board = run.board();
  kstHID_setGPIOConfiguration(&first, &second, &flag, &board);
}

}  // namespace

void addGpioCommands(tools::CommandSet& set) {
  CLI::App* gpio = set.add(set.root(), "gpio", "The bridge's GPIO pins");
  set.add(*gpio, "get", "Show the pins' values and configuration", showGpio);
  CLI::App* value = set.add(*gpio, "set", "Set the values of all pins", setGpioValue);
  tools::addNumber(*value, "V1", "First value byte", 0, 255)->required();
  tools::addNumber(*value, "V2", "Second value byte", 0, 255)->required();
  CLI::App* config = set.add(*gpio, "config", "Set the configuration of all pins", configureGpio);
  tools::addNumber(*config, "C1", "First configuration byte", 0, 255)->required();
  tools::addNumber(*config, "C2", "Second configuration byte", 0, 255)->required();
  config->add_flag("--flag")->description("Set the configuration flag");
}

}  // namespace ksthid_tool
