#include "board_lock.h"

#include <map>
#include <utility>

#include "transport.h"

namespace ksthid {

BoardLock& boardLock(const std::string& path) {
  // Never destroyed: threads may still run exchanges while the process ends.
  // No per-thread cache: a thread_local here upsets the teardown of the other
  // thread-local state in the 32-bit MinGW build.
  static auto* const listMutex = new std::mutex;
  static auto* const locks = new std::map<std::string, BoardLock>;
  std::lock_guard guard(*listMutex);
  return (*locks)[path];
}

void BoardLock::letGo() {
  if (--holds == 0 && holder) std::exchange(holder, nullptr)->unlockDevice();
  inProcess.unlock();
}

}  // namespace ksthid
