// One of several programs on one board at once, through the real kernel.
// Each round writes bytes of its own to the board's EEPROM and reads them
// back, so an answer meant for another program, or a late one of its own,
// shows as bytes this program did not write last.
//
// Usage: ksthid_shared_board_probe handles|hidnumbers SERIAL OFFSET ROUNDS
//                                  [TIMEOUT_MS]
// Prints "MODE at OFFSET: N rounds, W wrong, F failed" and exits 0 only when
// W and F are 0. A handle waits TIMEOUT_MS for each answer (the library's
// default unless given).
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ksthid.h"
#include "ksthid_api.h"

namespace {

constexpr std::uint8_t kEeprom = 0x50;
using Bytes = std::array<std::uint8_t, 4>;

// Starts with the offset, which no other program uses; the round tells this
// program's answers apart.
Bytes bytesOf(int offset, int round) {
  return {static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(round),
          static_cast<std::uint8_t>(round >> 8), static_cast<std::uint8_t>(0xA5 ^ offset)};
}

struct Tally {
  int wrong = 0;
  int failed = 0;
};

class HandlesProgram {
 public:
  HandlesProgram(const std::string& serial, int timeoutMs) {
    if (ksthid_open(serial.c_str(), &board_) == 0) ksthid_set_timeout(board_, timeoutMs);
  }
  ~HandlesProgram() { ksthid_close(board_); }
  bool opened() const { return board_ != nullptr; }

  void round(int offset, const Bytes& written, Tally& tally) {
    Bytes read{};
    if (ksthid_i2c_write(board_, kEeprom, offset, written.data(), written.size()) != 0 ||
        ksthid_i2c_read(board_, kEeprom, offset, read.data(), read.size()) != 0) {
      ++tally.failed;
    } else if (read != written) {
      ++tally.wrong;
    }
  }

 private:
  ksthid_board* board_ = nullptr;
};

int KSTHID_CALL cancelBox(void*, const char*, const char*, unsigned) {
  return KSTHID_IDCANCEL;
}

class HidNumbersProgram {
 public:
  explicit HidNumbersProgram(const std::string& serial) {
    kstHID_setMessageBoxHandler(cancelBox, nullptr);
    if (kstHID_connect() < 1) return;
    ksthid_board_info* boards = nullptr;
    ksthid_enumerate(&boards);
    std::int16_t number = 0;
    for (const ksthid_board_info* board = boards; board; board = board->next, ++number) {
      if (board->serial == serial) board_ = number;
    }
    ksthid_free_enumeration(boards);
  }
  ~HidNumbersProgram() {
    SafeArrayDestroy(data_);
    SafeArrayDestroy(registerBuffer_);
  }
  bool opened() const { return board_ >= 0; }

  void round(int offset, const Bytes& written, Tally& tally) {
    std::uint8_t address = kEeprom, reg = static_cast<std::uint8_t>(offset);
    std::uint8_t count = written.size();
    std::int16_t quiet = 1;
    SafeArrayDestroy(data_);
    data_ = SafeArrayCreateVector(VT_UI1, 0, count);
    auto* bytes = static_cast<std::uint8_t*>(data_->pvData);
    std::copy(written.begin(), written.end(), bytes);
    if (kstHID_doI2CWrite(&address, &reg, &count, &data_, &registerBuffer_, &board_, &quiet) !=
            KSTHID_I2C_DONE ||
        kstHID_doI2CRead(&address, &reg, &count, &data_, &registerBuffer_, &board_, &quiet) !=
            KSTHID_I2C_DONE) {
      ++tally.failed;
      return;
    }
    bytes = static_cast<std::uint8_t*>(data_->pvData);
    if (!std::equal(written.begin(), written.end(), bytes)) ++tally.wrong;
  }

 private:
  std::int16_t board_ = -1;
  SAFEARRAY* data_ = nullptr;
  SAFEARRAY* registerBuffer_ = SafeArrayCreateVector(VT_UI1, 0, 1);
};

template <typename Program>
int run(Program&& program, std::string_view mode, int offset, int rounds) {
  if (!program.opened()) {
    std::printf("%s: no board\n", mode.data());
    return 1;
  }
  Tally tally;
  for (int round = 0; round < rounds; ++round) program.round(offset, bytesOf(offset, round), tally);
  std::printf("%s at 0x%02X: %d rounds, %d wrong, %d failed\n", mode.data(), offset, rounds,
              tally.wrong, tally.failed);
  return tally.wrong == 0 && tally.failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc == 5 || argc == 6 ? argv[1] : "";
  if (mode != "handles" && mode != "hidnumbers") {
    std::fprintf(stderr, "usage: %s handles|hidnumbers SERIAL OFFSET ROUNDS [TIMEOUT_MS]\n",
                 argv[0]);
    return 2;
  }
  const int offset = static_cast<int>(std::strtol(argv[3], nullptr, 0));
  const int rounds = std::atoi(argv[4]);
  const int timeoutMs = argc == 6 ? std::atoi(argv[5]) : KSTHID_DEFAULT_TIMEOUT_MS;
  if (mode == "handles") return run(HandlesProgram(argv[2], timeoutMs), mode, offset, rounds);
  return run(HidNumbersProgram(argv[2]), mode, offset, rounds);
}
