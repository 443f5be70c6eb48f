#include "connection.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ksthid.h"
#include "ksthid_api.h"
#include "library_state.h"
#include "message_box.h"
#include "protocol.h"

namespace ksthid {
namespace {

// Empty where the platform does not tell, or the device is no bridge.
std::string serialNumberAt(const std::string& path) {
  const auto info = transport().describe(path);
  return info && isBridge(info->attributes) ? info->serialNumber : std::string();
}

// Null for a device that could not be opened.
std::unique_ptr<Board> boardOn(const std::string& path, std::unique_ptr<DeviceHandle> device) {
  return device ? std::make_unique<Board>(path, std::string(), std::move(device)) : nullptr;
}

void appendBoard(LibraryState& state, const std::string& path,
                 std::unique_ptr<DeviceHandle> handle) {
  state.boardHandles.push_back(boardOn(path, std::move(handle)));
  state.boardPaths.push_back(path);
  state.boardSerials.push_back(serialNumberAt(path));
}

// Where a known board is found again: at its path, or, pulled out and plugged
// back while its old node was still held open, at the new node that carries
// its serial number.
std::vector<std::string>::iterator findAgain(std::vector<std::string>& newPaths,
                                             const std::string& path, const std::string& serial) {
  const auto samePath = std::find(newPaths.begin(), newPaths.end(), path);
  if (samePath != newPaths.end() || serial.empty()) return samePath;
  return std::find_if(newPaths.begin(), newPaths.end(), [&](const std::string& candidate) {
    return serialNumberAt(candidate) == serial;
  });
}

// Boards seen before keep their HIDnumbers; those that have gone are dropped
// and the boards behind them move up. Found paths are taken out of newPaths.
void keepKnownBoards(LibraryState& state, std::vector<std::string>& newPaths) {
  std::size_t i = 0;
  while (i < state.boardPaths.size()) {
    const auto found = findAgain(newPaths, state.boardPaths[i], state.boardSerials[i]);
    if (found == newPaths.end()) {
      state.boardPaths.erase(state.boardPaths.begin() + static_cast<std::ptrdiff_t>(i));
      state.boardSerials.erase(state.boardSerials.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    state.boardPaths[i] = *found;
    // Kept even when it cannot be opened again: its commands then fail as
    // failed writes, with the connection box that offers a reconnect.
    state.boardHandles.push_back(boardOn(*found, transport().open(*found)));
    newPaths.erase(found);
    ++i;
  }
}

void openNewBoards(LibraryState& state, const std::vector<std::string>& newPaths) {
  for (const std::string& path : newPaths) {
    std::unique_ptr<DeviceHandle> handle = transport().open(path);
    if (!handle) continue;
    const auto attributes = handle->attributes();
    // Any other device, or one that cannot be identified, is closed again.
    if (attributes && isBridge(*attributes)) appendBoard(state, path, std::move(handle));
  }
}

}  // namespace

std::int16_t connectBoards() {
  LibraryState& state = libraryState();
  closeHandles();
  std::vector<std::string> newPaths = transport().enumerateHidPaths();
  keepKnownBoards(state, newPaths);
  openNewBoards(state, newPaths);
  return static_cast<std::int16_t>(state.boardHandles.size());
}

void closeHandles() {
  LibraryState& state = libraryState();
  if (!state.boardPaths.empty()) state.boardHandles.clear();
}

std::int16_t validateHidNumber(std::int64_t hidNumber) {
  if (pathOfHidNumber(hidNumber)) return 0;
  showMessageBox("Invalid HID Number: " + std::to_string(hidNumber), KSTHID_MB_OK);
  return 1;
}

const std::string* pathOfHidNumber(std::int64_t hidNumber) {
  const std::vector<std::string>& paths = libraryState().boardPaths;
  if (hidNumber < 0 || static_cast<std::uint64_t>(hidNumber) >= paths.size()) return nullptr;
  return &paths[static_cast<std::size_t>(hidNumber)];
}

int askToReconnect(const std::string& text) {
  const int answer = showMessageBox(text, KSTHID_MB_RETRYCANCEL);
  if (answer == KSTHID_IDRETRY) connectBoards();
  return answer;
}

std::int16_t checkStatus(std::int32_t value) {
  if (value != 0) return kXferOk;
  askToReconnect("Please check USB connection.\r\ncheckStatus");
  return 0;
}

}  // namespace ksthid

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_connect(void) {
  return ksthid::connectBoards();
}

extern "C" KSTHID_API void KSTHID_CALL kstHID_closeHandles(void) {
  ksthid::closeHandles();
}

extern "C" KSTHID_EXPORT int ksthid_hid_number_path(int hid_number, char* path, size_t size) {
  if (!path && size != 0) return KSTHID_E_INVALID_ARGUMENT;
  const std::string* found = ksthid::pathOfHidNumber(hid_number);
  if (!found) return KSTHID_E_NOT_FOUND;
  if (found->size() < size) {
    std::memcpy(path, found->c_str(), found->size() + 1);
  } else if (size != 0) {
    path[0] = '\0';
  }
  return static_cast<int>(found->size());
}
