// One request and its answer are a single step per board across the process.
// Every thread keeps handles of its own, and on hidraw every open descriptor
// receives its own copy of each input report: two threads that drain, write
// and read one board at once take each other's answers.
#pragma once

#include <mutex>
#include <string>

namespace ksthid {

// The lock of the board at `path`, the same for every thread. A thread may
// take it again while it holds it: some exchanges run another one on the same
// board inside them. Locks live as long as the process.
std::recursive_mutex& boardLock(const std::string& path);

}  // namespace ksthid
