#include "run_time_bridge_library.h"

#include "ksthid_api.h"

namespace {

// A board that does not answer its firmware query holds the window up no longer than this.
constexpr int kFirmwareQueryTimeoutMs = 1000;
// The watching thread waits in the monitor this long at a time, and so ends at most this long
// after the library is let go. Long enough for the monitor to look at least once (where it looks
// every 250 ms rather than being told).
constexpr int kMonitorWaitMs = 500;

}  // namespace

// Bound when the monitor was opened: no function can be looked up any more once the front end's
// part of the binding is gone.
RunTimeBridgeLibrary::~RunTimeBridgeLibrary() {
  stopWatching();
  stopping_ = true;
  if (watcher_.joinable()) watcher_.join();
  if (monitor_) reinterpret_cast<decltype(&ksthid_monitor_close)>(monitorClose_)(monitor_);
}

template <typename Function>
Function RunTimeBridgeLibrary::bind(ExportAddress& bound, const char* name) {
  if (!bound) bound = lookUp(name);
  return reinterpret_cast<Function>(bound);
}

// Every argument crosses by reference: the library gets the address of the copy made here.
template <typename Function, typename... Arguments>
std::optional<std::int16_t> RunTimeBridgeLibrary::call(ExportAddress& bound, const char* name,
                                                       Arguments... arguments) {
  const auto function = bind<Function>(bound, name);
  if (!function) return std::nullopt;
  return function(&arguments...);
}

std::optional<std::int16_t> RunTimeBridgeLibrary::connect() {
  return call<decltype(&kstHID_connect)>(connect_, "kstHID_connect");
}

// Asked twice, for the length and then for the path: nothing else runs on this thread between.
std::optional<std::string> RunTimeBridgeLibrary::pathOf(std::int16_t hidNumber) {
  const auto hidNumberPath =
      bind<decltype(&ksthid_hid_number_path)>(hidNumberPath_, "ksthid_hid_number_path");
  if (!hidNumberPath) return std::nullopt;
  const int length = hidNumberPath(hidNumber, nullptr, 0);
  if (length < 0) return std::nullopt;
  std::string path(static_cast<std::size_t>(length), '\0');
  if (hidNumberPath(hidNumber, path.data(), path.size() + 1) != length) return std::nullopt;
  return path;
}

std::optional<std::int16_t> RunTimeBridgeLibrary::indicateSelectedModule(std::int16_t hidNumber) {
  return call<decltype(&kstHID_indicateSelectedModule)>(indicateSelectedModule_,
                                                        "kstHID_indicateSelectedModule", hidNumber);
}

std::optional<std::int16_t> RunTimeBridgeLibrary::setGPIOValue(std::uint8_t valueByte1,
                                                               std::uint8_t valueByte2,
                                                               std::int16_t hidNumber) {
  return call<decltype(&kstHID_setGPIOValue)>(setGPIOValue_, "kstHID_setGPIOValue", valueByte1,
                                              valueByte2, hidNumber);
}

std::optional<std::int16_t> RunTimeBridgeLibrary::setGPIOConfiguration(std::uint8_t configByte1,
                                                                       std::uint8_t configByte2,
                                                                       std::int16_t configFlag,
                                                                       std::int16_t hidNumber) {
  return call<decltype(&kstHID_setGPIOConfiguration)>(setGPIOConfiguration_,
                                                      "kstHID_setGPIOConfiguration", configByte1,
                                                      configByte2, configFlag, hidNumber);
}

std::vector<PresentBoard> RunTimeBridgeLibrary::presentBoards() {
  const auto enumerate = bind<decltype(&ksthid_enumerate)>(enumerate_, "ksthid_enumerate");
  const auto freeEnumeration =
      bind<decltype(&ksthid_free_enumeration)>(freeEnumeration_, "ksthid_free_enumeration");
  std::vector<PresentBoard> boards;
  ksthid_board_info* list = nullptr;
  if (!enumerate || !freeEnumeration || enumerate(&list) < 0) return boards;
  for (const ksthid_board_info* board = list; board; board = board->next) {
    boards.push_back({board->path, board->serial, board->error ? board->error_text : ""});
  }
  freeEnumeration(list);
  return boards;
}

std::optional<FirmwareVersion> RunTimeBridgeLibrary::firmwareVersion(const std::string& path) {
  const auto open = bind<decltype(&ksthid_open)>(open_, "ksthid_open");
  const auto close = bind<decltype(&ksthid_close)>(close_, "ksthid_close");
  const auto setTimeout = bind<decltype(&ksthid_set_timeout)>(setTimeout_, "ksthid_set_timeout");
  const auto query =
      bind<decltype(&ksthid_firmware_version)>(firmwareVersion_, "ksthid_firmware_version");
  ksthid_board* board = nullptr;
  if (!open || !close || !setTimeout || !query || open(path.c_str(), &board) != 0) return {};
  setTimeout(board, kFirmwareQueryTimeoutMs);
  ksthid_firmware firmware{};
  const bool answered = query(board, &firmware) == 0;
  close(board);
  if (!answered) return {};
  return FirmwareVersion{firmware.major, firmware.minor};
}

// Every function the thread calls is bound here, on the window's thread.
bool RunTimeBridgeLibrary::watch(std::function<void()> wake) {
  if (watching_) return monitor_ != nullptr;
  watching_ = true;
  const auto open = bind<decltype(&ksthid_monitor_open)>(monitorOpen_, "ksthid_monitor_open");
  const auto close = bind<decltype(&ksthid_monitor_close)>(monitorClose_, "ksthid_monitor_close");
  const auto next = bind<decltype(&ksthid_monitor_next)>(monitorNext_, "ksthid_monitor_next");
  const auto freeEnumeration =
      bind<decltype(&ksthid_free_enumeration)>(freeEnumeration_, "ksthid_free_enumeration");
  if (!open || !close || !next || !freeEnumeration || open(&monitor_) != 0) {
    monitor_ = nullptr;
    return false;
  }
  wake_ = std::move(wake);
  watcher_ = std::thread([this] { followMonitor(); });
  return true;
}

void RunTimeBridgeLibrary::followMonitor() {
  const auto next = reinterpret_cast<decltype(&ksthid_monitor_next)>(monitorNext_);
  const auto freeEnumeration =
      reinterpret_cast<decltype(&ksthid_free_enumeration)>(freeEnumeration_);
  while (!stopping_) {
    int event = 0;
    ksthid_board_info* board = nullptr;
    const int result = next(monitor_, kMonitorWaitMs, &event, &board);
    if (result < 0) return;
    if (result == 0) continue;
    freeEnumeration(board);
    changed_ = true;
    std::lock_guard lock(wakeMutex_);
    if (wake_) wake_();
  }
}

void RunTimeBridgeLibrary::stopWatching() {
  std::lock_guard lock(wakeMutex_);
  wake_ = nullptr;
}

bool RunTimeBridgeLibrary::takeChanges() {
  return changed_.exchange(false);
}
