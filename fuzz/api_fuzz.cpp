// ksthid_api.h with arguments the fuzzer chooses (null handles and pointers, addresses,
// registers, counts and option bits over their whole range, any time-out) against the fuzzed
// bridges of fuzzed_bridge.h: any answers, late, missing, doubled or unsolicited, failed
// writes, unplugs, HID devices that are no bridge.
//
// Beyond the sanitizers it checks that every result is 0 or a code the header names for the
// call, that no call shows a box, and that the library waits at most 50 ms at a time, so that a
// board pulled out is noticed soon.
#include <cstring>

#include "fuzzed_bridge.h"
#include "ksthid.h"
#include "ksthid_api.h"
#include "library_state.h"

namespace {

using namespace fuzz;

constexpr int kMostCalls = 24;

int KSTHID_CALL refuseBox(void*, const char*, const char*, unsigned) {
  fail("a box from ksthid_api.h");
}

void expectResult(int result, int most = 0) {
  if (result > most) fail("a result above its range", result);
  if (result < KSTHID_E_NO_MEMORY || result == KSTHID_E_NOT_FOUND || result == KSTHID_E_ACCESS) {
    fail("a code a call on a handle does not give", result);
  }
}

void callOne(FuzzedDataProvider& input, ksthid_board* board) {
  ksthid_board* target = input.ConsumeIntegralInRange(0, 15) == 0 ? nullptr : board;
  std::uint8_t data[80] = {};
  const auto address = input.ConsumeIntegral<std::uint8_t>();
  const int reg = input.ConsumeIntegralInRange(-3, 260);
  const auto count = input.ConsumeIntegralInRange<std::size_t>(0, 70);
  const auto byte = input.ConsumeIntegral<std::uint8_t>();
  std::uint8_t* out = input.ConsumeIntegralInRange(0, 15) == 0 ? nullptr : data;
  std::uint16_t word = 0;
  std::uint32_t wide = 0;
  int flag = 0;
  switch (input.ConsumeIntegralInRange(0, 16)) {
    case 0:
      return expectResult(ksthid_i2c_read(target, address, reg, out, count));
    case 1:
      return expectResult(ksthid_i2c_write(target, address, reg, out, count));
    case 2:
      return expectResult(ksthid_i2c_probe(target, address), 1);
    case 3:
      return expectResult(ksthid_gpio_write(target, input.ConsumeIntegral<std::uint16_t>()));
    case 4:
      return expectResult(ksthid_gpio_read(target, out ? &word : nullptr));
    case 5:
      return expectResult(ksthid_gpio_configure(target, word, input.ConsumeIntegralInRange(-1, 2)));
    case 6:
      return expectResult(ksthid_gpio_configuration(target, &word, out ? &flag : nullptr));
    case 7: {
      std::uint8_t* in = input.ConsumeBool() ? data : nullptr;
      return expectResult(input.ConsumeBool() ? ksthid_spi_transfer(target, out, in, count)
                                              : ksthid_spi_transfer_flagged(
                                                    target, out, in, count,
                                                    input.ConsumeIntegralInRange(-1, 2), byte));
    }
    case 8:
      return expectResult(ksthid_leds_write(target, byte));
    case 9:
      return expectResult(ksthid_leds_read(target, data));
    case 10:
      return expectResult(ksthid_i2c_toggle_scl(target));
    case 11:
      return expectResult(ksthid_i2c_options_write(target, byte));
    case 12:
      return expectResult(ksthid_spi_options_write(target, byte));
    case 13:
      return expectResult(ksthid_smbus_frequency(target, &wide));
    case 14: {
      ksthid_firmware version;
      return expectResult(ksthid_firmware_version(target, out ? &version : nullptr));
    }
    case 15:
      return expectResult(ksthid_set_timeout(target, input.ConsumeIntegralInRange(-1, 700000)));
    default:
      if (ksthid_last_error(target) == nullptr) fail("a null error text");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  FuzzTransport transport(input);
  ksthid::useTransport(&transport);
  kstHID_setMessageBoxHandler(&refuseBox, nullptr);
  ksthid_board_info* list = nullptr;
  const int count = ksthid_enumerate(&list);
  if (count < 0 || (count == 0) != (list == nullptr)) fail("an enumeration that does not add up");
  ksthid_board* board = nullptr;
  if (list) {
    const int opened = ksthid_open(list->path, &board);
    if ((opened == 0) != (board != nullptr)) fail("an open that does not add up", opened);
  }
  ksthid_free_enumeration(list);
  for (int call = 0; board && call < kMostCalls && input.remaining_bytes() > 0; ++call) {
    callOne(input, board);
  }
  ksthid_close(board);
  kstHID_setMessageBoxHandler(nullptr, nullptr);
  ksthid::useTransport(nullptr);
  return 0;
}
