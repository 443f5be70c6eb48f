// Every export, with arguments the fuzzer chooses (HIDnumbers over the whole 16-bit range, null
// references, arrays that are never dimensioned, empty, short, locked, offset or of the wrong
// type, variants of every type), against boards whose answers the fuzzer chooses too: any bytes,
// late, missing, doubled, unsolicited, failed writes, boards unplugged and HID devices that are no
// bridge. Time is virtual, so a 6000 ms wait costs nothing.
//
// Beyond the sanitizers it checks that every result is one the public header names for that
// export, that nothing is written to a device that is no bridge, that every request is one
// well-formed report whose lengths fit it, and that the library waits only its two waits.

#include <fuzzer/FuzzedDataProvider.h>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzzed_bridge.h"
#include "ksthid.h"
#include "ksthid_api.h"
#include "library_state.h"
#include "protocol.h"
#include "transport.h"
#include "virtual/clock.h"

namespace {

using namespace fuzz;

constexpr int kMostCalls = 24;

// Boxes are answered with the fuzzer's buttons; once its bytes run out, with Cancel, OK or No,
// so that no Retry goes on for ever.
int KSTHID_CALL answerBox(void* context, const char* text, const char*, unsigned style) {
  auto& input = *static_cast<FuzzedDataProvider*>(context);
  if (text == nullptr || *text == '\0') fail("a box without a text");
  switch (style & KSTHID_MB_TYPEMASK) {
    case KSTHID_MB_RETRYCANCEL:
      return input.ConsumeIntegralInRange(0, 3) == 1 ? KSTHID_IDRETRY : KSTHID_IDCANCEL;
    case KSTHID_MB_YESNO:
      return input.ConsumeBool() ? KSTHID_IDYES : KSTHID_IDNO;
    case KSTHID_MB_OKCANCEL:
      return input.ConsumeBool() ? KSTHID_IDOK : KSTHID_IDCANCEL;
    default:
      return KSTHID_IDOK;
  }
}

// A by-reference argument: null now and then, else a value the fuzzer picks.
template <typename T>
class Reference {
 public:
  Reference(FuzzedDataProvider& input, T value)
      : value_(value), null_(input.ConsumeIntegralInRange(0, 31) == 1) {}
  T* get() { return null_ ? nullptr : &value_; }

 private:
  T value_;
  bool null_;
};

std::int16_t hidNumberFrom(FuzzedDataProvider& input) {
  return input.ConsumeBool() ? input.ConsumeIntegralInRange<std::int16_t>(-1, kMostDevices)
                             : input.ConsumeIntegral<std::int16_t>();
}

// A caller's byte array in any state a Basic caller or a careless C caller can leave it.
class FuzzArray {
 public:
  explicit FuzzArray(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 7)) {
      case 0:
        nullReference_ = true;
        break;
      case 1:
        break;  // never dimensioned
      case 2:   // not a byte vector: two dimensions
        foreign_.cDims = 2;
        foreign_.cbElements = 1;
        array_ = &foreign_;
        break;
      case 3:  // not a byte vector: 16-bit elements
        foreign_.cDims = 1;
        foreign_.cbElements = 2;
        array_ = &foreign_;
        break;
      default: {
        const auto bytes = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 70));
        const LONG lowerBound = input.ConsumeIntegralInRange(0, 7) == 1 ? 1 : 0;
        array_ = SafeArrayCreateVector(VT_UI1, lowerBound, static_cast<ULONG>(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(array_->pvData));
        void* data = nullptr;
        if (input.ConsumeIntegralInRange(0, 7) == 1) SafeArrayAccessData(array_, &data);
        locked_ = data != nullptr;
      }
    }
  }
  ~FuzzArray() {
    if (array_ == &foreign_) return;
    if (locked_) SafeArrayUnaccessData(array_);
    SafeArrayDestroy(array_);
  }
  FuzzArray(const FuzzArray&) = delete;
  FuzzArray& operator=(const FuzzArray&) = delete;

  SAFEARRAY** get() { return nullReference_ ? nullptr : &array_; }
  // Elements of a byte vector indexed from 0; -1 for anything else.
  long elements() const {
    if (!array_ || array_ == &foreign_ || array_->rgsabound[0].lLbound != 0) return -1;
    return array_->rgsabound[0].cElements;
  }

 private:
  SAFEARRAY foreign_{};
  SAFEARRAY* array_ = nullptr;
  bool nullReference_ = false;
  bool locked_ = false;
};

// A variant of any type, holding fuzzer bytes directly or through a reference.
class FuzzVariant {
 public:
  explicit FuzzVariant(FuzzedDataProvider& input) {
    VariantInit(&variant_);
    nullReference_ = input.ConsumeIntegralInRange(0, 31) == 1;
    const bool smallNumber = input.ConsumeBool();
    storage_ = smallNumber ? std::uint64_t(input.ConsumeIntegralInRange(-1, 4) & 0xFFFF)
                           : input.ConsumeIntegral<std::uint64_t>();
    variant_.vt = smallNumber ? VT_I2 : input.ConsumeIntegralInRange<VARTYPE>(VT_EMPTY, VT_UINT);
    if (input.ConsumeIntegralInRange(0, 3) == 1) {
      variant_.vt |= VT_BYREF;
      variant_.pllVal = input.ConsumeIntegralInRange(0, 15) == 1
                            ? nullptr
                            : reinterpret_cast<std::int64_t*>(&storage_);
    } else {
      variant_.ullVal = storage_;
    }
  }
  VARIANT* get() { return nullReference_ ? nullptr : &variant_; }

 private:
  VARIANT variant_;
  std::uint64_t storage_ = 0;
  bool nullReference_ = false;
};

void callOneExport(FuzzedDataProvider& input, std::int16_t& boards) {
  auto hid = [&] { return Reference<std::int16_t>(input, hidNumberFrom(input)); };
  auto byte = [&] { return Reference<std::uint8_t>(input, input.ConsumeIntegral<std::uint8_t>()); };
  auto word = [&] {
    return Reference<std::int16_t>(input, input.ConsumeBool()
                                              ? input.ConsumeIntegralInRange<std::int16_t>(-1, 2)
                                              : input.ConsumeIntegral<std::int16_t>());
  };
  switch (input.ConsumeIntegralInRange(0, 25)) {
    case 0:
      boards = kstHID_connect();
      if (boards < 0 || std::size_t(boards) > kMostDevices) fail("boards out of range", boards);
      return;
    case 1:
      kstHID_closeHandles();
      return;
    case 2: {
      auto led = word(), board = hid();
      expectOneOf(kstHID_getLEDState(led.get(), board.get()), {0, 1}, "getLEDState");
      return;
    }
    case 3: {
      auto state = byte();
      auto led = word(), board = hid();
      expectOneOf(kstHID_setLEDState(state.get(), led.get(), board.get()), {0, 1}, "setLEDState");
      return;
    }
    case 4: {
      auto board = hid();
      expectOneOf(kstHID_indicateSelectedModule(board.get()), {0, 1}, "indicateSelectedModule");
      return;
    }
    case 5: {
      auto board = hid();
      kstHID_showVersion(board.get());
      return;
    }
    case 6: {
      FuzzVariant board(input);
      expectThousands(kstHID_getSystemClockFrequency(board.get()), "getSystemClockFrequency");
      return;
    }
    case 7:
    case 8: {
      auto address = byte(), reg = byte(), count = byte();
      auto board = hid(), quiet = word();
      FuzzArray data(input), registers(input);
      const bool reading = input.ConsumeBool();
      // The same array as both, by one reference or by two.
      SAFEARRAY** registerBuffer = registers.get();
      SAFEARRAY* sameArray = nullptr;
      if (const int sharing = input.ConsumeIntegralInRange(0, 7); sharing == 1) {
        registerBuffer = data.get();
      } else if (sharing == 2 && data.get() && *data.get()) {
        sameArray = *data.get();
        registerBuffer = &sameArray;
      }
      const auto call = reading ? kstHID_doI2CRead : kstHID_doI2CWrite;
      const int16_t result = call(address.get(), reg.get(), count.get(), data.get(), registerBuffer,
                                  board.get(), quiet.get());
      expectOneOf(result, {KSTHID_I2C_DONE, KSTHID_I2C_FAILED}, "an I2C transaction");
      if (reading && result == KSTHID_I2C_DONE && data.elements() != *count.get()) {
        fail("an I2C read done without its count of elements", data.elements());
      }
      return;
    }
    case 9: {
      auto address = byte(), reg = byte();
      auto board = hid();
      expectOneOf(kstHID_probeI2CAddress(address.get(), board.get(), reg.get()), {0, 1},
                  "probeI2CAddress");
      return;
    }
    case 10: {
      auto board = hid();
      expectThousands(kstHID_getSMBusFrequency(board.get()), "getSMBusFrequency");
      return;
    }
    case 11: {
      auto board = hid();
      const int16_t count = kstHID_getSMBusTimerCount(board.get());
      if (count < 0 || count > 255) fail("getSMBusTimerCount", count);
      return;
    }
    case 12: {
      auto count = byte();
      auto board = hid();
      expectOneOf(kstHID_setSMBusTimerCount(count.get(), board.get()), {0, 1}, "setSMBusTimer");
      return;
    }
    case 13: {
      auto board = hid();
      if (const uint8_t options = kstHID_getI2COptions(board.get()); options > 7) {
        fail("getI2COptions", options);
      }
      return;
    }
    case 14: {
      auto options = byte(), toggle = byte();
      auto board = hid();
      expectOneOf(kstHID_setI2COptions(options.get(), toggle.get(), board.get()),
                  {KSTHID_REPORT_WRITTEN, KSTHID_NOT_WRITTEN, KSTHID_INVALID_BOARD},
                  "setI2COptions");
      return;
    }
    case 15: {
      auto board = hid();
      kstHID_toggleSCL(board.get());
      return;
    }
    case 16: {
      FuzzVariant options(input), board(input);
      expectOneOf(kstHID_setSPIOptions(options.get(), board.get()),
                  {KSTHID_REPORT_WRITTEN, KSTHID_NOT_WRITTEN, KSTHID_INVALID_BOARD},
                  "setSPIOptions");
      return;
    }
    case 17: {
      FuzzVariant board(input);
      kstHID_getSPIOptions(board.get());  // the whole byte the board reports
      return;
    }
    case 18: {
      auto divisor = byte();
      auto board = hid();
      expectOneOf(kstHID_setSPIClockDivisor(divisor.get(), board.get()), {0, 1},
                  "setSPIClockDivisor");
      return;
    }
    case 19: {
      FuzzVariant board(input);
      kstHID_getSPIClockDivisor(board.get());
      return;
    }
    case 20: {
      auto count = byte(), parameter = byte();
      auto readBack = word(), board = hid(), flag = word();
      FuzzArray data(input);
      const long before = data.elements();
      const int16_t result = kstHID_doSPITransaction(count.get(), data.get(), readBack.get(),
                                                     board.get(), flag.get(), parameter.get());
      expectOneOf(result, {0, 1}, "doSPITransaction");
      if (data.elements() != before) fail("an SPI transfer resized its array", data.elements());
      return;
    }
    case 21:
    case 22: {
      auto first = byte(), second = byte();
      auto flag = word(), board = hid();
      const bool values = input.ConsumeBool();
      expectOneOf(
          values ? kstHID_setGPIOValue(first.get(), second.get(), board.get())
                 : kstHID_setGPIOConfiguration(first.get(), second.get(), flag.get(), board.get()),
          {KSTHID_REPORT_WRITTEN, 0}, "a GPIO setter");
      return;
    }
    case 25: {
      // The path of any number, into a buffer of any size: what the last connect numbered, and
      // nothing beyond the buffer.
      const std::int16_t number = hidNumberFrom(input);
      const std::size_t size = input.ConsumeIntegralInRange<std::size_t>(0, 16);
      std::vector<char> buffer(size + 1, '\x7f');
      const int length = ksthid_hid_number_path(number, size ? buffer.data() : nullptr, size);
      const std::vector<std::string>& paths = ksthid::libraryState().boardPaths;
      if (number < 0 || std::size_t(number) >= paths.size()) {
        if (length != KSTHID_E_NOT_FOUND) fail("a path for a number that names no board", length);
        return;
      }
      const std::string& path = paths[std::size_t(number)];
      if (length != int(path.size())) fail("a path of the wrong length", length);
      if (buffer[size] != '\x7f') fail("a path written beyond its buffer", number);
      const bool fits = size > path.size();
      if (fits ? path != buffer.data() : size != 0 && buffer[0] != 0) fail("a path cut", number);
      return;
    }
    default: {
      FuzzArray answer(input);
      auto flag = word(), board = hid();
      const bool values = input.ConsumeBool();
      const int16_t result = values ? kstHID_getGPIOValue(answer.get(), flag.get(), board.get())
                                    : kstHID_getGPIOConfiguration(answer.get(), board.get());
      expectOneOf(result, {0, KSTHID_QUERY_ATTEMPTED}, "a GPIO getter");
      if (result == KSTHID_QUERY_ATTEMPTED && answer.elements() != (values ? 3 : 4)) {
        fail("a GPIO answer of the wrong size", answer.elements());
      }
      return;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  FuzzTransport transport(input);
  ksthid::useTransport(&transport);
  kstHID_setMessageBoxHandler(&answerBox, &input);
  std::int16_t boards = kstHID_connect();
  for (int call = 0; call < kMostCalls && input.remaining_bytes() > 0; ++call) {
    callOneExport(input, boards);
  }
  kstHID_setMessageBoxHandler(nullptr, nullptr);
  ksthid::useTransport(nullptr);
  return 0;
}
