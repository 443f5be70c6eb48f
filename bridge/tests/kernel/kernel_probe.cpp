// The cases of the kernel test that need the library's calls rather than
// its tools, run inside the guest against gadget boards. Each prints what it
// saw on one line and exits 0 when that is what the library documents.
//
//   list                         one line per bridge: its path and serial
//   pull api|legacy SERIAL FILE REPLUG
//                                pulls the board's cable (FILE is its
//                                controller's soft_connect) while GPIO
//                                writes go out: the call fails within
//                                100 ms; plugged back by the shell command
//                                REPLUG, it is found again
//   late SERIAL                  a firmware holding its first answer back:
//                                the time-out, then the late answer drained
//   babble SERIAL                a firmware sending reports unasked: a query
//                                still returns, its drain being bounded
//   timing SERIAL N              N GPIO writes, legacy and C API, a figure
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>

#include "ksthid.h"
#include "ksthid_api.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr auto kGoneWithin = milliseconds(100);
constexpr auto kPullAfter = milliseconds(300);
constexpr auto kReturnWithin = milliseconds(10000);
// A drain of at most 64 reports, a millisecond's wait each, stretched by
// QEMU's emulation; far below the 6000 ms of an answer's time-out.
constexpr auto kBoundedDrainWithin = milliseconds(2000);

long openDescriptors() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                       std::filesystem::directory_iterator{});
}

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void pullCable(const std::string& softConnect) {
  std::ofstream(softConnect) << "disconnect\n";
}

int list() {
  ksthid_board_info* boards = nullptr;
  const int count = ksthid_enumerate(&boards);
  for (const ksthid_board_info* board = boards; board; board = board->next) {
    std::printf("%s %s\n", board->path, board->serial);
  }
  ksthid_free_enumeration(boards);
  return count >= 0 ? 0 : 1;
}

ksthid_board* openBoard(const std::string& serial) {
  ksthid_board* board = nullptr;
  ksthid_open(serial.c_str(), &board);
  return board;
}

// The legacy exports number the boards in the order of the enumeration.
std::int16_t hidNumberOf(const std::string& serial) {
  ksthid_board_info* boards = nullptr;
  ksthid_enumerate(&boards);
  std::int16_t number = 0;
  for (const ksthid_board_info* board = boards; board && board->serial != serial;
       board = board->next) {
    ++number;
  }
  ksthid_free_enumeration(boards);
  return number;
}

// Writes GPIO values until a write fails; the cable is pulled meanwhile.
// The time from the pull to the failing call's return.
struct Pulled {
  double milliseconds;
  bool failedAsDocumented;
};

template <typename WriteOnce>
Pulled pullWhileWriting(const std::string& softConnect, WriteOnce&& writeOnce) {
  Clock::time_point pulled{};
  std::thread puller([&] {
    std::this_thread::sleep_for(kPullAfter);
    pulled = Clock::now();
    pullCable(softConnect);
  });
  const Clock::time_point start = Clock::now();
  bool documented = false;
  while (Clock::now() - start < kReturnWithin && writeOnce(documented)) {
  }
  const Clock::time_point returned = Clock::now();
  puller.join();
  return {std::chrono::duration<double, std::milli>(returned - pulled).count(), documented};
}

bool waitUntilListed(const std::string& serial) {
  const Clock::time_point start = Clock::now();
  while (Clock::now() - start < kReturnWithin) {
    ksthid_board_info* boards = nullptr;
    ksthid_enumerate(&boards);
    bool listed = false;
    for (const ksthid_board_info* board = boards; board; board = board->next) {
      listed = listed || board->serial == serial;
    }
    ksthid_free_enumeration(boards);
    if (listed) return true;
    std::this_thread::sleep_for(milliseconds(100));
  }
  return false;
}

// Waits for the monitor to report a bridge arriving.
bool arrives(ksthid_monitor* monitor) {
  int event = 0;
  ksthid_board_info* info = nullptr;
  const Clock::time_point start = Clock::now();
  while (Clock::now() - start < kReturnWithin) {
    if (ksthid_monitor_next(monitor, 500, &event, &info) == 1) {
      ksthid_free_enumeration(info);
      if (event == KSTHID_ARRIVED) return true;
    }
  }
  return false;
}

int pullApi(const std::string& serial, const std::string& softConnect, const char* replug) {
  const long descriptorsBefore = openDescriptors();
  ksthid_board* board = openBoard(serial);
  ksthid_monitor* monitor = nullptr;
  if (!board || ksthid_monitor_open(&monitor) != 0) return 1;
  int code = 0;
  std::string failure;
  const Pulled pulled = pullWhileWriting(softConnect, [&](bool& documented) {
    code = ksthid_gpio_write(board, 0x1234);
    documented = code == KSTHID_E_GONE;
    if (code != 0) failure = ksthid_last_error(board);
    return code == 0;
  });
  ksthid_close(board);
  if (std::system(replug) != 0) return 1;
  const bool arrived = arrives(monitor);
  ksthid_monitor_close(monitor);
  board = nullptr;
  const bool reopened =
      ksthid_open(serial.c_str(), &board) == 0 && ksthid_gpio_write(board, 1) == 0;
  ksthid_close(board);
  const long descriptorsAfter = openDescriptors();
  std::printf(
      "pulled: %s (%s) after %.1f ms; arrival reported: %d; reopened by serial: %d; "
      "descriptors %ld before, %ld after\n",
      ksthid_strerror(code), failure.c_str(), pulled.milliseconds, arrived, reopened,
      descriptorsBefore, descriptorsAfter);
  return pulled.failedAsDocumented && pulled.milliseconds < kGoneWithin.count() && arrived &&
                 reopened && descriptorsAfter == descriptorsBefore
             ? 0
             : 1;
}

std::string lastBox;

int KSTHID_CALL recordBox(void*, const char* text, const char*, unsigned) {
  lastBox = text;
  return KSTHID_IDCANCEL;
}

int pullLegacy(const std::string& serial, const std::string& softConnect, const char* replug) {
  kstHID_setMessageBoxHandler(recordBox, nullptr);
  if (kstHID_connect() < 1) return 1;
  const long descriptorsConnected = openDescriptors();
  std::int16_t board = hidNumberOf(serial);
  const std::int16_t hidNumber = board;
  std::uint8_t first = 0x12, second = 0x34;
  const Pulled pulled = pullWhileWriting(softConnect, [&](bool& documented) {
    const bool written = kstHID_setGPIOValue(&first, &second, &board) != 0;
    documented = !written && lastBox.starts_with("Please check USB connection.");
    return written;
  });
  if (std::system(replug) != 0) return 1;
  // Once back, a connect finds the board at its old HIDnumber: the one whose
  // pins are the pins of the board with this serial.
  const bool back = waitUntilListed(serial);
  const int boards = back ? kstHID_connect() : 0;
  const long descriptorsReconnected = openDescriptors();
  ksthid_board* bySerial = openBoard(serial);
  int foundAt = -1;
  for (std::int16_t number = 0; bySerial && number < boards && foundAt < 0; ++number) {
    std::uint8_t marker = static_cast<std::uint8_t>(0x40 + number);
    std::uint16_t pins = 0;
    if (kstHID_setGPIOValue(&marker, &second, &number) != 0 &&
        ksthid_gpio_read(bySerial, &pins) == 0 && pins == (second << 8 | marker)) {
      foundAt = number;
    }
  }
  ksthid_close(bySerial);
  std::printf(
      "pulled: box \"%s\" after %.1f ms; found again at HIDnumber %d (was %d); "
      "descriptors %ld connected, %ld reconnected\n",
      lastBox.c_str(), pulled.milliseconds, foundAt, hidNumber, descriptorsConnected,
      descriptorsReconnected);
  return pulled.failedAsDocumented && pulled.milliseconds < kGoneWithin.count() &&
                 foundAt == hidNumber && descriptorsReconnected == descriptorsConnected
             ? 0
             : 1;
}

int late(const std::string& serial) {
  ksthid_board* board = openBoard(serial);
  if (!board) return 1;
  ksthid_firmware version{};
  const Clock::time_point asked = Clock::now();
  const int code = ksthid_firmware_version(board, &version);
  const double waited = millisecondsSince(asked);
  // The late answer comes in before the next request, which drains it.
  std::this_thread::sleep_for(milliseconds(2000));
  std::uint16_t values = 0;
  const int next = ksthid_gpio_read(board, &values);
  ksthid_close(board);
  std::printf("first query: %s after %.0f ms; next query: %s, pins 0x%04X\n", ksthid_strerror(code),
              waited, ksthid_strerror(next), values);
  return code == KSTHID_E_TIMEOUT && waited >= KSTHID_DEFAULT_TIMEOUT_MS && next == 0 &&
                 values == 0xFFFF
             ? 0
             : 1;
}

int babble(const std::string& serial) {
  kstHID_setMessageBoxHandler(recordBox, nullptr);
  ksthid_board* board = openBoard(serial);
  if (kstHID_connect() < 1 || !board) return 1;
  std::int16_t number = hidNumberOf(serial), led = 0;
  Clock::time_point asked = Clock::now();
  kstHID_getLEDState(&led, &number);
  const double legacy = millisecondsSince(asked);
  std::uint16_t values = 0;
  asked = Clock::now();
  const int code = ksthid_gpio_read(board, &values);
  const double api = millisecondsSince(asked);
  ksthid_close(board);
  std::printf(
      "a query among reports sent unasked: legacy returned after %.0f ms, C API (%s) after "
      "%.0f ms\n",
      legacy, ksthid_strerror(code), api);
  return legacy < kBoundedDrainWithin.count() && api < kBoundedDrainWithin.count() ? 0 : 1;
}

int timing(const std::string& serial, int writes) {
  if (kstHID_connect() < 1) return 1;
  ksthid_board* board = openBoard(serial);
  if (!board) return 1;
  std::int16_t number = hidNumberOf(serial);
  std::uint8_t first = 0x55, second = 0xAA;
  Clock::time_point start = Clock::now();
  for (int write = 0; write < writes; ++write) kstHID_setGPIOValue(&first, &second, &number);
  const double legacy = millisecondsSince(start);
  start = Clock::now();
  for (int write = 0; write < writes; ++write) ksthid_gpio_write(board, 0xAA55);
  const double api = millisecondsSince(start);
  ksthid_close(board);
  std::printf(
      "%d GPIO writes through hidraw: legacy %.0f ms (%.0f us each), C API %.0f ms (%.0f us "
      "each)\n",
      writes, legacy, 1000 * legacy / writes, api, 1000 * api / writes);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "list") return list();
  if (command == "pull" && argc == 6) {
    return std::string_view(argv[2]) == "legacy" ? pullLegacy(argv[3], argv[4], argv[5])
                                                 : pullApi(argv[3], argv[4], argv[5]);
  }
  if (command == "late" && argc == 3) return late(argv[2]);
  if (command == "babble" && argc == 3) return babble(argv[2]);
  if (command == "timing" && argc == 4) return timing(argv[2], std::atoi(argv[3]));
  std::fprintf(stderr,
               "usage: %s list | pull api|legacy SERIAL SOFT_CONNECT REPLUG | late SERIAL | "
               "babble SERIAL | timing SERIAL N\n",
               argv[0]);
  return 2;
}
