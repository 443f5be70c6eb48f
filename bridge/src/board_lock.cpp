#include "board_lock.h"

#include <map>

namespace ksthid {

std::recursive_mutex& boardLock(const std::string& path) {
  // Never destroyed: threads may still run exchanges while the process ends.
  static auto* const listMutex = new std::mutex;
  static auto* const locks = new std::map<std::string, std::recursive_mutex>;
  // A thread mostly talks to one board after another: the last one it asked
  // for is found without the list's lock. Plain pointers into the list, so
  // that no thread-exit destructor is registered for them.
  thread_local const std::string* lastPath = nullptr;
  thread_local std::recursive_mutex* lastLock = nullptr;
  if (lastPath && *lastPath == path) return *lastLock;

  std::lock_guard guard(*listMutex);
  auto& [entryPath, lock] = *locks->try_emplace(path).first;
  lastPath = &entryPath;
  lastLock = &lock;
  return lock;
}

}  // namespace ksthid
