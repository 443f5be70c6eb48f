// The exports of ksthid_api.h that name the library and its codes, and find,
// open and close boards.
#include <algorithm>
#include <new>

#include "board_handle.h"
#include "bridge_enumeration.h"
#include "ksthid.h"
#include "library_state.h"

namespace ksthid {
namespace {

constexpr int kMaxTimeoutMs = 600000;

#define KSTHID_TEXT_OF(number) #number
#define KSTHID_VERSION_TEXT(major, minor, patch) \
  KSTHID_TEXT_OF(major) "." KSTHID_TEXT_OF(minor) "." KSTHID_TEXT_OF(patch)

// The header's version, which the build checks against the project's.
constexpr const char* kVersion =
    KSTHID_VERSION_TEXT(KSTHID_VERSION_MAJOR, KSTHID_VERSION_MINOR, KSTHID_VERSION_PATCH);
#undef KSTHID_VERSION_TEXT
#undef KSTHID_TEXT_OF

}  // namespace
}  // namespace ksthid

using namespace ksthid;

extern "C" {

KSTHID_EXPORT const char* ksthid_version(void) {
  return kVersion;
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
    case KSTHID_E_CLAIMED:
      return "the kernel driver owns the board";
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
  freeInfoList(list);
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
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  if (milliseconds < 1 || milliseconds > kMaxTimeoutMs) {
    return refuseValue(board, "time-out", milliseconds,
                       "1 to " + std::to_string(kMaxTimeoutMs) + " ms");
  }
  board->setTimeout(std::chrono::milliseconds(milliseconds));
  return board->succeed();
}

KSTHID_EXPORT int ksthid_get_timeout(ksthid_board* board) {
  return board ? static_cast<int>(board->timeout().count()) : KSTHID_E_INVALID_ARGUMENT;
}

KSTHID_EXPORT const char* ksthid_last_error(ksthid_board* board) {
  return board ? board->lastError() : "";
}

}  // extern "C"
