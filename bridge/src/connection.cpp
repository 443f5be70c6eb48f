#include "connection.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ksthid.h"
#include "library_state.h"
#include "message_box.h"
#include "report.h"

namespace ksthid {
namespace {

struct BoardHandles {
  Handle write;
  Handle read;
};

BoardHandles openBoardHandles(LibraryState& state, const std::string& path) {
  BoardHandles handles{transport().openWriteHandle(path, state.handleSecurity),
                       transport().openReadHandle(path, state.handleSecurity)};
  state.currentWriteHandle = handles.write;
  state.currentReadHandle = handles.read;
  return handles;
}

void appendBoard(LibraryState& state, const std::string& path, BoardHandles handles) {
  state.writeHandles.push_back(handles.write);
  state.readHandles.push_back(handles.read);
  state.boardPaths.push_back(path);
}

// Boards seen before keep their HIDnumbers; those that have gone are dropped
// and the boards behind them move up. Found paths are taken out of newPaths.
void keepKnownBoards(LibraryState& state, std::vector<std::string>& newPaths) {
  std::size_t i = 0;
  while (i < state.boardPaths.size()) {
    const auto found = std::find(newPaths.begin(), newPaths.end(), state.boardPaths[i]);
    if (found == newPaths.end()) {
      state.boardPaths.erase(state.boardPaths.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    const BoardHandles handles = openBoardHandles(state, *found);
    state.writeHandles.push_back(handles.write);
    state.readHandles.push_back(handles.read);
    newPaths.erase(found);
    ++i;
  }
}

bool isBridge(const HidAttributes& attributes) {
  return attributes.vendorId == bridgeVendorId && attributes.productId == bridgeProductId;
}

void openNewBoards(LibraryState& state, const std::vector<std::string>& newPaths) {
  state.handleSecurity = {sizeof(SecurityAttributes), nullptr, 1};
  for (const std::string& path : newPaths) {
    const Handle write = transport().openWriteHandle(path, state.handleSecurity);
    state.currentWriteHandle = write;
    const auto attributes = transport().attributes(write);
    if (attributes && isBridge(*attributes)) {
      const Handle read = transport().openReadHandle(path, state.handleSecurity);
      state.currentReadHandle = read;
      appendBoard(state, path, {write, read});
    } else {
      // Also when the attributes could not be read: the handle is of no use.
      transport().closeHandle(write);
    }
  }
}

void prepareOverlapped(LibraryState& state) {
  if (state.readEvent == 0) state.readEvent = transport().createReadEvent(state.handleSecurity);
  state.readOverlapped.offset = 0;
  state.readOverlapped.offsetHigh = 0;
  state.readOverlapped.event = state.readEvent;
}

}  // namespace

std::int16_t validateHidNumber(std::int64_t hidNumber) {
  const auto boards = libraryState().boardPaths.size();
  if (hidNumber >= 0 && static_cast<std::uint64_t>(hidNumber) < boards) return 0;
  showMessageBox("Invalid HID Number: " + std::to_string(hidNumber), KSTHID_MB_OK);
  return 1;
}

std::int16_t checkStatus(std::int32_t value) {
  if (value != 0) return xferOk;
  const int answer =
      showMessageBox("Please check USB connection.\r\ncheckStatus", KSTHID_MB_RETRYCANCEL);
  libraryState().lastAnswer = static_cast<std::int16_t>(answer);
  if (answer == KSTHID_IDRETRY) kstHID_connect();
  return 0;
}

void closeBoards(LibraryState& state) {
  if (state.boardPaths.empty()) return;
  for (std::size_t i = 0; i < state.writeHandles.size(); ++i) {
    transport().closeHandle(state.writeHandles[i]);
    transport().closeHandle(state.readHandles[i]);
  }
  state.writeHandles.clear();
  state.readHandles.clear();
  state.currentWriteHandle = invalidHandle;
  state.currentReadHandle = invalidHandle;
}

}  // namespace ksthid

using namespace ksthid;

extern "C" KSTHID_API int16_t KSTHID_CALL kstHID_connect(void) {
  LibraryState& state = libraryState();
  kstHID_closeHandles();
  std::vector<std::string> newPaths = transport().enumerateHidPaths();
  keepKnownBoards(state, newPaths);
  openNewBoards(state, newPaths);
  if (!state.boardPaths.empty()) prepareOverlapped(state);
  return static_cast<int16_t>(state.writeHandles.size());
}

extern "C" KSTHID_API void KSTHID_CALL kstHID_closeHandles(void) {
  closeBoards(libraryState());
}
