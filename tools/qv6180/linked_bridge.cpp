#include "linked_bridge.h"

namespace qv6180_tool {
namespace {

std::uint16_t pinsOf(std::uint8_t firstByte, std::uint8_t secondByte) {
  return static_cast<std::uint16_t>(firstByte | secondByte << 8);
}

}  // namespace

OpenBoard openBoard(const std::string& path) {
  ksthid_board* board = nullptr;
  ksthid_open(path.c_str(), &board);
  return {board, &ksthid_close};
}

std::optional<std::int16_t> LinkedBridge::indicateSelectedModule(std::int16_t /*hidNumber*/) {
  return ksthid_indicate(board_) == 0 ? 0 : 1;
}

std::optional<std::int16_t> LinkedBridge::setGPIOValue(std::uint8_t valueByte1,
                                                       std::uint8_t valueByte2,
                                                       std::int16_t /*hidNumber*/) {
  return called(ksthid_gpio_write(board_, pinsOf(valueByte1, valueByte2)));
}

std::optional<std::int16_t> LinkedBridge::setGPIOConfiguration(std::uint8_t configByte1,
                                                               std::uint8_t configByte2,
                                                               std::int16_t configFlag,
                                                               std::int16_t /*hidNumber*/) {
  return called(
      ksthid_gpio_configure(board_, pinsOf(configByte1, configByte2), configFlag != 0 ? 1 : 0));
}

// The exports' result for the call: the report reached the board, or it did not.
std::int16_t LinkedBridge::called(int result) {
  afterCall_();
  return result == 0 ? kReportWritten : 0;
}

}  // namespace qv6180_tool
