// Hot-plug monitors: on every sign of the platform's watch the bridges
// present are listed again and compared with those known before.
#include <algorithm>
#include <chrono>
#include <deque>
#include <mutex>
#include <new>
#include <string>

#include "bridge_enumeration.h"
#include "device_watch.h"
#include "hotplug_signal.h"
#include "ksthid_api.h"
#include "library_state.h"
#include "platform/steady_sleep.h"

// Devices the virtual boards tell of by name (hotplug_signal.h): a board
// pulled and plugged back between two looks is seen to go and come.
struct NamedChange {
  std::string path;
  bool arrived;
};

struct ksthid_monitor {
  ~ksthid_monitor() { ksthid::removeDevicesChangedListener(listener); }

  std::unique_ptr<ksthid::DeviceWatch> watch;
  std::vector<ksthid::BridgeEntry> known;
  std::deque<std::pair<int, ksthid::BridgeEntry>> events;
  int listener = 0;
  std::mutex namedMutex;
  std::vector<NamedChange> named;
};

namespace ksthid {
namespace {

std::vector<BridgeEntry>::const_iterator find(const std::vector<BridgeEntry>& entries,
                                              const std::string& path) {
  return std::find_if(entries.begin(), entries.end(),
                      [&](const BridgeEntry& entry) { return entry.path == path; });
}

bool listed(const std::vector<BridgeEntry>& entries, const BridgeEntry& entry) {
  return find(entries, entry.path) != entries.end();
}

// A named departure of a known board, and a named arrival of one present now.
void takeNamedChanges(ksthid_monitor& monitor, const std::vector<BridgeEntry>& present) {
  std::vector<NamedChange> named;
  {
    std::lock_guard lock(monitor.namedMutex);
    named.swap(monitor.named);
  }
  for (const NamedChange& change : named) {
    const auto known = find(monitor.known, change.path);
    if (!change.arrived && known != monitor.known.end()) {
      monitor.events.emplace_back(KSTHID_LEFT, *known);
      monitor.known.erase(known);
    }
    const auto found = find(present, change.path);
    if (change.arrived && known == monitor.known.end() && found != present.end()) {
      monitor.events.emplace_back(KSTHID_ARRIVED, *found);
      monitor.known.push_back(*found);
    }
  }
}

void lookAgain(ksthid_monitor& monitor) {
  std::vector<BridgeEntry> present = findBridges(transport());
  takeNamedChanges(monitor, present);
  for (const BridgeEntry& entry : monitor.known) {
    if (!listed(present, entry)) monitor.events.emplace_back(KSTHID_LEFT, entry);
  }
  for (const BridgeEntry& entry : present) {
    if (!listed(monitor.known, entry)) monitor.events.emplace_back(KSTHID_ARRIVED, entry);
  }
  monitor.known = std::move(present);
}

}  // namespace
}  // namespace ksthid

using namespace ksthid;

extern "C" {

KSTHID_EXPORT int ksthid_monitor_open(ksthid_monitor** monitor) {
  if (!monitor) return KSTHID_E_INVALID_ARGUMENT;
  *monitor = nullptr;
  try {
    auto opened = std::make_unique<ksthid_monitor>();
    opened->watch = openDeviceWatch();
    if (!opened->watch) return KSTHID_E_IO;
    opened->known = findBridges(transport());
    ksthid_monitor* watching = opened.get();
    opened->listener = addDevicesChangedListener([watching](const std::string& path, bool arrived) {
      {
        std::lock_guard lock(watching->namedMutex);
        watching->named.push_back({path, arrived});
      }
      watching->watch->wake();
    });
    *monitor = opened.release();
    return 0;
  } catch (const std::bad_alloc&) {
    return KSTHID_E_NO_MEMORY;
  }
}

KSTHID_EXPORT int ksthid_monitor_fd(ksthid_monitor* monitor) {
  return monitor ? monitor->watch->descriptor() : -1;
}

KSTHID_EXPORT int ksthid_monitor_next(ksthid_monitor* monitor, int timeout_ms, int* event,
                                      ksthid_board_info** info) {
  if (!monitor || !event || !info) return KSTHID_E_INVALID_ARGUMENT;
  *info = nullptr;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  try {
    while (monitor->events.empty()) {
      const int wait = timeout_ms < 0 ? -1 : millisecondsUntil(deadline);
      if (monitor->watch->wait(wait)) lookAgain(*monitor);
      if (monitor->events.empty() && timeout_ms >= 0 && millisecondsUntil(deadline) == 0) return 0;
    }
    auto& [kind, entry] = monitor->events.front();
    *info = makeInfoList({entry});
    if (!*info) return KSTHID_E_NO_MEMORY;
    *event = kind;
    monitor->events.pop_front();
    return 1;
  } catch (const std::bad_alloc&) {
    return KSTHID_E_NO_MEMORY;
  }
}

KSTHID_EXPORT void ksthid_monitor_close(ksthid_monitor* monitor) {
  delete monitor;
}

}  // extern "C"
