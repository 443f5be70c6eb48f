// One request and its answer are a single step per board, across threads and
// across processes. Every thread keeps handles of its own, and on hidraw
// every open descriptor receives its own copy of each input report: two
// threads or two programs that write and read one board at once take each
// other's answers.
#pragma once

#include <mutex>
#include <string>

namespace ksthid {

class DeviceHandle;

struct BoardLock {
  // Taken first, by every hold. A thread may take it again while it holds
  // it: some exchanges run another one on the same board inside them.
  std::recursive_mutex inProcess;
  // Under inProcess: how many holds of this process are open, and the handle
  // through which the outermost one took the device's lock across processes.
  // That lock is taken once per process: two handles of one process would
  // shut each other out.
  int holds = 0;
  DeviceHandle* holder = nullptr;

  // Ends one hold; the last lets go of the lock across processes.
  void letGo();
};

// The lock of the board at `path`, the same for every thread. Locks live as
// long as the process.
BoardLock& boardLock(const std::string& path);

}  // namespace ksthid
