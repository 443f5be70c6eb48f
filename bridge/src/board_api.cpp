// The exports of ksthid_api.h that find, open and drive boards: each checks
// its arguments, builds its request from protocol.h and runs it on the
// handle's Board.
#include <algorithm>
#include <cstdio>
#include <new>
#include <span>

#include "board.h"
#include "bridge_enumeration.h"
#include "environment_transport.h"
#include "ksthid_api.h"
#include "library_state.h"
#include "virtual/virtual_transport.h"

struct ksthid_board : ksthid::Board {
  using Board::Board;
};

namespace ksthid {
namespace {

constexpr int kMaxTimeoutMs = 600000;

// An entry of a list of ksthid_enumerate with the strings it points to.
struct InfoNode {
  ksthid_board_info info{};
  BridgeEntry entry;
};

std::uint16_t wordOf(const Report& answer, std::size_t lowByte) {
  return static_cast<std::uint16_t>(answer[lowByte] | answer[lowByte + 1] << 8);
}

std::uint8_t lowByteOf(std::uint16_t word) {
  return static_cast<std::uint8_t>(word & 0xFF);
}

std::uint8_t highByteOf(std::uint16_t word) {
  return static_cast<std::uint8_t>(word >> 8);
}

// The register address to send: none for -1.
std::span<const std::uint8_t> registerBytes(int reg, std::uint8_t& storage) {
  storage = static_cast<std::uint8_t>(reg);
  return {&storage, reg < 0 ? 0u : 1u};
}

bool transferFits(std::uint8_t address, int reg, std::size_t count, std::size_t most) {
  return address <= kMaxI2CAddress && reg >= -1 && reg <= kMaxI2CRegister && count > 0 &&
         count <= most && (reg < 0 || reg + static_cast<int>(count) <= kMaxI2CRegister);
}

int runTransaction(ksthid_board* board, std::uint8_t address, const Report& request,
                   Report& answer) {
  if (const int result = board->query(request, answer); result < 0) return result;
  if (answer[kStatusByte] == kStatusDone) return 0;
  char detail[64];
  std::snprintf(detail, sizeof detail, "the device at 0x%02x did not answer", address);
  return board->fail(KSTHID_E_NACK, detail);
}

int changeVirtualBoard(const char* path, void (VirtualTransport::*change)(const std::string&)) {
  if (!path) return KSTHID_E_INVALID_ARGUMENT;
  VirtualTransport* boards = environmentSimulatedBoards();
  if (!boards || !boards->has(path)) return KSTHID_E_NOT_FOUND;
  (boards->*change)(path);
  return 0;
}

}  // namespace

ksthid_board_info* makeInfoList(std::vector<BridgeEntry> entries) {
  ksthid_board_info* first = nullptr;
  ksthid_board_info** link = &first;
  for (BridgeEntry& entry : entries) {
    auto* node = new (std::nothrow) InfoNode{{}, std::move(entry)};
    if (!node) {
      ksthid_free_enumeration(first);
      return nullptr;
    }
    const BridgeEntry& kept = node->entry;
    node->info = {kept.path.c_str(),         kept.serialNumber.c_str(),
                  kept.product.c_str(),      kept.attributes.vendorId,
                  kept.attributes.productId, kept.error,
                  kept.errorText.c_str(),    nullptr};
    *link = &node->info;
    link = &node->info.next;
  }
  return first;
}

}  // namespace ksthid

using namespace ksthid;

extern "C" {

KSTHID_EXPORT const char* ksthid_version(void) {
  return "1.0.0";
}

KSTHID_EXPORT const char* ksthid_strerror(int code) {
  switch (code) {
    case KSTHID_E_INVALID_ARGUMENT:
      return "invalid argument";
    case KSTHID_E_NOT_FOUND:
      return "no such board";
    case KSTHID_E_ACCESS:
      return "permission denied";
    case KSTHID_E_GONE:
      return "the board was pulled out";
    case KSTHID_E_TIMEOUT:
      return "no answer in time";
    case KSTHID_E_NACK:
      return "the I2C device did not answer";
    case KSTHID_E_BUS:
      return "the I2C bus is held";
    case KSTHID_E_IO:
      return "input/output error";
    case KSTHID_E_NO_MEMORY:
      return "out of memory";
    default:
      return code >= 0 ? "success" : "unknown error";
  }
}

KSTHID_EXPORT int ksthid_enumerate(ksthid_board_info** list) {
  if (!list) return KSTHID_E_INVALID_ARGUMENT;
  *list = nullptr;
  try {
    std::vector<BridgeEntry> bridges = findBridges(transport());
    const int count = static_cast<int>(bridges.size());
    *list = makeInfoList(std::move(bridges));
    return count > 0 && !*list ? KSTHID_E_NO_MEMORY : count;
  } catch (const std::bad_alloc&) {
    return KSTHID_E_NO_MEMORY;
  }
}

KSTHID_EXPORT void ksthid_free_enumeration(ksthid_board_info* list) {
  while (list) {
    ksthid_board_info* next = list->next;
    // The info is the first member of its node.
    delete reinterpret_cast<InfoNode*>(list);
    list = next;
  }
}

KSTHID_EXPORT int ksthid_open(const char* name, ksthid_board** board) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  *board = nullptr;
  if (!name) return KSTHID_E_INVALID_ARGUMENT;
  try {
    const std::vector<BridgeEntry> bridges = findBridges(transport());
    auto found = std::find_if(bridges.begin(), bridges.end(),
                              [&](const BridgeEntry& entry) { return entry.path == name; });
    if (found == bridges.end() && *name) {
      found = std::find_if(bridges.begin(), bridges.end(),
                           [&](const BridgeEntry& entry) { return entry.serialNumber == name; });
    }
    if (found == bridges.end()) return KSTHID_E_NOT_FOUND;
    if (found->error != 0) return found->error;
    std::unique_ptr<DeviceHandle> device = transport().open(found->path);
    if (!device) return KSTHID_E_NOT_FOUND;
    *board = new (std::nothrow) ksthid_board(found->path, found->serialNumber, std::move(device));
    return *board ? 0 : KSTHID_E_NO_MEMORY;
  } catch (const std::bad_alloc&) {
    return KSTHID_E_NO_MEMORY;
  }
}

KSTHID_EXPORT void ksthid_close(ksthid_board* board) {
  delete board;
}

KSTHID_EXPORT const char* ksthid_board_path(ksthid_board* board) {
  return board ? board->path().c_str() : "";
}

KSTHID_EXPORT const char* ksthid_board_serial(ksthid_board* board) {
  return board ? board->serialNumber().c_str() : "";
}

KSTHID_EXPORT int ksthid_set_timeout(ksthid_board* board, int milliseconds) {
  if (!board || milliseconds < 1 || milliseconds > kMaxTimeoutMs) return KSTHID_E_INVALID_ARGUMENT;
  board->setTimeout(std::chrono::milliseconds(milliseconds));
  return 0;
}

KSTHID_EXPORT int ksthid_get_timeout(ksthid_board* board) {
  return board ? static_cast<int>(board->timeout().count()) : KSTHID_E_INVALID_ARGUMENT;
}

KSTHID_EXPORT const char* ksthid_last_error(ksthid_board* board) {
  return board ? board->lastError() : "";
}

KSTHID_EXPORT int ksthid_firmware_version(ksthid_board* board, struct ksthid_firmware* version) {
  if (!board || !version) return KSTHID_E_INVALID_ARGUMENT;
  Report answer;
  if (const int result = board->query(queryRequest(kCommandVersion), answer); result < 0) {
    return result;
  }
  *version = {
      answer[kVersionMajorByte], answer[kVersionMinorByte],
      static_cast<std::uint16_t>(answer[kVersionYearHighByte] << 8 | answer[kVersionYearLowByte]),
      answer[kVersionMonthByte], answer[kVersionDayByte]};
  return 0;
}

KSTHID_EXPORT int ksthid_leds_read(ksthid_board* board, uint8_t* leds) {
  if (!board || !leds) return KSTHID_E_INVALID_ARGUMENT;
  Report answer;
  if (const int result = board->query(queryRequest(kCommandLeds), answer); result < 0) {
    return result;
  }
  *leds = answer[kLedPairAnswerByte] & kLedPairMask;
  return 0;
}

KSTHID_EXPORT int ksthid_leds_write(ksthid_board* board, uint8_t leds) {
  if (!board || (leds & ~kLedPairMask) != 0) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(setRequest(kCommandLeds, {{kLedPairByte, leds}}));
}

KSTHID_EXPORT int ksthid_indicate(ksthid_board* board) {
  return ksthid_leds_write(board, ledPair(1, 0));
}

KSTHID_EXPORT int ksthid_system_clock(ksthid_board* board, uint32_t* clock) {
  if (!board || !clock) return KSTHID_E_INVALID_ARGUMENT;
  Report answer;
  if (const int result = board->query(queryRequest(kCommandClocks), answer); result < 0) {
    return result;
  }
  *clock = answer[kSystemClockAnswerByte] * 1000u;
  return 0;
}

KSTHID_EXPORT int ksthid_gpio_write(ksthid_board* board, uint16_t values) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(setRequest(kCommandGpioValue, {{kGpioFirstByte, lowByteOf(values)},
                                                   {kGpioSecondByte, highByteOf(values)}}));
}

KSTHID_EXPORT int ksthid_gpio_read(ksthid_board* board, uint16_t* values) {
  if (!board || !values) return KSTHID_E_INVALID_ARGUMENT;
  Report answer;
  if (const int result = board->query(queryRequest(kCommandGpioValue), answer); result < 0) {
    return result;
  }
  *values = wordOf(answer, kGpioFirstAnswerByte);
  return 0;
}

KSTHID_EXPORT int ksthid_gpio_configure(ksthid_board* board, uint16_t configuration, int flag) {
  if (!board || (flag != 0 && flag != 1)) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(
      setRequest(kCommandGpioConfiguration, {{kGpioFirstByte, lowByteOf(configuration)},
                                             {kGpioSecondByte, highByteOf(configuration)},
                                             {kGpioFlagByte, static_cast<std::uint8_t>(flag)}}));
}

KSTHID_EXPORT int ksthid_gpio_configuration(ksthid_board* board, uint16_t* configuration,
                                            int* flag) {
  if (!board || !configuration || !flag) return KSTHID_E_INVALID_ARGUMENT;
  Report answer;
  if (const int result = board->query(queryRequest(kCommandGpioConfiguration), answer);
      result < 0) {
    return result;
  }
  *configuration = wordOf(answer, kGpioFirstAnswerByte);
  *flag = answer[kGpioFlagAnswerByte] & 1;
  return 0;
}

KSTHID_EXPORT int ksthid_i2c_read(ksthid_board* board, uint8_t address, int reg, uint8_t* data,
                                  size_t count) {
  if (!board || !data || !transferFits(address, reg, count, kMaxI2CReadCount)) {
    return KSTHID_E_INVALID_ARGUMENT;
  }
  std::uint8_t registerStorage;
  const Report request =
      i2cRequest(static_cast<std::uint8_t>(address << 1 | kI2CReadBit),
                 static_cast<std::uint8_t>(count), registerBytes(reg, registerStorage));
  Report answer;
  if (const int result = runTransaction(board, address, request, answer); result < 0) {
    return result;
  }
  std::copy_n(answer.begin() + kI2CReadDataByte, count, data);
  return 0;
}

KSTHID_EXPORT int ksthid_i2c_write(ksthid_board* board, uint8_t address, int reg,
                                   const uint8_t* data, size_t count) {
  const std::size_t most = reg < 0 ? kMaxI2CWriteLength : kMaxI2CWriteLength - 1;
  if (!board || !data || !transferFits(address, reg, count, most)) {
    return KSTHID_E_INVALID_ARGUMENT;
  }
  std::uint8_t registerStorage;
  const Report request =
      i2cRequest(static_cast<std::uint8_t>(address << 1), static_cast<std::uint8_t>(count),
                 registerBytes(reg, registerStorage), {data, count});
  Report answer;
  return runTransaction(board, address, request, answer);
}

KSTHID_EXPORT int ksthid_i2c_probe(ksthid_board* board, uint8_t address) {
  std::uint8_t data;
  const int result = ksthid_i2c_read(board, address, 0, &data, 1);
  if (result == KSTHID_E_NACK) return board->succeed(0);
  return result < 0 ? result : 1;
}

KSTHID_EXPORT int ksthid_i2c_options_read(ksthid_board* board, uint8_t* options) {
  if (!board || !options) return KSTHID_E_INVALID_ARGUMENT;
  Report answer;
  if (const int result = board->query(queryRequest(kCommandI2COptions), answer); result < 0) {
    return result;
  }
  *options = i2cOptionsOf(answer);
  return 0;
}

KSTHID_EXPORT int ksthid_i2c_options_write(ksthid_board* board, uint8_t options) {
  if (!board || options > 7) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(i2cOptionsRequest(options, 0));
}

KSTHID_EXPORT int ksthid_i2c_toggle_scl(ksthid_board* board) {
  std::uint8_t options;
  if (const int result = ksthid_i2c_options_read(board, &options); result < 0) return result;
  Report answer;
  if (const int result = board->query(i2cOptionsRequest(options, kSclToggleRequested), answer);
      result < 0) {
    return result;
  }
  if ((answer[kSdaAnswerByte] & kSdaStillLow) != 0) {
    return board->fail(KSTHID_E_BUS, "SDA stays low after clocking SCL");
  }
  return 0;
}

KSTHID_EXPORT int ksthid_smbus_frequency(ksthid_board* board, uint32_t* frequency) {
  if (!board || !frequency) return KSTHID_E_INVALID_ARGUMENT;
  Report answer;
  if (const int result = board->query(queryRequest(kCommandSMBusTimer), answer); result < 0) {
    return result;
  }
  *frequency = answer[kSMBusFrequencyAnswerByte] * 1000u;
  return 0;
}

KSTHID_EXPORT int ksthid_smbus_timer_read(ksthid_board* board, uint8_t* count) {
  if (!board || !count) return KSTHID_E_INVALID_ARGUMENT;
  Report answer;
  if (const int result = board->query(queryRequest(kCommandSMBusTimer), answer); result < 0) {
    return result;
  }
  *count = answer[kTimerCountAnswerByte];
  return 0;
}

KSTHID_EXPORT int ksthid_smbus_timer_write(ksthid_board* board, uint8_t count) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(setRequest(kCommandSMBusTimer, {{kTimerCountByte, count}}));
}

KSTHID_EXPORT int ksthid_spi_options_read(ksthid_board* board, uint8_t* options) {
  if (!board || !options) return KSTHID_E_INVALID_ARGUMENT;
  Report answer;
  if (const int result = board->query(queryRequest(kCommandSPIOptions), answer); result < 0) {
    return result;
  }
  *options = answer[kSPIOptionsAnswerByte];
  return 0;
}

KSTHID_EXPORT int ksthid_spi_options_write(ksthid_board* board, uint8_t options) {
  if (!board || (options & ~kSPIOptionMask) != 0) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(setRequest(kCommandSPIOptions, {{kSPIOptionsByte, options}}));
}

KSTHID_EXPORT int ksthid_spi_divisor_read(ksthid_board* board, uint8_t* divisor) {
  if (!board || !divisor) return KSTHID_E_INVALID_ARGUMENT;
  Report answer;
  if (const int result = board->query(queryRequest(kCommandClocks), answer); result < 0) {
    return result;
  }
  *divisor = answer[kSPIDivisorAnswerByte];
  return 0;
}

KSTHID_EXPORT int ksthid_spi_divisor_write(ksthid_board* board, uint8_t divisor) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  return board->set(setRequest(kCommandClocks, {{kSPIDivisorByte, divisor}}));
}

KSTHID_EXPORT int ksthid_spi_transfer(ksthid_board* board, const uint8_t* out, uint8_t* in,
                                      size_t count) {
  if (!board || !out || count == 0 || count > kMaxSPICount) return KSTHID_E_INVALID_ARGUMENT;
  const Report request = spiRequest(in ? 1 : 0, 0, 0, {out, count});
  if (!in) return board->set(request);
  Report answer;
  if (const int result = board->query(request, answer); result < 0) return result;
  std::copy_n(answer.begin() + kSPIReceivedByte, count, in);
  return 0;
}

KSTHID_EXPORT int ksthid_virtual_unplug(const char* path) {
  return changeVirtualBoard(path, &VirtualTransport::unplug);
}

KSTHID_EXPORT int ksthid_virtual_plug_in(const char* path) {
  return changeVirtualBoard(path, &VirtualTransport::plugIn);
}

}  // extern "C"
