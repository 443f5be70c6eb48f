#include "hotplug_signal.h"

#include <map>
#include <mutex>

namespace ksthid {
namespace {

struct Listeners {
  std::mutex mutex;
  std::map<int, DevicesChangedListener> byId;
  int nextId = 1;
};

// Never destroyed: a board may be pulled out while the process ends.
Listeners& listeners() {
  static auto* const all = new Listeners;
  return *all;
}

}  // namespace

int addDevicesChangedListener(DevicesChangedListener listener) {
  Listeners& all = listeners();
  std::lock_guard lock(all.mutex);
  const int id = all.nextId++;
  all.byId.emplace(id, std::move(listener));
  return id;
}

void removeDevicesChangedListener(int id) {
  Listeners& all = listeners();
  std::lock_guard lock(all.mutex);
  all.byId.erase(id);
}

void signalDevicesChanged(const std::string& path, bool arrived) {
  Listeners& all = listeners();
  std::lock_guard lock(all.mutex);
  for (const auto& [id, listener] : all.byId) listener(path, arrived);
}

}  // namespace ksthid
