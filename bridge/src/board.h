// An opened bridge as the handles of ksthid_api.h see it: one device, its
// time-out, and what its last exchange left behind. Every request and its
// answer are one step under the board's lock (board_lock.h), shared with
// the HIDnumbers of every thread.
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "transport.h"

namespace ksthid {

class Board {
 public:
  Board(std::string path, std::string serialNumber, std::unique_ptr<DeviceHandle> device);

  const std::string& path() const { return path_; }
  const std::string& serialNumber() const { return serialNumber_; }

  std::chrono::milliseconds timeout() const { return std::chrono::milliseconds(timeoutMs_.load()); }
  void setTimeout(std::chrono::milliseconds timeout) {
    timeoutMs_ = static_cast<int>(timeout.count());
  }

  // Writes one request that is not answered. 0 or a KSTHID_E_* code.
  int set(const Report& request);
  // Writes a request and reads its answer.
  int query(const Report& request, Report& answer);

  // Records the detail of a failure for the calling thread and returns code.
  int fail(int code, const std::string& detail);
  // Clears the calling thread's failure and returns result.
  int succeed(int result = 0);
  const char* lastError();

 private:
  int write(const Report& request);
  int awaitAnswer(Report& answer);
  void drainIfAnswerMayCome();
  int failGone();

  const std::string path_;
  const std::string serialNumber_;
  std::recursive_mutex& lock_;
  std::unique_ptr<DeviceHandle> device_;
  std::atomic<int> timeoutMs_;
  // Under lock_: set once a request has gone without its answer (a time-out),
  // so that the answer coming late is not taken for the next one's.
  bool answerMayCome_ = false;
  bool gone_ = false;
  std::mutex errorsMutex_;
  std::map<std::thread::id, std::string> errors_;
};

}  // namespace ksthid
