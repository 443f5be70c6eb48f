#include "board_lock.h"

#include <map>
#include <memory>

namespace ksthid {

std::recursive_mutex& boardLock(const std::string& path) {
  // A thread talks to one board after another mostly; the last one it asked
  // for is found without the lock that guards the list.
  thread_local std::string lastPath;
  thread_local std::recursive_mutex* lastLock = nullptr;
  if (lastLock && path == lastPath) return *lastLock;

  // Never destroyed: threads may still run exchanges while the process ends.
  static auto* const listMutex = new std::mutex;
  static auto* const locks = new std::map<std::string, std::unique_ptr<std::recursive_mutex>>;
  std::lock_guard guard(*listMutex);
  auto& lock = (*locks)[path];
  if (!lock) lock = std::make_unique<std::recursive_mutex>();
  lastPath = path;
  lastLock = lock.get();
  return *lock;
}

}  // namespace ksthid
